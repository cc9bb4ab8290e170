// Opening and saving files on Windows; see files.h. The game's manifest makes UTF-8 the code
// page of the C library's and Windows' narrow calls, so a path of any letters is used as it is.
// Windows has no FIFOs or symbolic links the game could meet by accident: a device name (CON,
// NUL) is what a regular-file check still refuses.
#include "runtime/files.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <iterator>
#include <sys/stat.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

File OpenRegularFile(const std::string& path, long long maxBytes, FileProblem* problem) {
    const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        const int error = errno;
        // A folder cannot be opened at all here: it is said as what it is.
        struct _stat64 info;
        if (error == EACCES && _stat64(path.c_str(), &info) == 0 &&
            (info.st_mode & _S_IFMT) == _S_IFDIR)
            FileFailed(problem, false, "not a regular file");
        else
            FileFailed(problem, error == ENOENT, std::strerror(error));
        return nullptr;
    }
    struct _stat64 info;
    if (_fstat64(fd, &info) != 0) {
        FileFailed(problem, false, std::strerror(errno));
    } else if ((info.st_mode & _S_IFMT) != _S_IFREG) {
        FileFailed(problem, false, "not a regular file");
    } else if (info.st_size > maxBytes) {
        FileFailed(problem, false, "larger than " + SizeText(maxBytes));
    } else if (std::FILE* file = _fdopen(fd, "rb")) {
        return File(file);
    } else {
        FileFailed(problem, false, std::strerror(errno));
    }
    _close(fd);
    return nullptr;
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const unsigned chunk = unsigned(std::min<size_t>(bytes.size() - done, 1u << 30));
        const int n = _write(fd, bytes.data() + done, chunk);
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

} // namespace

bool RenameOver(const std::string& from, const std::string& to) {
    // Windows' rename() refuses a name that is taken: this replaces it, and is on the disk when
    // it returns.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND
                ? ENOENT
                : EACCES;
    return false;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes, std::string& error) {
    const std::string temp = path + ".tmp";
    // _O_EXCL never opens what is already there; what a crash left behind goes once.
    const int flags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT;
    int fd = _open(temp.c_str(), flags, _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno == EEXIST && _unlink(temp.c_str()) == 0)
        fd = _open(temp.c_str(), flags, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        error = temp + ": " + std::strerror(errno);
        return false;
    }
    int problem = 0;
    if (!WriteAll(fd, bytes) || _commit(fd) != 0) problem = errno;
    if (_close(fd) != 0 && problem == 0) problem = errno;
    if (problem != 0) {
        _unlink(temp.c_str());
        error = path + ": " + std::strerror(problem);
        return false;
    }
    if (!RenameOver(temp, path)) {
        error = path + ": " + std::strerror(errno);
        _unlink(temp.c_str());
        return false;
    }
    return true;
}

void RemoveStaleTemporary(const std::string& path) {
    const std::string temp = path + ".tmp";
    struct _stat64 info;
    if (_stat64(temp.c_str(), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG)
        _unlink(temp.c_str());
}

bool SyncFile(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

std::filesystem::path ExecutableFolder() {
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    if (length == 0 || length >= std::size(path)) return {};
    return std::filesystem::path(std::wstring(path, length)).parent_path();
}

bool FolderWritable(const std::string& folder) {
    // Windows' access check ignores the folder's access list: creating a file is the answer.
    const std::string probe =
        folder + "\\vantorix-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
