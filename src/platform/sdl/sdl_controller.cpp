// Game controllers through SDL's game-controller interface: A is a click and
// B a right click where the pointer is; the pad and the left stick send the
// arrow keys, which move the pointer between choices and buttons.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_platform_impl.h"

namespace vellumite {
namespace {

// How far a stick must lean to count as a push, and how far back it must
// come before the next push counts.
constexpr int kStickPush = 16000;
constexpr int kStickRelease = 8000;

}  // namespace

void SdlPlatform::open_controllers() {
  // Without the subsystem the game is played with mouse and keys alone.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    log(std::string("no game controllers: ") + SDL_GetError());
    return;
  }
  // Controllers present at start arrive as device-added events as well.
  SDL_GameControllerEventState(SDL_ENABLE);
}

void SdlPlatform::handle_controller(const SDL_Event& event) {
  Impl& s = *impl_;
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: {
      if (SDL_GameController* c = SDL_GameControllerOpen(event.cdevice.which)) {
        s.controllers.push_back(c);
      }
      break;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
      SDL_GameController* gone = SDL_GameControllerFromInstanceID(event.cdevice.which);
      auto it = std::find(s.controllers.begin(), s.controllers.end(), gone);
      if (it != s.controllers.end()) {
        SDL_GameControllerClose(*it);
        s.controllers.erase(it);
      }
      break;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
      uint32_t key = 0;
      switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_A:
        case SDL_CONTROLLER_BUTTON_B: {
          flush_pending_move();
          int x = 0, y = 0;
          pointer_position(x, y);
          const bool left = event.cbutton.button == SDL_CONTROLLER_BUTTON_A;
          const MessageKind kind = left
                                       ? (down ? MessageKind::LButtonDown : MessageKind::LButtonUp)
                                       : (down ? MessageKind::RButtonDown : MessageKind::RButtonUp);
          post_message(Message{kind, x, y, 0});
          return;
        }
        case SDL_CONTROLLER_BUTTON_DPAD_UP: key = kKeyUp; break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: key = kKeyDown; break;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: key = kKeyLeft; break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: key = kKeyRight; break;
        default: return;
      }
      if (down) post_message(Message{MessageKind::Key, 0, 0, key});
      break;
    }
    case SDL_CONTROLLERAXISMOTION: {
      const bool x_axis = event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX;
      if (!x_axis && event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY) return;
      uint32_t& held = s.stick_key[x_axis ? 0 : 1];
      const int value = event.caxis.value;
      if (held != 0) {
        if (std::abs(value) < kStickRelease) held = 0;
        return;
      }
      if (std::abs(value) < kStickPush) return;
      held = x_axis ? (value < 0 ? kKeyLeft : kKeyRight) : (value < 0 ? kKeyUp : kKeyDown);
      post_message(Message{MessageKind::Key, 0, 0, held});
      break;
    }
    default: break;
  }
}

void SdlPlatform::move_pointer(int x, int y) {
  Impl& s = *impl_;
  PlatformBase::move_pointer(x, y);
  s.posted_move_x = x;
  s.posted_move_y = y;
  s.move_pending = false;
  if (SDL_GetMouseFocus() != s.window) return;
  const ViewRect view = s.window_view();
  SDL_WarpMouseInWindow(s.window, view.x + (x * view.w + view.w / 2) / kWindowWidth,
                        view.y + (y * view.h + view.h / 2) / kWindowHeight);
}

}  // namespace vellumite
