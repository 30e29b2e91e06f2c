#pragma once

// <windows.h> as every Windows file of the project takes it: without the parts none of them
// uses, and without the min and max macros, which would break std::min and std::max. A
// header that needs more of the API (shellapi.h, winnetwk.h) comes after this one.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX // mingw's C++ headers already define it
#define NOMINMAX
#endif
#include <windows.h>
