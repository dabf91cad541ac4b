#include "addin/win_platform.h"

#include <windows.h>
#include <shellapi.h>

#include "addin/module.h"
#include "com/strings.h"
#include "ui/modal_owner.h"
#include "ui/win32_dialogs.h"

namespace frambolist::win {

namespace {

// Owned by our dialog while one is up (a connection can raise a box under
// it), else by the host's window; the owner is disabled and enabled again by
// the box itself, the thread's other windows here.
class WinMessageBox final : public platform::OkMessageBox {
 public:
  explicit WinMessageBox(const Win32Dialogs& dialogs) : dialogs_(dialogs) {}
  void Show(std::string_view text) override {
    HWND owner = dialogs_.CurrentWindow();
    if (!owner || !IsWindowVisible(owner)) owner = ModalOwner();
    ThreadWindowsDisabled others(owner);
    MessageBoxW(owner, Widen(text).c_str(), Widen(platform::kMessageBoxTitle).c_str(),
                MB_OK | MB_TASKMODAL);
  }

 private:
  const Win32Dialogs& dialogs_;
};

class WinLocale final : public platform::UserLocale {
 public:
  platform::NumberFormat NumberFormat() override {
    platform::NumberFormat format;
    if (auto decimal = Read(LOCALE_SDECIMAL); !decimal.empty()) format.decimal = decimal;
    format.group = Read(LOCALE_STHOUSAND);  // may be empty: then no grouping is read
    return format;
  }

 private:
  static std::string Read(LCTYPE what) {
    wchar_t buffer[16] = {};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, buffer, 16);
    return n > 1 ? Narrow(buffer, static_cast<size_t>(n - 1)) : std::string();
  }
};

class WinShell final : public platform::Shell {
 public:
  explicit WinShell(Win32Dialogs& dialogs) : dialogs_(dialogs) {}
  // ANSI, with the shown form as parent; the result is ignored.
  void OpenPage(std::string_view address) override {
    const std::string file(address);
    ShellExecuteA(dialogs_.CurrentWindow(), "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

 private:
  Win32Dialogs& dialogs_;
};

struct AddinServices {
  Win32Dialogs dialogs{ThisModule()};
  WinMessageBox message_box{dialogs};
  WinLocale locale;
  WinShell shell{dialogs};
  platform::Platform platform{message_box, locale, dialogs, shell};
};

AddinServices& Services() {
  static AddinServices services;
  return services;
}

}  // namespace

platform::Platform& AddinPlatform() { return Services().platform; }

bool ReleaseWindowsForUnload() { return Services().dialogs.ReleaseWindowsForUnload(); }

}  // namespace frambolist::win
