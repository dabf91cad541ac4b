#include "served_hosts/host_window.h"

#include <string>
#include <utility>

#include "com/strings.h"

namespace frambolist::win {

HostWindow::HostWindow(std::string_view host) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FrambolistSimulatedHost";
  RegisterClassW(&wc);  // once a process; later calls fail harmlessly
  const std::wstring title = L"Microsoft " + Widen(host) + L" (simulated)";
  hwnd_ = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                          nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  // The splash screen: a visible, enabled top-level window above the host's
  // own, which an add-in must not take for the host's window.
  splash_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP, 200,
                            200, 400, 200, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(splash_, SW_SHOWNOACTIVATE);
}

void HostWindow::FinishStartup() {
  if (splash_) DestroyWindow(std::exchange(splash_, nullptr));
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

HostWindow::~HostWindow() {
  if (splash_) DestroyWindow(splash_);
  if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace frambolist::win
