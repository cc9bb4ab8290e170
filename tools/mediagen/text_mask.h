// A line of text rasterised with FreeType into a coverage mask, used by the logo.
#pragma once
#include <optional>
#include <string>
#include <vector>

struct TextMask {
    int width = 0;
    int height = 0;
    std::vector<float> coverage; // row by row, 0-1
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return coverage[static_cast<size_t>(y) * width + x];
    }
};

// The text at the largest pixel size whose ink fits within maxWidth; empty when the font
// cannot be loaded.
std::optional<TextMask> rasteriseText(const std::string& fontPath, const std::string& text,
                                      int maxWidth);
