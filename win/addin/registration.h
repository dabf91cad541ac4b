#pragma once
// Per-user registration: the classes under HKCU\Software\Classes and each
// host's add-in entry, from the one registration table. No elevation.

#include <windows.h>

namespace frambolist::win {

// All or nothing: a registration that fails part-way leaves the registry as
// it found it.
bool RegisterAddins(HMODULE library);
// Removes exactly the keys that registration writes; a key that holds
// anything else (a subkey someone added) is left in place.
bool UnregisterAddins();

}  // namespace frambolist::win
