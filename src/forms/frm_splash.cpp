#include "forms/frm_splash.h"

#include "forms/product.h"

namespace frambolist::forms {

FormDesign SplashDesign() {
  FormDesign d{"frmSplash", "", 2880, 2970, BorderStyle::FixedDialog, true, {}};
  d.controls.push_back({.name = "Frame1",
                        .kind = ControlKind::Frame,
                        .caption = "",
                        .rect = {240, 120, 2490, 2475},
                        .tab_order = 0});
  // The logo's own size at 15 twips per pixel: 109 x 119 pixels.
  d.controls.push_back({.name = "imgLogo",
                        .kind = ControlKind::Image,
                        .rect = {480, 240, 1635, 1785},
                        .container = "Frame1"});
  d.controls.push_back({.name = "Label1",
                        .kind = ControlKind::Label,
                        .caption = "Frambolist",
                        .rect = {120, 1920, 2250, 435},
                        .tab_order = 1,
                        .container = "Frame1",
                        .font = FontDesign{"MS Sans Serif", 18, 700}});
  d.controls.push_back({.name = "Label2",
                        .kind = ControlKind::Label,
                        .caption = std::string(kWebHost),
                        .rect = {600, 2640, 1695, 255},
                        .tab_order = 2,
                        .fore_color = 0xFF0000u});
  d.controls.push_back({.name = "Command1",
                        .kind = ControlKind::CommandButton,
                        .caption = "X",
                        .rect = {2640, 0, 255, 255},
                        .tab_order = 3});
  return d;
}

FrmSplash::FrmSplash() : Form(SplashDesign()) {}

// The shell's answer is ignored and the box stays open.
void FrmSplash::Label2_Click() { platform().shell.OpenPage(WebPageAddress()); }

// The logo and the title have no click behaviour.
void FrmSplash::OnClick(std::string_view control, int /*index*/) {
  if (control == "Command1")
    Command1_Click();
  else if (control == "Frame1")
    Frame1_Click();
  else if (control == "Label2")
    Label2_Click();
}

}  // namespace frambolist::forms
