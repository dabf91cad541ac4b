// The Settings and About buttons open the add-in's two dialogs. Neither sets
// a trap: a host failure here goes back to the host as the click's failure.

#include "connectors/connector.h"
#include "forms/instances.h"
#include "procs/units.h"

namespace frambolist::connectors {

using host::Value;

// The captions are rewritten however the dialog was left (OK, Cancel or the
// window's close command); the boxes keep their numbers until the next
// selection event.
void Connector::ButSettings_Click(const Value& /*Ctrl*/, Value& /*CancelDefault*/) {
  forms::frmOptions().ShowModal(platform_);
  ThrowIfAbandonedDuringModal();
  const std::string unit(procs::NameOf(procs::CurrentUnit));
  LblHeight->Put("Caption", Value("Height (" + unit + ")"));
  LblWidth->Put("Caption", Value("Width (" + unit + ")"));
}

void Connector::ButAbout_Click(const Value& /*Ctrl*/, Value& /*CancelDefault*/) {
  forms::frmSplash().ShowModal(platform_);
}

}  // namespace frambolist::connectors
