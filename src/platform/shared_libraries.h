// Shared libraries loaded at run time: the plug-ins a game registers and the
// program's own.
#pragma once

#include <string>

#include "platform/backend_only.h"

namespace vellumite {

// dlopen with every symbol bound at once and kept local to the library; null
// when it cannot be loaded.
void* load_shared_library(const std::string& path);
void* shared_library_symbol(void* library, const char* name);
void unload_shared_library(void* library);

// The folder of the program's own plug-ins: beside the executable when they
// are installed there, else the build tree's plugins folder (when the
// program runs from where it was built); empty when neither holds them.
std::string find_own_plugin_folder();

}  // namespace vellumite
