// The argument shapes of the command words, for the author's checker: what
// each command reads, in order, written as one letter per argument.
#pragma once

#include <optional>
#include <string_view>

namespace vellumite {

// Letters of a shape:
//   n number (literal, %variable or numeric alias)   s string
//   l label                 v numeric variable      V string variable
//   x either variable, and y then a value of its kind
//   c colour #rrggbb        t a name being defined (alias)
//   p image tag (picture)   a sound file            m music file or "*track"
//   f film file             u "off" or a pointer file
//   b bw2a's base name: two pictures read, one written into "out"
//   o "off" or a colour     T "off" or a label      L position l|c|r
//   A position l|c|r|a      B background: #rrggbb, black, white or a picture
//   E effect type with its duration and mask as the type needs them
//   G the window's frame: #rrggbb and four numbers, or a picture and two
//   k a colour when one follows the comma         W transmode's word
//   Y systemcall's word     R rmenu's items        ? if's conditions
//   [ every argument after it is optional (present when a comma follows)
//   * the rest repeats while a comma follows, also across lines
// A command without arguments has an empty shape.
std::optional<std::string_view> argument_shape(std::string_view word);

}  // namespace vellumite
