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

uint64_t rejointoken(const std::string& where) {
    std::string text;
    if (!ReadWholeFile(REJOINFILE, MOSTBYTES, text)) return 0;
    std::istringstream in(text);
    std::string magic, place, token;
    if (!std::getline(in, magic) || magic != MAGIC || !std::getline(in, place) ||
        place != "where " + where || !std::getline(in, token) || token.rfind("token ", 0) != 0)
        return 0;
    uint64_t value = 0;
    char end = 0;
    if (std::sscanf(token.c_str() + 6, "%16" SCNx64 "%c", &value, &end) != 1) return 0;
    return value;
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
