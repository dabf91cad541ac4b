#pragma once
// The platform as the add-in meets it inside Office: the real message box,
// the user's regional settings, the Win32 dialogs and the shell.

#include "platform/platform.h"

namespace frambolist::win {

// One for the library, created on first use.
platform::Platform& AddinPlatform();

// Whether no window of the add-in is left, after destroying those kept for
// later (see Win32Dialogs::ReleaseWindowsForUnload).
bool ReleaseWindowsForUnload();

}  // namespace frambolist::win
