// libFuzzer target: any bytes as rejoin.txt, the seat a joiner keeps in its saves folder. A
// place read from it gives its token back, and what is then kept reads back the same.
#include "app/rejoin.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(REJOINFILE, "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const std::string place = rejoinplace();
    const uint64_t token = rejointoken(place);
    if (place.find('\n') != std::string::npos) std::abort();
    if (token == 0) return 0;
    keeprejoin(place, token);
    if (rejoinplace() != place || rejointoken(place) != token) std::abort();
    forgetrejoin();
    if (rejointoken(place) != 0) std::abort();
    return 0;
}
