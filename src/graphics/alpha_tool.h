// `bw2a`, an authoring aid: a picture rendered once on black and once on
// white becomes one picture for the `alpha` transparency mode, colour on the
// left and mask on the right.
#pragma once

#include <optional>

#include "graphics/surface.h"

namespace vellumite {

// The mask value of one pixel: 0 where the two renderings agree (opaque),
// else the white rendering's channel sum less the black one's, divided by 3
// and held within 0..255 (255 fully transparent).
uint8_t alpha_mask_value(const uint8_t black_bgr[3], const uint8_t white_bgr[3]);

// The alpha picture of two renderings of one size (8- or 24-bit): 24-bit,
// the black rendering on the left and the mask on the right, with the
// column pairs (c, W - 1 - c) from the outside in and the rows from the top
// that are fully transparent trimmed away (the bottom is never trimmed, and
// at least one column of each half and one row stay). Nullopt when the
// sizes differ or a surface is empty or of another depth.
std::optional<Surface> make_alpha_picture(const Surface& black, const Surface& white);

}  // namespace vellumite
