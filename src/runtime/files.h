// Opening the files the game reads so that no file can hang it or make it read without end:
// a FIFO, a device or a folder put where a save, a script, a figure or a picture should be is
// refused at once with a reason, and so is a file larger than its caller allows.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

constexpr long long MiB = 1024 * 1024;

// Why a file could not be opened. missing is true only when nothing is at the path at all
// (a first run, say); every other failure is a file that is there but cannot be used.
struct FileProblem {
    bool missing = false;
    std::string reason; // "Permission denied", "is not a regular file", "is larger than 1 MiB"
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens an existing regular file of at most maxBytes bytes for reading, without blocking on a
// FIFO or a device. Null on failure, with problem filled in when given.
File OpenRegularFile(const std::string& path, long long maxBytes, FileProblem* problem = nullptr);

// Reads a whole regular file of at most maxBytes bytes; false with problem filled in.
bool ReadWholeFile(const std::string& path, long long maxBytes, std::string& bytes,
                   FileProblem* problem = nullptr);

// "<path> <reason>" or "<path>: <reason>", the way the game's messages name a failed file.
std::string DescribeProblem(const std::string& path, const FileProblem& problem);
