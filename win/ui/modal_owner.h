#pragma once
// How the add-in's modal windows (message boxes and dialogs) sit over the
// host: owned by the host's active top-level window on the calling thread,
// with every other top-level window of the thread disabled for the modal
// loop. Without that, the user could close the document, quit the host or
// switch the add-in off while our window is up, and the handler would go on
// with freed objects when it returns.

#include <windows.h>

#include <vector>

namespace frambolist::win {

// The host's top-level window that is active on this thread, else the host's
// main window: the thread's first visible, enabled, unowned top-level window
// that is no tool window; null when there is none.
HWND ModalOwner();

// Centres `window` on the work area of the monitor that shows `owner` (the
// primary monitor without an owner).
void CentreOnOwnerMonitor(HWND window, HWND owner);

// Disables the thread's visible, enabled top-level windows, but for `keep_enabled`,
// and enables them again in EnableAgain (at the latest on destruction). A
// modal window enables them before it hides, so that Windows gives the
// activation back to the host rather than to another application.
class ThreadWindowsDisabled {
 public:
  explicit ThreadWindowsDisabled(HWND keep_enabled = nullptr);
  ~ThreadWindowsDisabled() { EnableAgain(); }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

  void EnableAgain();

 private:
  std::vector<HWND> disabled_;
};

}  // namespace frambolist::win
