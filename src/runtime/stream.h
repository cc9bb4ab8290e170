// Text files read and written line by line, as plain 8-bit text.
#pragma once
#include "runtime/files.h"
#include <memory>
#include <string>
#include <string_view>

class TStream;
// Closes a stream that was never passed to CloseStream (data written so far is kept).
struct TStreamCloser {
    void operator()(TStream* stream) const;
};
using Stream = std::unique_ptr<TStream, TStreamCloser>;

// The largest text file (figure file, script) the game reads.
constexpr long long MAX_TEXT_FILE = 16 * MiB;

// An existing regular file of at most maxBytes for reading; null when it does not exist or
// cannot be opened, with the reason in problem when given. Never blocks (see files.h).
Stream OpenRead(const std::string& path, long long maxBytes = MAX_TEXT_FILE,
                FileProblem* problem = nullptr);
// Creates or truncates the file for writing; null when it cannot be opened.
Stream OpenWrite(const std::string& path);
// General form: readable and writable together open an existing file for update.
Stream OpenStream(const std::string& path, int readable, int writable);
// Deletes the file if present and creates it empty; 1 if a regular file now exists there.
int CreateEmptyFile(const std::string& path);
// 1 when no byte is left to read.
int AtEnd(TStream& stream);
// 1 when reading the file failed (an I/O error rather than its end).
int ReadFailed(TStream& stream);
// Bytes up to the next LF, NUL or end of file; the LF or NUL is consumed, CR bytes are dropped
// wherever they occur. At the end of the file returns what was read (possibly empty).
std::string ReadLine(TStream& stream);
// Writes the text then CR LF; 1 on success.
int WriteLine(TStream& stream, std::string_view text);
// Flushes the data to the disk and closes; 1 when everything was written. Resets the pointer.
int CloseStream(Stream& stream);
// Renames from over to in one step (the old file stays whole until the new one is complete);
// 1 on success.
int ReplaceFile(const std::string& from, const std::string& to);
// 1 when a file or folder exists at the path.
int FileExists(const std::string& path);
