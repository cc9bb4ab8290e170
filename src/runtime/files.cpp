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
        Fail(problem, false, "not a regular file");
    } else if (info.st_size > maxBytes) {
        Fail(problem, false, "larger than " + SizeText(maxBytes));
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
            return Fail(problem, false, "larger than " + SizeText(maxBytes));
        read.append(buffer, n);
    }
    if (std::ferror(file.get())) return Fail(problem, false, READ_BROKE_OFF);
    bytes = std::move(read);
    return true;
}

FileInput::FileInput(File file) : std::istream(nullptr), buffer_(std::move(file)) {
    rdbuf(&buffer_);
}

FileInput::Buffer::int_type FileInput::Buffer::underflow() {
    const size_t n = file ? std::fread(block, 1, sizeof block, file.get()) : 0;
    if (n == 0) return traits_type::eof();
    setg(block, block, block + n);
    return traits_type::to_int_type(block[0]);
}

std::string DescribeProblem(const std::string& path, const FileProblem& problem) {
    return path + ": " + problem.reason;
}

namespace {

// Follows a chain of symbolic links from path to the name that is not a link (which need not
// exist yet). Relative link targets count from the folder of the link.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char target[4096];
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0) return path;
        target[n] = '\0';
        const size_t slash = path.rfind('/');
        if (target[0] == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A fresh temporary file: O_EXCL never opens what is already there, link or not. What a
// crash left behind (or anything else at that name that is not a folder) is removed once.
int CreateTemporary(const std::string& temp, mode_t mode) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(temp.c_str(), flags, mode);
    if (fd < 0 && errno == EEXIST && unlink(temp.c_str()) == 0)
        fd = open(temp.c_str(), flags, mode);
    return fd;
}

} // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes, std::string& error) {
    const std::string target = FollowLinks(path);
    const std::string temp = target + ".tmp";
    struct stat old;
    const bool existed = stat(target.c_str(), &old) == 0;
    // The mode given to open is narrowed by the umask; an existing file's is kept exactly.
    const mode_t mode = existed ? (old.st_mode & 07777) : 0644;
    const int fd = CreateTemporary(temp, mode);
    if (fd < 0) {
        error = temp + ": " + std::strerror(errno);
        return false;
    }
    int problem = 0;
    if (!WriteAll(fd, bytes) || (existed && fchmod(fd, mode) != 0) || fsync(fd) != 0)
        problem = errno;
    if (close(fd) != 0 && problem == 0) problem = errno;
    if (problem == 0 && rename(temp.c_str(), target.c_str()) != 0) problem = errno;
    if (problem != 0) {
        unlink(temp.c_str());
        error = target + ": " + std::strerror(problem);
        return false;
    }
    // The rename itself lives in the folder: flush that too, or a power cut may undo it.
    const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

void RemoveStaleTemporary(const std::string& path) {
    const std::string temp = FollowLinks(path) + ".tmp";
    struct stat info;
    // unlink never follows a link, so a planted one goes without touching what it names.
    if (lstat(temp.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) unlink(temp.c_str());
}
