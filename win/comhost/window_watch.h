#pragma once
// What the add-in puts on screen, seen from the host program: a hook on the
// host's thread notices message boxes and the add-in's form windows as they
// appear, and a hidden window of ours, reached from inside the add-in's modal
// loops, answers them: a message box is printed and closed with OK; a form
// is driven by the script's next lines until it is hidden or destroyed.

#include <windows.h>

#include <vector>

#include "hostprog/session.h"

namespace frambolist::win {

class WindowWatch {
 public:
  explicit WindowWatch(hostprog::Session& session);
  ~WindowWatch();
  WindowWatch(const WindowWatch&) = delete;
  WindowWatch& operator=(const WindowWatch&) = delete;

  // The host's application window. Every message box and dialog of the
  // add-in must be owned by it and keep it disabled while it is up, and it
  // must be enabled again once they are gone; what breaks this is reported
  // on standard error and counted.
  void WatchHostWindow(HWND host) { host_window_ = host; }
  int modal_faults() const { return modal_faults_; }
  // Checks that no modal window of the add-in has left the host disabled
  // (or, while a dialog of the add-in is still up under the one that went,
  // enabled: the host stays disabled until the last one closes).
  void CheckHostEnabled(const char* when);

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK DriverProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  void CheckModal(HWND shown, const char* what);
  void NextDialogLine(WPARAM dialog);

  hostprog::Session& session_;
  HWND host_window_ = nullptr;
  std::vector<HWND> owners_to_enable_;  // owners of modal windows, checked after
  // The add-in's dialogs on screen, one over another by a macro's click.
  std::vector<std::unique_ptr<hostprog::ShownDialog>> dialogs_;
  int modal_faults_ = 0;
  HHOOK hook_ = nullptr;
  HWND driver_ = nullptr;
};

}  // namespace frambolist::win
