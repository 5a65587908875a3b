// What the X server, rather than SDL, says about the window. Without a
// window manager a request for full screen changes nothing on the screen
// while SDL already counts the window as full-screen sized.
#pragma once

#include <SDL.h>

#include "platform/backend_only.h"

namespace vellumite {

// The window's size as the X server has it. False when the window is not an
// X window (another video driver), and SDL's own size is all there is.
bool x11_window_size(SDL_Window* window, int& width, int& height);

}  // namespace vellumite
