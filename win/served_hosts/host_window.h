#pragma once
// A top-level window standing for a simulated host's main window: the owner
// of the add-in's modal windows. While the host starts it is shown but not
// active (the user may be in another application), under a splash screen;
// afterwards it is active, as Office's is when the user works with the
// toolbar.

#include <windows.h>

#include <string_view>

namespace frambolist::win {

class HostWindow {
 public:
  // "Microsoft HOST (simulated)", shown inactive under a splash screen.
  explicit HostWindow(std::string_view host);
  // Start-up is over: the splash screen goes and the window is made active.
  void FinishStartup();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
  HWND splash_ = nullptr;
};

}  // namespace frambolist::win
