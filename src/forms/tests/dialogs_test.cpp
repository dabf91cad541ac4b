// The units dialog and the About box, driven through the toolbar buttons as
// a user would.

#include <gtest/gtest.h>

#include <functional>

#include "forms/instances.h"
#include "hostprog/testing/quiet_platform.h"
#include "hostprog/testing/run_script.h"
#include "hostprog/testing/script_cases.h"
#include "procs/units.h"

namespace frambolist::forms {
namespace {

using hostprog::testing::RunScript;

using Case = hostprog::testing::ScriptCase;

class DialogRows : public ::testing::TestWithParam<Case> {};
TEST_P(DialogRows, PrintExactlyWhatTheUserMustSee) {
  auto run = RunScript(GetParam().script);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, GetParam().expected);
}
// The table is data beside this file.
INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogRows,
    ::testing::ValuesIn(hostprog::testing::ReadScriptCases(FRAMBOLIST_SOURCE_DIR
                                                           "/src/forms/tests/dialogs.cases")),
    [](const auto& row) { return hostprog::testing::TestNameOf(row.param.name); });

TEST(Dialogs, AConnectionSetsTheUnitBackToInchAndLeavesTheDialogAlone) {
  auto run = RunScript(
      R"~(start word
click ButSettings
click Option1(3)
click OKButton
connect
print CurrentUnit
)~");
  EXPECT_EQ(run.out, R"~(show frmOptions
hide frmOptions
CurrentUnit = "Inch"
)~");
  EXPECT_TRUE(frmOptions().loaded());
  EXPECT_TRUE(frmOptions().OptionValue("Option1", 3));
  EXPECT_EQ(frmOptions().SavedUnit(), procs::Unit::Inch);
}

// Click comes only when an option becomes selected: after a Cancel the
// still-selected option does not apply its unit again. An index outside the
// five options changes nothing, and a control the design lacks reads as
// neither selected nor captioned.
TEST(Dialogs, OnlyANewlySelectedOptionChangesTheUnit) {
  auto run = RunScript(
      R"~(start word
click ButSettings
click Option1(3)
click CancelButton
click ButSettings
click Option1(3)
print CurrentUnit
click OKButton
)~");
  EXPECT_EQ(run.out,
            R"~(show frmOptions
hide frmOptions
show frmOptions
CurrentUnit = "Inch"
hide frmOptions
)~");
  for (int index : {-1, 5, 1000}) frmOptions().Option1_Click(index);
  EXPECT_EQ(procs::CurrentUnit, procs::Unit::Inch);
  for (const Form* form : std::initializer_list<const Form*>{&frmOptions(), &frmSplash()}) {
    EXPECT_FALSE(form->OptionValue("Option1", 5));
    EXPECT_EQ(form->Caption("Option1", 9), "");
  }
}

// A toolkit that runs `inside` as the user's actions while the form is up,
// and notes whether the form still counts as shown (what a real toolkit's
// modal loop watches) afterwards.
struct ScriptedToolkit final : platform::DialogToolkit {
  void ShowModal(Form& form) override {
    ++showings;
    if (inside) inside(form);
    shown_after_actions = form.visible();
  }
  std::function<void(Form&)> inside;
  int showings = 0;
  bool shown_after_actions = true;
};

TEST(Dialogs, ClosingEndsTheShowingAndOnlyALoadedFormTakesClicks) {
  hostprog::testing::StartAsAFreshProcess();
  hostprog::testing::QuietPlatform quiet;
  ScriptedToolkit toolkit;
  platform::Platform platform{quiet, quiet, toolkit, quiet};
  FrmOptions form;

  // The close command unloads: the loop must see the form gone at once.
  toolkit.inside = [](Form& f) {
    f.UserClick("NoSuchControl");
    f.UserClick("Option1", 4);
    f.UserCloseCommand();
  };
  form.ShowModal(platform);
  EXPECT_FALSE(toolkit.shown_after_actions);
  EXPECT_EQ(procs::CurrentUnit, procs::Unit::m);
  EXPECT_FALSE(form.loaded());

  // Clicks reach an unloaded form only through a stale window: ignored.
  form.UserClick("Option1", 2);
  EXPECT_EQ(procs::CurrentUnit, procs::Unit::m);

  // A toolkit that returns without the form hidden (its window destroyed
  // under it) leaves the form not shown, so the next click shows it again.
  toolkit.inside = nullptr;
  form.ShowModal(platform);
  EXPECT_FALSE(form.visible());
  form.ShowModal(platform);
  EXPECT_EQ(toolkit.showings, 3);

  // A button of its own, clicked as the toolkit reports it (no index): OK
  // hides and keeps the form loaded.
  toolkit.inside = [](Form& f) { f.UserClick("OKButton"); };
  form.ShowModal(platform);
  EXPECT_FALSE(toolkit.shown_after_actions);
  EXPECT_TRUE(form.loaded());
}

