// The SDL window with its OpenGL 2.1 context. Full screen is the desktop's own mode on the
// window's monitor: no real mode switch (which today's desktops emulate badly or refuse), the
// game's 4:3 surface is scaled up and letterboxed instead.
#pragma once

// Opens the window and makes its GL context current; a refused full screen falls back to a
// window. False with a line on stderr when no window can be had at all.
bool OpenWindow(int width, int height, bool fullScreen);
// Destroys the context and the window (their textures with them); nothing when none is open.
void CloseWindow();
// Switches the open window to the desktop's full screen or back to a window of its old size;
// false when there is no window or the switch was refused.
bool SetWindowFullScreen(bool on);
bool WindowFullScreen();
// The window's drawable size in real pixels.
void DrawableSize(int& width, int& height);
// Shows the back buffer, waiting for the vertical blank when vsync is set.
void SwapWindow(bool vsync);
