// The units dialog and the About box, driven through the toolbar buttons as
// a user would.

#include <gtest/gtest.h>

#include <functional>

#include "forms/instances.h"
#include "hostprog/testing/quiet_platform.h"
#include "hostprog/testing/run_script.h"
#include "procs/units.h"

namespace frambolist::forms {
namespace {

using hostprog::testing::RunScript;

using Case = hostprog::testing::ScriptCase;

const Case kCases[] = {
    {"first use: Inches selected; Millimeter then OK",
     "start powerpoint\nclick ButSettings\nprint Option1(1).Value\nclick Option1(2)\nprint "
     "CurrentUnit\n"
     "click OKButton\nprint LblHeight.Caption\nprint LblWidth.Caption\nprint CurrentUnit\n",
     "show frmOptions\nOption1(1).Value = true\nCurrentUnit = \"mm\"\nhide frmOptions\n"
     "LblHeight.Caption = \"Height (mm)\"\nLblWidth.Caption = \"Width (mm)\"\nCurrentUnit = "
     "\"mm\"\n"},
    {"Cancel restores the unit saved at load, and the dialog keeps its selection",
     "start word\nclick ButSettings\nclick Option1(2)\nclick OKButton\nclick ButSettings\n"
     "print Option1(2).Value\nclick Option1(3)\nclick CancelButton\nprint CurrentUnit\nprint "
     "LblWidth.Caption\n"
     "click ButSettings\nprint Option1(3).Value\nprint Option1(2).Value\nclick OKButton\n",
     "show frmOptions\nhide frmOptions\nshow frmOptions\nOption1(2).Value = true\nhide frmOptions\n"
     "CurrentUnit = \"Inch\"\nLblWidth.Caption = \"Width (Inch)\"\nshow "
     "frmOptions\nOption1(3).Value = true\n"
     "Option1(2).Value = false\nhide frmOptions\n"},
    {"closing by the window's command keeps the unit; the next showing starts from the design",
     "start excel\nclick ButSettings\nclick Option1(4)\nclose\nprint CurrentUnit\nprint "
     "LblHeight.Caption\n"
     "click ButSettings\nprint Option1(1).Value\nprint Option1(4).Value\nclick CancelButton\nprint "
     "CurrentUnit\n",
     "show frmOptions\nunload frmOptions\nCurrentUnit = \"m\"\nLblHeight.Caption = \"Height (m)\"\n"
     "show frmOptions\nOption1(1).Value = true\nOption1(4).Value = false\nhide "
     "frmOptions\nCurrentUnit = \"m\"\n"},
    {"OK without a click rewrites both captions; the rotation box and caption never change",
     "start powerpoint\nfail Caption 5\nclick ButSettings\nclick OKButton\nprint "
     "LblHeight.Caption\n"
     "click ButSettings\nclick Option1(0)\nkey Enter\nkey Esc\nclick OKButton\nprint "
     "LblHeight.Caption\n"
     "print LblRotate.Caption\nprint TxRotate.Text\n",
     "show frmOptions\nhide frmOptions\nerror: 5 Automation error\nLblHeight.Caption = \"Height "
     "(Inch)\"\n"
     "show frmOptions\nhide frmOptions\nLblHeight.Caption = \"Height (Px)\"\nLblRotate.Caption = "
     "\"Rotate\"\n"
     "TxRotate.Text = \"0\"\n"},
    {"About: any key closes it",
     "start powerpoint\nclick ButAbout\nkey x\nclick ButAbout\nkey Space\nclick ButAbout\nkey "
     "Esc\n",
     "show frmSplash\nunload frmSplash\nshow frmSplash\nunload frmSplash\nshow frmSplash\nunload "
     "frmSplash\n"},
    {"About: the logo and the title do nothing; the link opens the page every time and stays; the "
     "frame closes",
     "start excel\nclick ButAbout\nclick imgLogo\nclick Label1\nclick Label2\nclick Label2\nprint "
     "Label2.Caption\n"
     "click Frame1\nclick ButAbout\nclick Command1\n",
     "show frmSplash\nopen https://frambolist.example.org/\nopen https://frambolist.example.org/\n"
     "Label2.Caption = \"frambolist.example.org\"\nunload frmSplash\nshow frmSplash\nunload "
     "frmSplash\n"},
};

class DialogRows : public ::testing::TestWithParam<Case> {};
TEST_P(DialogRows, PrintExactlyWhatTheUserMustSee) {
  auto run = RunScript(GetParam().script);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Dialogs, DialogRows, ::testing::ValuesIn(kCases), [](const auto& row) {
  return hostprog::testing::TestNameOf(row.param.name);
});

TEST(Dialogs, AConnectionSetsTheUnitBackToInchAndLeavesTheDialogAlone) {
  auto run = RunScript(
      "start word\nclick ButSettings\nclick Option1(3)\nclick OKButton\nconnect\nprint "
      "CurrentUnit\n");
  EXPECT_EQ(run.out, "show frmOptions\nhide frmOptions\nCurrentUnit = \"Inch\"\n");
  EXPECT_TRUE(frmOptions().loaded());
  EXPECT_TRUE(frmOptions().OptionValue("Option1", 3));
  EXPECT_EQ(frmOptions().SavedUnit(), "Inch");
}

// Click comes only when an option becomes selected: after a Cancel the
// still-selected option does not apply its unit again. An index outside the
// five options changes nothing, and a control the design lacks reads as
// neither selected nor captioned.
TEST(Dialogs, OnlyANewlySelectedOptionChangesTheUnit) {
  auto run = RunScript(
      "start word\nclick ButSettings\nclick Option1(3)\nclick CancelButton\n"
      "click ButSettings\nclick Option1(3)\nprint CurrentUnit\nclick OKButton\n");
  EXPECT_EQ(run.out,
            "show frmOptions\nhide frmOptions\nshow frmOptions\nCurrentUnit = \"Inch\"\n"
            "hide frmOptions\n");
  for (int index : {-1, 5, 1000}) frmOptions().Option1_Click(index);
  EXPECT_EQ(procs::CurrentUnit, "Inch");
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
  EXPECT_EQ(procs::CurrentUnit, "m");
  EXPECT_FALSE(form.loaded());

  // Clicks reach an unloaded form only through a stale window: ignored.
  form.UserClick("Option1", 2);
  EXPECT_EQ(procs::CurrentUnit, "m");

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

TEST(Dialogs, EachLivesOnHiddenOrUnloadedAfterTheHostQuits) {
  auto run = RunScript(
      "start powerpoint\nclick ButSettings\nclick OKButton\nclick ButAbout\nkey a\nquit\n");
  EXPECT_TRUE(frmOptions().loaded());  // hidden, not unloaded
  EXPECT_FALSE(frmOptions().visible());
  EXPECT_FALSE(frmSplash().loaded());
}

// A control of a design as one line: kind, caption, position and size in
// twips, tab order, container, and font and colour where it sets them.
std::string Describe(const ControlDesign& c) {
  static const char* const kKinds[] = {"button", "frame", "option", "label", "image"};
  const Twips& r = c.rect;
  std::string line = c.DisplayName() + " " + kKinds[static_cast<int>(c.kind)] + " \"" + c.caption +
                     "\" at " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                     std::to_string(r.width) + "x" + std::to_string(r.height) + " tab " +
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
  const FormDesign options = OptionsDesign();
  EXPECT_EQ(options.name, "frmOptions");
  EXPECT_EQ(options.caption, "Settings");
  EXPECT_EQ(options.client_width, 3360);
  EXPECT_EQ(options.client_height, 2505);
  EXPECT_EQ(options.border, BorderStyle::FixedToolWindow);
  EXPECT_FALSE(options.key_preview);
  EXPECT_EQ(DescribeAll(options),
            (std::vector<std::string>{
                "OKButton button \"OK\" at 2040,120 1215x375 tab 0 in form",
                "CancelButton button \"Cancel\" at 2040,600 1215x375 tab 1 in form",
                "Frame1 frame \"Units\" at 120,120 1815x2295 tab 2 in form",
                "Option1(0) option \"Pixels\" at 135,360 1335x375 tab 3 in Frame1",
                "Option1(1) option \"Inches\" at 135,720 1335x375 tab 4 in Frame1 selected",
                "Option1(2) option \"Millimeter\" at 135,1080 1335x375 tab 5 in Frame1",
                "Option1(3) option \"Centimeters\" at 135,1440 1335x375 tab 6 in Frame1",
                "Option1(4) option \"Meters\" at 135,1800 1335x375 tab 7 in Frame1",
            }));

  const FormDesign splash = SplashDesign();
  EXPECT_EQ(splash.name, "frmSplash");
  EXPECT_EQ(splash.caption, "");
  EXPECT_EQ(splash.client_width, 2880);
  EXPECT_EQ(splash.client_height, 2970);
  EXPECT_EQ(splash.border, BorderStyle::FixedDialog);
  EXPECT_TRUE(splash.key_preview);
  const std::string web = FRAMBOLIST_WEB_HOST;
  EXPECT_EQ(
      DescribeAll(splash),
      (std::vector<std::string>{
          "Frame1 frame \"\" at 240,120 2490x2475 tab 0 in form",
          "imgLogo image \"\" at 480,240 1635x1785 tab -1 in Frame1",
          "Label1 label \"Frambolist\" at 120,1920 2250x435 tab 1 in Frame1 font MS Sans Serif "
          "18 weight 700",
          "Label2 label \"" + web + "\" at 600,2640 1695x255 tab 2 in form colour 16711680",
          "Command1 button \"X\" at 2640,0 255x255 tab 3 in form",
      }));
}

}  // namespace
}  // namespace frambolist::forms
