// A picture: a surface plus how it is drawn (transparency mode, constant
// opacity) and its cell animation. Every picture the engine shows is one;
// the drawing operations here are plain functions over the pixels.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/colour.h"
#include "graphics/surface.h"

namespace vellumite {

struct Engine;
struct GraphicsState;

// How a picture's pixels become transparent.
enum TransMode : int32_t {
  kTransLeftup = 0,  // the colour of the top-left pixel is transparent
  kTransAlpha = 1,   // each cell carries its mask in its right half
  kTransKey = 2,     // key colour (24-bit) or key index (8-bit) from the tag
  kTransCopy = 3,    // opaque
};

// What the cell animation does after the last cell.
enum LoopMode : int32_t {
  kLoopRestart = 0,  // start again at cell 0
  kLoopStop = 1,     // stay on the last cell
  kLoopReverse = 2,  // reverse direction
};

// Where the drawn part of a 24-bit picture is opaque or partly see-through,
// as runs per row (what is not in a run is transparent): the compositor
// copies opaque runs, blends partial ones and skips the rest. Built at the
// picture's first draw for the settings below, dropped by pixels_changed.
struct SpanMap {
  // A run of pixels of one row: columns [start, start + length).
  struct Run {
    uint32_t start : 15;
    uint32_t length : 16;
    uint32_t partial : 1;
    // A partial run's opacities: weights[weight_at + 3 * (x - start) + c]
    // for column x and byte c of its pixel.
    uint32_t weight_at;
  };
  const uint8_t* bits = nullptr;  // null: not built
  size_t size = 0;
  int32_t width = 0;
  int32_t trans_mode = 0;
  int32_t cells = 0;
  uint32_t key = 0;
  std::vector<uint32_t>
      row_first;  // picture row y (0 = top): runs [row_first[y], row_first[y + 1])
  std::vector<Run> runs;
  // The opacity of each byte of the partial runs' pixels: 255 minus the
  // first byte of its mask pixel.
  std::vector<uint8_t> weights;
};

struct Picture {
  uint32_t anim_time = 0;  // clock time of the last cell change
  int32_t anim_step = 1;   // +1 or -1: the direction `cell` moves
  Colour key_colour;       // key colour of kTransKey on 24-bit pictures
  int32_t key_index = 0;   // key palette index of kTransKey on 8-bit pictures
  Surface surface;
  int32_t trans_mode = kTransCopy;
  int32_t alpha = -1;  // -1 opaque, 0..255 constant opacity on top of the mode
  int32_t cell = 0;
  int32_t cells = 1;  // cells lie side by side, left to right
  // Milliseconds each cell is shown; -1: `cell_intervals` has one per cell.
  int32_t interval = 0;
  std::vector<int32_t> cell_intervals;
  int32_t loop_mode = kLoopRestart;
  mutable SpanMap spans;

  bool empty() const { return surface.empty(); }
};

// Width of one cell as drawn: width / cells, halved in kTransAlpha mode
// (the other half is the mask).
int32_t cell_width(const Picture& picture);
int32_t picture_height(const Picture& picture);
// Column where cell `cell` starts: cell x (width / cells).
int32_t cell_left(const Picture& picture, int32_t cell);
// Milliseconds cell `cell` is shown. A per-cell time that the tag did not
// give (a plain timing of -1, or a cell beyond the list) counts as 0.
int32_t cell_interval(const Picture& picture, int32_t cell);

// Empties the picture and puts its settings back to the loading defaults:
// animation at rest, opaque, one cell; the key colour and index stay.
void reset_picture(Picture& picture);
// Code that writes a picture's pixels directly calls this afterwards, so that
// the compositor looks at them again; the functions here do it themselves.
void pixels_changed(Picture& picture);
// Releases the pixels; the settings stay.
void free_picture(Picture& picture);
// Replaces the pixels with a black surface of the given size.
bool create_blank(Picture& picture, int32_t width, int32_t height, int32_t bit_count);

// Fills [left, right) x [top, bottom) with `colour`, clipped to the picture.
// 8-bit pictures get the nearest palette entry.
void fill_picture(Picture& picture, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  Colour colour);
// Copies a width x height block from (source_x, source_y) of `source` to
// (x, y) of `destination`, clipped to both. Copies between 8- and 24-bit
// pictures go through the palette. The two may be the same picture.
void blit(Picture& destination, int32_t x, int32_t y, int32_t width, int32_t height,
          const Picture& source, int32_t source_x, int32_t source_y);

// The pixels of all pictures held at once stay below this; a picture that
// would pass it fails to load.
constexpr uint64_t kMaxHeldPictureBytes = uint64_t{1} << 30;
// What a new picture may still take: kMaxHeldPictureBytes less the bytes of
// every picture the graphics state holds.
uint64_t picture_budget(const GraphicsState& g);

// What loading a named file came to.
enum class PictureFile {
  Loaded,
  Missing,     // not in the game folder, in no archive, or no reader for it
  Unreadable,  // found, but its reader could not make a picture of it
};

}  // namespace vellumite
