// Opening the files the game reads so that no file can hang it or make it read without end:
// a FIFO, a device or a folder put where a save, a script, a figure or a picture should be is
// refused at once with a reason, and so is a file larger than its caller allows.
#pragma once
#include <cstdio>
#include <filesystem>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

constexpr long long MiB = 1024 * 1024;

// Why a file could not be opened. missing is true only when nothing is at the path at all
// (a first run, say); every other failure is a file that is there but cannot be used.
struct FileProblem {
    bool missing = false;
    std::string reason; // "Permission denied", "not a regular file", "larger than 1 MiB"
};

// The reason given for a file whose reading failed part way (an I/O error, not its end).
inline constexpr const char* READ_BROKE_OFF = "reading failed part way";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens an existing regular file of at most maxBytes bytes for reading, without blocking on a
// FIFO or a device. Null on failure, with problem filled in when given.
File OpenRegularFile(const std::string& path, long long maxBytes, FileProblem* problem = nullptr);

// A file opened by OpenRegularFile read as a stream, a block at a time: a long file is read
// as far as its reader wants, never held whole.
class FileInput : public std::istream {
  public:
    explicit FileInput(File file);
    // Reading failed part way (an I/O error rather than the file's end).
    bool failed() const { return std::ferror(buffer_.file.get()) != 0; }

  private:
    struct Buffer : std::streambuf {
        explicit Buffer(File f) : file(std::move(f)) {}
        int_type underflow() override;
        File file;
        char block[65536];
    };
    Buffer buffer_;
};

// Reads a whole regular file of at most maxBytes bytes; false with problem filled in.
bool ReadWholeFile(const std::string& path, long long maxBytes, std::string& bytes,
                   FileProblem* problem = nullptr);

// Replaces the file at path by bytes so that at every moment the file is either whole and old
// or whole and new, whatever happens: the bytes go to "<path>.tmp" beside it, created fresh
// (a file or link already at that name is never followed or written through), flushed to the
// disk, renamed over the file, and the folder flushed too. A path that is a symbolic link is
// saved through to the file it names, so a save kept in another folder stays there. The new
// file keeps the old one's permissions. False with the reason in error; the old file is then
// untouched.
bool ReplaceFileContents(const std::string& path, const std::string& bytes, std::string& error);

// Removes the temporary file that a save interrupted by a crash may have left beside path.
void RemoveStaleTemporary(const std::string& path);

// "<path>: <reason>", the way the game's messages name a failed file.
std::string DescribeProblem(const std::string& path, const FileProblem& problem);

// Renames from over to in one step, replacing a file already there; false with errno set.
bool RenameOver(const std::string& from, const std::string& to);

// Flushes what was written to the file to the disk; false when the system says it failed.
bool SyncFile(std::FILE* file);

// The folder of the running executable; empty when the system cannot say.
std::filesystem::path ExecutableFolder();

// Whether the process may create files in the folder: a read-only mount or a folder of
// another user says no.
bool FolderWritable(const std::string& folder);

// For the files of each system: "1 MiB" or "1000 bytes"; and a failure noted in problem.
std::string SizeText(long long bytes);
bool FileFailed(FileProblem* problem, bool missing, std::string reason);
