// What needs the whole engine, over the graphics types of graphics/picture.h.
#pragma once

#include "graphics/picture.h"

namespace vellumite {

struct Engine;

// Finds `name` among the game's files and reads it into the picture's
// surface by its extension (.bmp is read here; other extensions would need a
// picture plug-in). With `placeholder_on_missing`, a missing file gives a
// 1x1 black picture and counts as loaded.
PictureFile load_picture_file(Engine& e, Picture& picture, std::string_view name,
                              bool placeholder_on_missing);

// The one entry point for pictures named by a script: resets the picture,
// applies the image tag (a malformed one is a fatal tag error) and loads the
// file. A file that is missing leaves the picture empty; one that cannot be
// read is fatal ("ロード失敗!").
void load_picture_from_tag(Engine& e, Picture& picture, std::string_view tag);

}  // namespace vellumite
