// The seat a joining machine has in an online series, kept in the saves folder until the
// series ends: a game started again after a crash, or after its connection dropped, joins the
// same code or address with it and takes its seat back.
#pragma once
#include <cstdint>
#include <string>

inline constexpr const char* REJOINFILE = "rejoin.txt";

// The token kept for a series joined at where; 0 when none is (or the file is not the game's).
uint64_t rejointoken(const std::string& where);
// Where the kept seat is ("" for none): what the JOIN screen offers first after a crash.
std::string rejoinplace();
// Keeps the token for the series joined at where (said on stderr when it cannot be written).
void keeprejoin(const std::string& where, uint64_t token);
// The series is over: nothing to come back to.
void forgetrejoin();
