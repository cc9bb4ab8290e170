// Text and number conversion with the forgiving rules the game's files rely on: damaged text
// never fails, it reads as 0 or as its leading digits.
#pragma once
#include <string>
#include <string_view>

// Leading white space, optional sign, then "%" binary, "$" hexadecimal or decimal digits;
// stops at the first character that does not fit; no digits gives 0. Wraps like 32-bit ints.
int TextToInt(std::string_view text);
// The same syntax for 64-bit values.
long long TextToLong(std::string_view text);
// C-library decimal conversion of the longest prefix that forms a number; 0 when none does.
double TextToReal(std::string_view text);
// ASCII letters only; every other byte is kept.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// Text from a file or another machine, made safe to print: printable ASCII stays, every other
// byte (escape sequences, bells, line ends) becomes \xNN, and past `most` characters it is cut
// with "...", so a hostile line can neither drive the terminal nor fill a message box.
std::string Printable(std::string_view text, size_t most = 80);
// Real to int, truncating toward zero everywhere the game converts. NaN gives 0 and values
// beyond the int range saturate, so no damaged number can cause undefined behaviour.
int FloatToInt(double value);

// The characters a player may type into a name for the high-score table: a-z, A-Z, 0-9, the
// space and the signs ! @ # $ % ^ & * ( ) - _ + = [ ] { } < > , . ? / \ | : ; and the
// apostrophe. The game-over screen takes only these, and the score file keeps only these.
bool NameCharacter(int code);
// The longest name the game-over screen takes and the score file keeps.
inline constexpr int NAME_LENGTH = 15;