// At each showing the focus starts on the first control in tab order that
// takes it: a frame or a label with a lower tab order, or a control with
// none, is passed over.
TEST(Dialogs, TheFocusStartsOnTheFirstButtonInTabOrder) {
  hostprog::testing::StartAsAFreshProcess();
  hostprog::testing::QuietPlatform quiet;
  ScriptedToolkit toolkit;
  platform::Platform platform{quiet, quiet, toolkit, quiet};
  std::string focused;
  toolkit.inside = [&](Form& f) {
    focused = f.Focus() ? f.Focus()->DisplayName() : "none";
    f.UserCloseCommand();
  };
  FrmOptions options;
  options.ShowModal(platform);
  EXPECT_EQ(focused, "OKButton");
  FrmSplash splash;
  splash.ShowModal(platform);
  EXPECT_EQ(focused, "Command1");
}

TEST(Dialogs, EachLivesOnHiddenOrUnloadedAfterTheHostQuits) {
  auto run = RunScript(
      R"~(start powerpoint
click ButSettings
click OKButton
click ButAbout
key a
quit
)~");
  EXPECT_TRUE(frmOptions().loaded());  // hidden, not unloaded
  EXPECT_FALSE(frmOptions().visible());
  EXPECT_FALSE(frmSplash().loaded());
}

// A control of a design as one line: kind, tab order, container, and font
// and colour where it sets them. Captions, positions and sizes are checked
// where the user sees them, in the real windows (examples/dialog-layout).
std::string Describe(const ControlDesign& c) {
  static const char* const kKinds[] = {"button", "frame", "option", "label", "image"};
  std::string line = c.DisplayName() + " " + kKinds[static_cast<int>(c.kind)] + " tab " +
                     std::to_string(c.tab_order) + " in " +
                     (c.container.empty() ? "form" : c.container);
  if (c.font) {
    line += " font " + c.font->name + " " + std::to_string(c.font->points) + " weight " +
            std::to_string(c.font->weight);
  }
  if (c.fore_color) line += " colour " + std::to_string(*c.fore_color);
  if (c.value) line += " selected";
  return line;
}

std::vector<std::string> DescribeAll(const FormDesign& design) {
  std::vector<std::string> lines;
  for (const ControlDesign& c : design.controls) lines.push_back(Describe(c));
  return lines;
}

// The designs written out as the dialogs must look; only the About box's
// title label sets a font, and only the web address a colour (pure blue,
// 0x00BBGGRR). A tab order of -1 is a control that takes no focus.
TEST(Dialogs, DesignsAreAsTheUserMustSeeThem) {
  // The Windows dialogs place each control inside the control it names.
  for (const FormDesign& design : {OptionsDesign(), SplashDesign()}) {
    const Form form(design);
    for (const ControlDesign& c : design.controls) {
      if (c.container.empty()) continue;
      EXPECT_NE(form.FindControl(c.container), nullptr) << c.name;
    }
  }
  const FormDesign options = OptionsDesign();
  EXPECT_EQ(options.name, "frmOptions");
  EXPECT_EQ(options.caption, "Settings");
  EXPECT_EQ(options.client_width, 3360);
  EXPECT_EQ(options.client_height, 2505);
  EXPECT_EQ(options.border, BorderStyle::FixedToolWindow);
  EXPECT_FALSE(options.key_preview);
  EXPECT_EQ(DescribeAll(options), (std::vector<std::string>{
                                      "OKButton button tab 0 in form",
                                      "CancelButton button tab 1 in form",
                                      "Frame1 frame tab 2 in form",
                                      "Option1(0) option tab 3 in Frame1",
                                      "Option1(1) option tab 4 in Frame1 selected",
                                      "Option1(2) option tab 5 in Frame1",
                                      "Option1(3) option tab 6 in Frame1",
                                      "Option1(4) option tab 7 in Frame1",
                                  }));

  const FormDesign splash = SplashDesign();
  EXPECT_EQ(splash.name, "frmSplash");
  EXPECT_EQ(splash.caption, "");
  EXPECT_EQ(splash.client_width, 2880);
  EXPECT_EQ(splash.client_height, 2970);
  EXPECT_EQ(splash.border, BorderStyle::FixedDialog);
  EXPECT_TRUE(splash.key_preview);
  EXPECT_EQ(DescribeAll(splash),
            (std::vector<std::string>{
                "Frame1 frame tab 0 in form",
                "imgLogo image tab -1 in Frame1",
                "Label1 label tab 1 in Frame1 font MS Sans Serif 18 weight 700",
                "Label2 label tab 2 in form colour 16711680",
                "Command1 button tab 3 in form",
            }));
}

}  // namespace
}  // namespace frambolist::forms
