// Damaged and hostile media for the tests of the loaders and of the game's start: files whose
// headers lie about their size, rate or length, with checksums still right, so that only the
// game's own bounds can stop them.
#pragma once
#include <cstdint>
#include <string>

// A complete, tiny PNG (signature, header, a few bytes of image data, end) whose header claims
// width x height RGBA pixels at 8 bits: 65 bytes whatever it claims.
std::string PngHeaderBomb(uint32_t width, uint32_t height);
// Writes bytes to the file; false on failure.
bool WriteBytes(const std::string& path, const std::string& bytes);

// Rewrites an Ogg Vorbis file in place: the sample rate of its identification header when
// rate > 0, and the granule position (the length so far) of its last page when granule >= 0,
// with the page checksums set again. False when the file is not Ogg Vorbis.
bool PatchOgg(const std::string& path, long rate, int64_t granule);
