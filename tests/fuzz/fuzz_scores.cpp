// libFuzzer target: any bytes as scores.txt. Reading must never crash, must keep the table at
// twenty entries with names a player could have typed, and the table saved must read back
// exactly as it is.
#include "persist/scores.h"
#include "runtime/text.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, long long>> entries(TList<Tscore>& scores) {
    std::vector<std::pair<std::string, long long>> out;
    for (const auto& s : scores) out.emplace_back(s->name, s->score);
    return out;
}

std::vector<std::pair<std::string, long long>> read() {
    TList<Tscore> scores;
    defaultscores(scores);
    if (!loadscores(scores)) std::abort();
    return entries(scores);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen("scores.txt", "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const auto first = read();
    if (first.size() != 20) std::abort();
    TList<Tscore> table;
    for (const auto& [name, score] : first) {
        if (name.size() > size_t(NAME_LENGTH)) std::abort();
        for (char c : name)
            if (!NameCharacter(static_cast<unsigned char>(c))) std::abort();
        ListAddLast(table, std::make_shared<Tscore>(Tscore{score, name}));
    }
    if (!savescores(table)) std::abort();
    if (read() != first) std::abort();
    return 0;
}
