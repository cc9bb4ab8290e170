// The one runtime context: everything the service functions share. Only src/runtime includes
// this header; game code sees the plain functions of graphics.h, keyboard.h and friends.
#pragma once
#include "drawstate.h"
#include "graphics.h"
#include "keyboard_state.h"
#include "renderer.h"
#include <functional>
#include <memory>

struct RuntimeContext {
    std::unique_ptr<Renderer> renderer; // null while no graphics are open
    DrawState state;
    KeyboardState keys;
    int autoImageFlags = 3;
    TFont font; // null: built-in font (draws nothing)
    bool graphicsOpen = false;
    bool drawing = true; // SetDrawing
    int width = 0, height = 0;
    // Delivers pending window and script events into keys; set by the platform layer.
    std::function<void()> pumpEvents = [] {};
};

RuntimeContext& rt();
// The renderer the primitives draw with: null while no graphics are open or drawing is off.
class Renderer* DrawingRenderer();
