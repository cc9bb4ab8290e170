// Reading files whole or as a stream; see files.h. Opening and saving them is for each system
// to do: files_posix.cpp, files_windows.cpp.
#include "runtime/files.h"

std::string SizeText(long long bytes) {
    if (bytes % MiB == 0) return std::to_string(bytes / MiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool FileFailed(FileProblem* problem, bool missing, std::string reason) {
    if (problem) *problem = FileProblem{missing, std::move(reason)};
    return false;
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
            return FileFailed(problem, false, "larger than " + SizeText(maxBytes));
        read.append(buffer, n);
    }
    if (std::ferror(file.get())) return FileFailed(problem, false, READ_BROKE_OFF);
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
