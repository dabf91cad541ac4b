#pragma once
// What the core needs from the platform besides the hosts' object models: a
// message box, the user's number format, the dialog toolkit and the shell.
// The Windows binding implements these with Win32; the host program with
// scripted stand-ins that print what a user would see.

#include <string_view>

#include "platform/number_format.h"

namespace frambolist::forms {
class Form;
}

namespace frambolist::platform {

// The add-in's default message-box title, used wherever no title is given.
inline constexpr std::string_view kMessageBoxTitle = "Kworrendival";

class OkMessageBox {
 public:
  // Shows `text` with one OK button and returns when the user dismisses it.
  virtual void Show(std::string_view text) = 0;

 protected:
  ~OkMessageBox() = default;
};

class UserLocale {
 public:
  // Read at each use, so a change in the user's settings applies at once.
  virtual platform::NumberFormat NumberFormat() = 0;

 protected:
  ~UserLocale() = default;
};

class DialogToolkit {
 public:
  // Shows `form` modally, owned by the host's window (or by our dialog that
  // is up), and returns once the form is hidden or unloaded. The form's
  // events run inside this call.
  virtual void ShowModal(forms::Form& form) = 0;

 protected:
  ~DialogToolkit() = default;
};

class Shell {
 public:
  // Asks the shell to open a web page ("open" verb); the outcome is ignored.
  virtual void OpenPage(std::string_view address) = 0;

 protected:
  ~Shell() = default;
};

struct Platform {
  OkMessageBox& message_box;
  UserLocale& locale;
  DialogToolkit& dialogs;
  Shell& shell;
};

}  // namespace frambolist::platform
