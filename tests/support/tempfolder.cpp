#include "tempfolder.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

std::filesystem::path MakeTempFolder(const std::string& prefix) {
    // A new folder of a random name: creating it fails when the name is taken.
    std::random_device random;
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    for (int tries = 0; tries < 100; ++tries) {
        const std::filesystem::path folder = temp / (prefix + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(folder, ec)) return folder;
    }
    std::fprintf(stderr, "test set-up: cannot make a temporary folder in %s\n",
                 temp.string().c_str());
    std::abort();
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void LinkFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
#else
    std::filesystem::create_directory_symlink(from, to);
#endif
}
