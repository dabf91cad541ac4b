// The aspect button holds the lock state in its icon: 2308 on, 2309 off.

#include "connectors/connector.h"
#include "connectors/throwing_conversions.h"
#include "connectors/toolbar_layout.h"
#include "procs/shape_edits.h"

namespace frambolist::connectors {

// No trap: a failing FaceId goes back to the host as the click's failure.
// The caption is switched on the clicked control, the icon on our own field.
void Connector::ButAspect_Click(const host::Value& Ctrl, host::Value& /*CancelDefault*/) {
  procs::ToggleAspectLock(host::Dispatch::FromValue(Ctrl));
  const bool on = LongOf(ButAspect->Get("FaceId")) == kFaceIdLockOn;
  ButAspect->Put("FaceId", host::Value(on ? kFaceIdLockOff : kFaceIdLockOn));
}

}  // namespace frambolist::connectors
