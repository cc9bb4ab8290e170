// Safe opening of files for reading; see files.h.
#include "runtime/files.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SizeText(long long bytes) {
    if (bytes % MiB == 0) return std::to_string(bytes / MiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool Fail(FileProblem* problem, bool missing, std::string reason) {
    if (problem) *problem = FileProblem{missing, std::move(reason)};
    return false;
}

} // namespace

File OpenRegularFile(const std::string& path, long long maxBytes, FileProblem* problem) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        Fail(problem, error == ENOENT, std::strerror(error));
        return nullptr;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        Fail(problem, false, std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        Fail(problem, false, "is not a regular file");
    } else if (info.st_size > maxBytes) {
        Fail(problem, false, "is larger than " + SizeText(maxBytes));
    } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        Fail(problem, false, std::strerror(errno));
    } else if (std::FILE* file = fdopen(fd, "rb")) {
        return File(file);
    } else {
        Fail(problem, false, std::strerror(errno));
    }
    close(fd);
    return nullptr;
}

bool ReadWholeFile(const std::string& path, long long maxBytes, std::string& bytes,
                   FileProblem* problem) {
    File file = OpenRegularFile(path, maxBytes, problem);
    if (!file) return false;
    std::string read;
    char buffer[65536];
    // The size was checked at the open; a file that grows meanwhile is still cut at the limit.
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        if (static_cast<long long>(read.size() + n) > maxBytes)
            return Fail(problem, false, "is larger than " + SizeText(maxBytes));
        read.append(buffer, n);
    }
    if (std::ferror(file.get())) return Fail(problem, false, "could not be read to its end");
    bytes = std::move(read);
    return true;
}

std::string DescribeProblem(const std::string& path, const FileProblem& problem) {
    // Reasons that read as a sentence about the file ("is not a regular file") follow its
    // name directly; the system's own texts ("Permission denied") after a colon.
    const bool sentence =
        problem.reason.rfind("is ", 0) == 0 || problem.reason.rfind("could ", 0) == 0;
    return path + (sentence ? " " : ": ") + problem.reason;
}
