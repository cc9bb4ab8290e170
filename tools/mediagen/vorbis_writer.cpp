#include "vorbis_writer.h"

#include <algorithm>
#include <cstdio>
#include <vorbis/vorbisenc.h>

namespace {

// The libvorbis encoder state, released in reverse order of creation.
struct Encoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool started = false; // analysis, block and stream exist only once the mode was accepted
    Encoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Encoder() {
        if (started) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
};

bool writePage(FILE* file, const ogg_page& page) {
    return std::fwrite(page.header, 1, page.header_len, file) ==
               static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, page.body_len, file) == static_cast<size_t>(page.body_len);
}

bool writeHeaders(Encoder& e, FILE* file) {
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &comments, &codebooks);
    ogg_stream_packetin(&e.stream, &header);
    ogg_stream_packetin(&e.stream, &comments);
    ogg_stream_packetin(&e.stream, &codebooks);
    ogg_page page;
    bool ok = true;
    while (ok && ogg_stream_flush(&e.stream, &page)) ok = writePage(file, page);
    return ok;
}

// Takes every block the analysis has ready and writes the finished pages.
bool drain(Encoder& e, FILE* file) {
    bool ok = true;
    while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
        vorbis_analysis(&e.block, nullptr);
        vorbis_bitrate_addblock(&e.block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
            ogg_stream_packetin(&e.stream, &packet);
            ogg_page page;
            while (ok && ogg_stream_pageout(&e.stream, &page)) ok = writePage(file, page);
        }
    }
    return ok;
}

bool encode(Encoder& e, const StereoBuffer& sound, FILE* file) {
    if (vorbis_encode_init_vbr(&e.info, 2, sampleRate, 0.3f) != 0) return false;
    vorbis_comment_add_tag(&e.comment, "TITLE", "Vantorix theme");
    vorbis_analysis_init(&e.dsp, &e.info);
    vorbis_block_init(&e.dsp, &e.block);
    ogg_stream_init(&e.stream, 20261208);
    e.started = true;
    bool ok = writeHeaders(e, file);
    const size_t chunk = 4096;
    for (size_t done = 0; ok && done < sound.frames(); done += chunk) {
        size_t n = std::min(chunk, sound.frames() - done);
        float** channels = vorbis_analysis_buffer(&e.dsp, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i) {
            channels[0][i] = sound.left[done + i];
            channels[1][i] = sound.right[done + i];
        }
        vorbis_analysis_wrote(&e.dsp, static_cast<int>(n));
        ok = drain(e, file);
    }
    vorbis_analysis_wrote(&e.dsp, 0); // end of stream
    return drain(e, file) && ok;
}

} // namespace

bool writeOggVorbis(const std::string& path, const StereoBuffer& sound) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "mediagen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok;
    {
        Encoder encoder;
        ok = encode(encoder, sound, file);
    }
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::fprintf(stderr, "mediagen: failed encoding %s\n", path.c_str());
    return ok;
}
