// Films (AVI and whatever else FFmpeg reads): the picture decoded and
// scaled to 640x480 into the window, the sound into the film stream of the
// mixer, until the film ends or, where allowed, a click ends it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "audio/decoder.h"
#include "game/engine.h"

namespace vellumite {

// The sound of a film file as a decoder; null when it has none.
std::unique_ptr<Decoder> open_film_sound(const std::string& path);

// `avi`: blocks until the film ends or, with `click_to_stop`, a click
// (clicked_flag, not cleared) ends it. A missing file ends it at once; a
// file that is no film is the fatal error "AVI Error 1".
void play_video(Engine& e, std::string_view name, bool click_to_stop);

}  // namespace vellumite
