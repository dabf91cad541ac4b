#pragma once
// A platform that shows nothing: message boxes return at once, dialogs hide
// as soon as they are shown, the shell opens nothing. For tests and
// benchmarks that drive a connector directly, without the host program.

#include <string_view>

#include "forms/form.h"
#include "platform/platform.h"

namespace frambolist::hostprog::testing {

struct QuietPlatform final : platform::OkMessageBox,
                             platform::UserLocale,
                             platform::DialogToolkit,
                             platform::Shell {
  void Show(std::string_view) override { ++messages; }
  platform::NumberFormat NumberFormat() override { return {}; }
  void ShowModal(forms::Form& form) override { form.Hide(); }
  void OpenPage(std::string_view) override {}
  platform::Platform platform{*this, *this, *this, *this};
  int messages = 0;  // message boxes shown
};

}  // namespace frambolist::hostprog::testing
