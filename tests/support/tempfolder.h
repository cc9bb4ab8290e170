// Temporary folders for tests: every test that touches files gets a fresh folder of its own,
// removed afterwards, so no test ever touches a player's files or another test's.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// A new empty folder under the system's temporary folder, its name starting with prefix.
// Ends the test program with a message when none can be made: nothing could run without it.
std::filesystem::path MakeTempFolder(const std::string& prefix);

// The whole content of a file ("" when it cannot be read), and a file written whole.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// Puts the folder `from` at `to`: a symbolic link, or on Windows (where Wine makes none) a copy.
void LinkFolder(const std::filesystem::path& from, const std::filesystem::path& to);
