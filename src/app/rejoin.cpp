// The rejoin file: three lines, "vantorix rejoin", "where ...", "token <hex>"; see rejoin.h.
#include "app/rejoin.h"
#include "runtime/files.h"
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

constexpr long long MOSTBYTES = 1024;
const std::string MAGIC = "vantorix rejoin";

} // namespace

namespace {

// The file's place and token; false when there is none (or it is not the game's).
bool readrejoin(std::string& where, uint64_t& token) {
    std::string text;
    if (!ReadWholeFile(REJOINFILE, MOSTBYTES, text)) return false;
    std::istringstream in(text);
    std::string magic, place, hex;
    if (!std::getline(in, magic) || magic != MAGIC || !std::getline(in, place) ||
        place.rfind("where ", 0) != 0 || !std::getline(in, hex) || hex.rfind("token ", 0) != 0)
        return false;
    char end = 0;
    where = place.substr(6);
    return std::sscanf(hex.c_str() + 6, "%16" SCNx64 "%c", &token, &end) == 1;
}

} // namespace

uint64_t rejointoken(const std::string& where) {
    std::string kept;
    uint64_t token = 0;
    return readrejoin(kept, token) && kept == where ? token : 0;
}

std::string rejoinplace() {
    std::string where;
    uint64_t token = 0;
    return readrejoin(where, token) ? where : std::string();
}

void keeprejoin(const std::string& where, uint64_t token) {
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, token);
    std::string error;
    if (!ReplaceFileContents(REJOINFILE, MAGIC + "\nwhere " + where + "\ntoken " + hex + "\n",
                             error))
        std::fprintf(stderr, "vantorix: %s (a crash would lose this machine's seat)\n",
                     error.c_str());
}

void forgetrejoin() {
    std::error_code ec;
    std::filesystem::remove(REJOINFILE, ec);
}
