// libFuzzer target: any bytes as a packet from another machine. Every decoder refuses what is
// not a message of its kind and never crashes; what one takes stays inside the game's bounds
// and encodes to bytes that decode to the same message.
#include "match/snapshot.h"
#include "net/wire.h"
#include <cstdint>
#include <cstdlib>

uint64_t hashbytes(const void*, size_t, uint64_t hash) {
    return hash;
}

namespace {

void check(bool good) {
    if (!good) std::abort();
}

bool same(const Parts& a, const Parts& b) {
    if (a.game != b.game || a.frame != b.frame || a.acks != b.acks ||
        a.blocks.size() != b.blocks.size())
        return false;
    for (size_t i = 0; i < a.blocks.size(); ++i) {
        const PartBlock &x = a.blocks[i], &y = b.blocks[i];
        if (x.origin != y.origin || x.first != y.first || x.parts != y.parts) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    (void)kindof(bytes);
    Parts parts, partsback;
    if (decode(bytes, parts)) {
        check(parts.acks.size() <= 4 && parts.blocks.size() <= 8);
        for (const PartBlock& b : parts.blocks) check(b.first >= 0 && b.parts.size() <= 1024);
        check(decode(encode(parts), partsback) && same(parts, partsback));
    }
    Start start, startback;
    if (decode(bytes, start)) {
        check(start.machines >= 2 && start.machines <= 4 && start.you < start.machines);
        check(decode(encode(start), startback) && startback.seats == start.seats);
    }
    Hello hello, helloback;
    if (decode(bytes, hello))
        check(decode(encode(hello), helloback) && helloback.version == hello.version);
    Hash hash;
    (void)decode(bytes, hash);
    Over over;
    if (decode(bytes, over)) check(over.machine < 4);
    std::string reason;
    (void)decoderefusal(bytes, reason);
    Records records, recordsback;
    if (decode(bytes, records)) {
        long frames = records.first;
        for (const InputRun& run : records.runs) frames += long(run.count), check(run.count >= 1);
        check(records.runs.size() <= MOSTRUNS && frames <= REPLAY_MOST_FRAMES);
        check(decode(encode(records), recordsback) &&
              recordsback.runs.size() == records.runs.size());
        for (size_t i = 0; i < records.runs.size(); ++i)
            check(recordsback.runs[i].input() == records.runs[i].input() &&
                  recordsback.runs[i].count == records.runs[i].count);
    }
    Watch watch;
    (void)decode(bytes, watch);
    int watching = 0;
    (void)decodewatchers(bytes, watching);
    Away away;
    if (decode(bytes, away)) check(away.seat < 4 && away.ms <= 60000);
    Resume resume;
    if (decode(bytes, resume)) check(resume.own >= 0 && resume.own <= REPLAY_MOST_FRAMES);
    uint64_t stamp = 0;
    if (decodeecho(bytes, stamp)) {
        uint64_t back = 0;
        check(decodeecho(encodeecho(stamp), back) && back == stamp);
    }
    return 0;
}
