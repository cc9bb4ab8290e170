// Text files as plain bytes, line by line. Lines are written with CR LF and read back
// whatever their ending, so files edited on any system load the same.
#include "runtime/stream.h"
#include "runtime/files.h"
#include <cstdio>
#include <sys/stat.h>

class TStream {
  public:
    explicit TStream(FILE* f) : file(f) {}
    ~TStream() {
        if (file) std::fclose(file);
    }
    FILE* file;
};

void TStreamCloser::operator()(TStream* stream) const {
    delete stream;
}

namespace {

bool isRegularFile(FILE* file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

Stream OpenStream(const std::string& path, int readable, int writable) {
    if (readable && !writable) return OpenRead(path);
    const char* mode = nullptr;
    if (readable && writable)
        mode = "r+b"; // update: the file must exist, nothing is cut
    else if (writable)
        mode = "wb";
    if (!mode) return nullptr;
    FILE* file = std::fopen(path.c_str(), mode);
    if (!file) return nullptr;
    // A folder can be opened on some systems but never read as a file.
    if (!isRegularFile(file)) {
        std::fclose(file);
        return nullptr;
    }
    return Stream(new TStream(file));
}

Stream OpenRead(const std::string& path, long long maxBytes, FileProblem* problem) {
    File file = OpenRegularFile(path, maxBytes, problem);
    if (!file) return nullptr;
    return Stream(new TStream(file.release()));
}
Stream OpenWrite(const std::string& path) {
    return OpenStream(path, 0, 1);
}

int CreateEmptyFile(const std::string& path) {
    std::remove(path.c_str());
    if (FILE* file = std::fopen(path.c_str(), "wb")) std::fclose(file);
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? 1 : 0;
}

int AtEnd(TStream& stream) {
    int c = std::getc(stream.file);
    if (c == EOF) return 1;
    std::ungetc(c, stream.file);
    return 0;
}

int ReadFailed(TStream& stream) {
    return std::ferror(stream.file) ? 1 : 0;
}

std::string ReadLine(TStream& stream) {
    std::string line;
    for (int c = std::getc(stream.file); c != EOF && c != '\n' && c != 0;
         c = std::getc(stream.file)) {
        if (c != '\r') line.push_back(static_cast<char>(c));
    }
    return line;
}

int WriteLine(TStream& stream, std::string_view text) {
    bool ok = std::fwrite(text.data(), 1, text.size(), stream.file) == text.size();
    ok = std::fwrite("\r\n", 1, 2, stream.file) == 2 && ok;
    return ok ? 1 : 0;
}

int CloseStream(Stream& stream) {
    if (!stream) return 0;
    FILE* file = stream->file;
    stream->file = nullptr;
    stream.reset();
    // Flushed and synced before the close reports success, so a save that is then renamed
    // into place is really on the disk.
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    ok = SyncFile(file) && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok ? 1 : 0;
}

int ReplaceFile(const std::string& from, const std::string& to) {
    return RenameOver(from, to) ? 1 : 0;
}

int FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? 1 : 0;
}
