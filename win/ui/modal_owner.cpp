#include "ui/modal_owner.h"

#include <functional>

#include "com/guard.h"

namespace frambolist::win {

namespace {

bool IsUsableTopLevel(HWND hwnd) {
  return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && GetAncestor(hwnd, GA_ROOT) == hwnd;
}

using WindowVisitor = std::function<void(HWND)>;

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM visitor) {
  return GuardedCallback(
      [&]() -> BOOL {
        (*reinterpret_cast<const WindowVisitor*>(visitor))(hwnd);
        return TRUE;
      },
      [] { return FALSE; });
}

void ForEachThreadWindow(const WindowVisitor& visit) {
  EnumThreadWindows(GetCurrentThreadId(), &VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

}  // namespace

HWND ModalOwner() {
  if (HWND active = GetActiveWindow()) {
    if (HWND root = GetAncestor(active, GA_ROOT); root && IsUsableTopLevel(root)) return root;
  }
  // No active window: the host is starting, or another application has the
  // foreground. The host's main window is the thread's first unowned window
  // that is not a tool window (a splash screen or a floating palette).
  HWND main = nullptr;
  ForEachThreadWindow([&](HWND hwnd) {
    if (!main && IsUsableTopLevel(hwnd) && !GetWindow(hwnd, GW_OWNER) &&
        !(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
      main = hwnd;
    }
  });
  return main;
}

void CentreOnOwnerMonitor(HWND window, HWND owner) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  HMONITOR on = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                      : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (on && GetMonitorInfoW(on, &monitor)) area = monitor.rcWork;
  RECT r;
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(window, HWND_TOP, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

ThreadWindowsDisabled::ThreadWindowsDisabled(HWND keep_enabled) {
  ForEachThreadWindow([&](HWND hwnd) {
    // Hidden windows (COM's, a hidden dialog's) take no input anyway.
    if (hwnd != keep_enabled && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
        GetAncestor(hwnd, GA_ROOT) == hwnd) {
      disabled_.push_back(hwnd);
    }
  });
  for (HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
}

void ThreadWindowsDisabled::EnableAgain() {
  for (HWND hwnd : disabled_) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
  disabled_.clear();
}

}  // namespace frambolist::win
