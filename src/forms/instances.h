#pragma once
// The add-in's two dialogs: one instance of each for the whole library in a
// host process, shared by every connector, created on first use and never
// destroyed by the add-in.

#include "forms/frm_options.h"
#include "forms/frm_splash.h"

namespace frambolist::forms {

FrmOptions& frmOptions();
FrmSplash& frmSplash();
// For tests that need a process as it was before the first dialog.
void DiscardFormsForTesting();

}  // namespace frambolist::forms
