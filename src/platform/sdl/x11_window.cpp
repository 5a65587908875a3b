#include "platform/sdl/x11_window.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace vellumite {

bool x11_window_size(SDL_Window* window, int& width, int& height) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
    return false;
  }
  XWindowAttributes attributes;
  XSync(info.info.x11.display, False);
  if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) == 0) {
    return false;
  }
  width = attributes.width;
  height = attributes.height;
  return true;
}

}  // namespace vellumite
