#pragma once
// The About box: logo, name and web address. Its X, a click on the frame or
// any key closes (unloads) it; the address opens the product's page.

#include "forms/form.h"

namespace frambolist::forms {

class FrmSplash final : public Form {
 public:
  FrmSplash();

  void Command1_Click() { Unload(); }
  void Frame1_Click() { Unload(); }
  void Label2_Click();

 private:
  void Form_KeyPress(int /*KeyAscii*/) override { Unload(); }
  void OnClick(std::string_view control, int index) override;
};

FormDesign SplashDesign();

}  // namespace frambolist::forms
