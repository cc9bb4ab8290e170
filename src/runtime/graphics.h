// The 2D drawing surface: one window (or the whole screen) with a drawing state, images and a
// scaled TrueType font. Positions are pixels from the top-left corner, y downward; colours are
// 0-255 channels; alpha 0-1; angles in degrees, positive turning clockwise on screen.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct TImageData;
struct TFontData;
using TImage = std::shared_ptr<TImageData>;
using TFont = std::shared_ptr<TFontData>;

// Image flags, OR-ed.
enum ImageFlag : int { IMAGE_MASKED = 1, IMAGE_FILTERED = 2, IMAGE_MIPMAPPED = 4 };
// Blend modes: 1 mask (alpha test), 2 solid, 3 alpha, 4 light (additive), 5 shade (multiply).
enum BlendMode : int {
    BLEND_MASK = 1,
    BLEND_SOLID = 2,
    BLEND_ALPHA = 3,
    BLEND_LIGHT = 4,
    BLEND_SHADE = 5
};

// Window and frame.
void UseOpenGLDriver();
void WindowTitle(const std::string& title);
// depth 0: a window of width x height; depth 32: full screen. hertz paces FlipFrame(-1).
// Returns 1 when a surface is open (full screen may fall back to a window).
int OpenGraphics(int width, int height, int depth, int hertz, int flags);
void CloseGraphics();
int GraphicsWidth();
int GraphicsHeight();
void ClearScreen();
// Shows the back buffer; -1 paces frames at the hertz given to OpenGraphics.
void FlipFrame(int sync);
// The paced frames from now on come ms later than their schedule (where the vertical blank
// paces them, the next frame waits ms): a machine ahead of the others in an online game slows
// down a little without a frame that stalls.
void HoldPacing(int ms);
void ShowPointer();
void HidePointer();
// Alt+Enter switches the open window between the desktop's full screen and a window, in any
// screen. The handler (empty for none) hears the new state, 1 full screen and 0 a window, so
// the game can keep it; the game's size stays as it was.
void OnFullScreenToggle(std::function<void(int fullscreen)> handler);

// Drawing state (reset to its defaults by OpenGraphics).
void SetDrawColor(int r, int g, int b); // each channel clamped to 0-255
void SetDrawAlpha(float alpha);         // clamped to 0-1
void SetBlendMode(int mode);
void SetLineWidth(float width);
void SetDrawRotation(float degrees);
void SetDrawScale(float sx, float sy);

// Primitives, drawn into the back buffer with the current state.
void DrawImage(const TImage& image, float x, float y, int frame = 0);
void DrawRect(float x, float y, float w, float h);
void DrawLine(float x1, float y1, float x2, float y2, int drawLast = 1);
void DrawText(std::string_view text, float x, float y);
// Sum of the glyph advances at the font's own size, truncated after each glyph.
int TextWidth(std::string_view text);
// The font's height at its own size.
int TextHeight();

// Images and fonts (loaded while graphics are open). Null when the file is missing, not a
// regular file, undecodable or, for a font, cannot draw the game's letters, digits and signs:
// the one-line reason, naming the file, goes to error when given and to stderr otherwise.
void SetAutoImageFlags(int flags);
TImage LoadImage(const std::string& path, int flags = -1, std::string* error = nullptr);
void MidHandleImage(const TImage& image);
int ImageWidth(const TImage& image);
int ImageHeight(const TImage& image);
// style bit 4 (smooth) makes the glyph images filtered and mipmapped.
TFont LoadFont(const std::string& path, int size, int style, std::string* error = nullptr);
void SetFont(const TFont& font);
