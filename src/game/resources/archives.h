// Files packed into archives. A scenario registers archives with `arc`
// ("<archive>|<plug-in>"); every resource loader asks here for a file that is
// not in the game folder. The archive plug-in writes the member into the
// scratch folder and the caller reads that copy like any other file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellumite {

struct Engine;

// The path of a temporary copy of `name_sjis` (folders separated by '/' or
// '\') taken from the first registered archive that holds it, or nullopt
// when no archive does. The copy lies in the scratch folder under the base
// name of `name_sjis`; the caller removes it (remove_file) when done.
std::optional<std::string> find_in_archives(Engine& e, std::string_view name_sjis);

}  // namespace vellumite
