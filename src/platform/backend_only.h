// Included by every header of the platform's implementation. The engine is
// built with VELLUMITE_ENGINE defined and sees the platform only through
// platform/platform.h (and the trace's text helpers in
// platform/trace_text.h); any other platform header stops its build here.
#pragma once

#ifdef VELLUMITE_ENGINE
#error "engine code reaches the platform only through platform/platform.h"
#endif
