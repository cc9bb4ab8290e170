// Opening and saving files on a POSIX system; see files.h.
#include "runtime/files.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include "runtime/browser_web.h"
#endif

File OpenRegularFile(const std::string& path, long long maxBytes, FileProblem* problem) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        FileFailed(problem, error == ENOENT, std::strerror(error));
        return nullptr;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        FileFailed(problem, false, std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        FileFailed(problem, false, "not a regular file");
    } else if (info.st_size > maxBytes) {
        FileFailed(problem, false, "larger than " + SizeText(maxBytes));
    } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        FileFailed(problem, false, std::strerror(errno));
    } else if (std::FILE* file = fdopen(fd, "rb")) {
        return File(file);
    } else {
        FileFailed(problem, false, std::strerror(errno));
    }
    close(fd);
    return nullptr;
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

// Flushes a file or folder to the disk. A page has no disk: there, fsync would write every save
// back to IndexedDB and wait for it in the middle of a frame; the page writes the saves back by
// itself once they are whole (KeepSaves).
int FlushToDisk(int fd) {
#ifdef __EMSCRIPTEN__
    return fd < 0 ? -1 : 0;
#else
    return fsync(fd);
#endif
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
    if (!WriteAll(fd, bytes) || (existed && fchmod(fd, mode) != 0) || FlushToDisk(fd) != 0)
        problem = errno;
    if (close(fd) != 0 && problem == 0) problem = errno;
    if (problem == 0 && !RenameOver(temp, target)) problem = errno;
    if (problem != 0) {
        unlink(temp.c_str());
        error = target + ": " + std::strerror(problem);
        return false;
    }
    // The rename itself lives in the folder: flush that too, or a power cut may undo it.
    const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        FlushToDisk(folder);
        close(folder);
    }
#ifdef __EMSCRIPTEN__
    KeepSaves();
#endif
    return true;
}

void RemoveStaleTemporary(const std::string& path) {
    const std::string temp = FollowLinks(path) + ".tmp";
    struct stat info;
    // unlink never follows a link, so a planted one goes without touching what it names.
    if (lstat(temp.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) unlink(temp.c_str());
}

bool RenameOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool SyncFile(std::FILE* file) {
    return FlushToDisk(fileno(file)) == 0;
}

std::filesystem::path ExecutableFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

bool FolderWritable(const std::string& folder) {
    return access(folder.c_str(), W_OK) == 0;
}
