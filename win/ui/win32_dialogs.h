#pragma once
// The dialog toolkit inside Office: each form becomes a real window built
// from its twips design at the system DPI, shown modally over the host's
// window (owned by it, the thread's other windows disabled until it hides),
// centred on the host's monitor and kept out of the taskbar. Hiding a form
// hides its window (a hidden units dialog keeps its selection); unloading
// destroys it, and the next showing builds it again from the design.

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace frambolist::forms {
class Form;
}

namespace frambolist::win {

class FormWindow;

// Resources the toolkit reads from the library.
inline constexpr int kIconResource = 1;
inline constexpr int kLogoResource = 101;  // RCDATA: the logo, a GIF89a
// A control's window id: its position in the form's design, from 100.
inline constexpr int kFirstControlId = 100;
// The window class of a form: this prefix and the form's name.
inline constexpr wchar_t kFormClassPrefix[] = L"Frambolist.";

class Win32Dialogs final : public platform::DialogToolkit {
 public:
  explicit Win32Dialogs(HINSTANCE instance);
  ~Win32Dialogs();

  void ShowModal(forms::Form& form) override;
  // The window of the form being shown, or null.
  HWND CurrentWindow() const { return current_; }
  // Before the library may be unloaded: destroys the windows kept for the
  // next showing (the forms keep their state; a later showing builds the
  // window again) and unregisters their classes, whose window procedure
  // lives in this library. False while a modal loop runs, or a window could
  // not be destroyed (another thread's call): then the library must stay.
  bool ReleaseWindowsForUnload();

 private:
  HINSTANCE instance_;
  std::map<forms::Form*, std::unique_ptr<FormWindow>> windows_;
  // Forms whose modal loop is running: a second showing must not touch them.
  std::vector<forms::Form*> in_loop_;
  HWND current_ = nullptr;
};

}  // namespace frambolist::win
