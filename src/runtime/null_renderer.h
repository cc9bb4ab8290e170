// The renderer that draws nothing: long simulations and runs that only need the game's logic.
// Textures are just numbers, so images and fonts still load and report their sizes.
#pragma once
#include "runtime/renderer.h"

class NullRenderer : public Renderer {
  public:
    void resize(int, int) override {}
    TextureId createTexture(const Pixels&, int) override { return ++lastTexture_; }
    TextureId createCoverageTexture(const Coverage&, int) override { return ++lastTexture_; }
    void destroyTexture(TextureId) override {}
    void clear() override {}
    void drawImage(const TImageData&, float, float, const DrawState&) override {}
    void drawRect(float, float, float, float, const DrawState&) override {}
    void drawLine(float, float, float, float, bool, const DrawState&) override {}
    void drawText(const TFontData&, std::string_view, float, float, const DrawState&) override {}
    void flush() override {}
    bool readPixels(Pixels&) override { return false; }

  private:
    TextureId lastTexture_ = 0;
};
