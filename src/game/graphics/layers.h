// What needs the whole engine, over the graphics types of graphics/layers.h.
#pragma once

#include <string_view>

#include "graphics/layers.h"

namespace vellumite {

struct Engine;

// Adds a rectangle (clipped to the screen) to the dirty region.
void mark_dirty(Engine& e, const Rect& r);

// Marks a picture's area at (x, y): from (x, y) to (x + cell width + 1,
// y + height + 1) both included, summed in 64 bits so that far-off positions
// cannot overflow.
void mark_picture(Engine& e, const Picture& picture, int32_t x, int32_t y);

// Recomposes `scene` inside the rectangle (null: the whole screen).
void refresh_scene(Engine& e, const Rect* rect);

// Advances due cells of animated sprites and standing pictures and shows
// them; every waiting loop calls it.
void animate_layers(Engine& e);

// The picture part of the game's reset.
void reset_pictures(Engine& e);

// Loads the background from an image tag as an opaque picture; one of
// another size than the screen is centred on black.
void load_background_picture(Engine& e, std::string_view tag);

}  // namespace vellumite
