#pragma once
// The units dialog: five option buttons choose CurrentUnit at once; OK keeps
// the choice, Cancel restores the unit saved when the dialog was loaded.

#include "forms/form.h"
#include "procs/units.h"

namespace frambolist::forms {

class FrmOptions final : public Form {
 public:
  FrmOptions();

  // The unit taken when the dialog was loaded; Cancel restores it.
  procs::Unit SavedUnit() const { return saved_unit_; }

  void Option1_Click(int Index);
  void OKButton_Click() { Hide(); }
  void CancelButton_Click();

 private:
  void Form_Load() override;
  void OnClick(std::string_view control, int index) override;

  procs::Unit saved_unit_ = procs::Unit::Inch;
};

FormDesign OptionsDesign();

}  // namespace frambolist::forms
