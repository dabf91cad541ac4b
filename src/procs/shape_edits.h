#pragma once
// The module's routines that write to the host. Each reaches the host by
// member name only, so one routine serves PowerPoint, Excel and Word.

#include <optional>

#include "host/dispatch.h"
#include "platform/platform.h"

namespace frambolist::procs {

// The shapes that an edit of `selection` reaches. In PowerPoint and Word
// (`child_ranges`), a shape selected inside a group leaves the whole group
// in ShapeRange and the shape itself in ChildShapeRange. A failure comes
// back as the result, without an exception.
host::Outcome<host::Value> SelectedRange(const host::Dispatch& selection, bool child_ranges);

// Resizes the selection of `App`'s active window (SelectedRange) and sets its
// shapes' LockAspectRatio to `Lock`. A length left out (nullopt) is not written: with
// the lock on the host derives it; with the lock off each shape keeps its own.
// The size editing gives exactly one; where both are given, the width is
// written first.
//
// When the shape range fails with 4198 (Word's selection of in-line pictures
// only), the first in-line picture is sized instead, the add-in working out
// the derived dimension since pictures never rescale themselves; a failure
// there, or a derived length that is not finite, is thrown to the caller. Any
// other failure shows the host's description in a message box and returns.
void ApplySize(const host::Dispatch& App, bool Lock, const std::optional<float>& NewHeight,
               const std::optional<float>& NewWidth, platform::OkMessageBox& message_box,
               bool child_ranges);

// Rotates the selection of `App`'s active window (SelectedRange) to `angle`
// degrees. Every failure is swallowed.
void ApplyRotation(const host::Dispatch& App, const float& angle, bool child_ranges);

// Switches a control's caption between "Lock Aspect" and "Unlock Aspect"
// (anything but "Lock Aspect", exactly, becomes "Lock Aspect"). A failure
// ends it silently.
void ToggleAspectLock(const host::Dispatch& Ctrl);

}  // namespace frambolist::procs
