#pragma once
// The library's module handle, for its path and its resources.

#include <windows.h>

namespace frambolist::win {

HMODULE ThisModule();

}  // namespace frambolist::win
