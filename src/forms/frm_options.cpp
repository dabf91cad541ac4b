#include "forms/frm_options.h"

#include "procs/units.h"

namespace frambolist::forms {

FormDesign OptionsDesign() {
  FormDesign d{"frmOptions", "Settings", 3360, 2505, BorderStyle::FixedToolWindow, false, {}};
  d.controls.push_back({.name = "OKButton",
                        .kind = ControlKind::CommandButton,
                        .caption = "OK",
                        .rect = {2040, 120, 1215, 375},
                        .tab_order = 0});
  d.controls.push_back({.name = "CancelButton",
                        .kind = ControlKind::CommandButton,
                        .caption = "Cancel",
                        .rect = {2040, 600, 1215, 375},
                        .tab_order = 1});
  d.controls.push_back({.name = "Frame1",
                        .kind = ControlKind::Frame,
                        .caption = "Units",
                        .rect = {120, 120, 1815, 2295},
                        .tab_order = 2});
  const char* captions[] = {"Pixels", "Inches", "Millimeter", "Centimeters", "Meters"};
  for (int i = 0; i < 5; ++i) {
    d.controls.push_back({.name = "Option1",
                          .index = i,
                          .kind = ControlKind::OptionButton,
                          .caption = captions[i],
                          .rect = {135, 360 + 360 * i, 1335, 375},
                          .tab_order = 3 + i,
                          .container = "Frame1",
                          .value = i == 1});
  }
  return d;
}

FrmOptions::FrmOptions() : Form(OptionsDesign()) {}

// The option buttons are not set from CurrentUnit: they stand as designed.
void FrmOptions::Form_Load() { saved_unit_ = procs::CurrentUnit; }

void FrmOptions::Option1_Click(int Index) {
  // The buttons stand in the units' order.
  if (Index >= 0 && Index <= static_cast<int>(procs::Unit::m))
    procs::CurrentUnit = static_cast<procs::Unit>(Index);
}

// Restores the unit but leaves the option buttons as the user left them.
void FrmOptions::CancelButton_Click() {
  procs::CurrentUnit = saved_unit_;
  Hide();
}

void FrmOptions::OnClick(std::string_view control, int index) {
  if (control == "Option1")
    Option1_Click(index);
  else if (control == "OKButton")
    OKButton_Click();
  else if (control == "CancelButton")
    CancelButton_Click();
}

}  // namespace frambolist::forms
