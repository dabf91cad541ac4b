// The units dialog and the About box, driven through the toolbar buttons as
// a user would.

#include <gtest/gtest.h>

#include "forms/instances.h"
#include "hostprog/testing/run_script.h"

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

TEST(Dialogs, OneInstanceOfEachLivesForTheProcessAndIsNeverDestroyedByTheAddin) {
  auto run = RunScript(
      "start powerpoint\nclick ButSettings\nclick OKButton\nclick ButAbout\nkey a\nquit\n");
  FrmOptions* options = &frmOptions();
  EXPECT_TRUE(options->loaded());  // hidden, not unloaded
  EXPECT_FALSE(frmSplash().loaded());
  EXPECT_EQ(&frmOptions(), options);
}

TEST(Dialogs, DesignsHoldTheirTwipsAndTabOrder) {
  const FormDesign options = OptionsDesign();
  EXPECT_EQ(options.client_width, 3360);
  EXPECT_EQ(options.client_height, 2505);
  const char* captions[] = {"Pixels", "Inches", "Millimeter", "Centimeters", "Meters"};
  for (int i = 0; i < 5; ++i) {
    const ControlDesign* o = nullptr;
    for (const auto& c : options.controls) {
      if (c.name == "Option1" && c.index == i) o = &c;
    }
    ASSERT_TRUE(o);
    EXPECT_EQ(o->caption, captions[i]);
    EXPECT_EQ(o->rect.top, 360 + 360 * i);
    EXPECT_EQ(o->tab_order, 3 + i);
    EXPECT_EQ(o->container, "Frame1");
  }
  const FormDesign splash = SplashDesign();
  EXPECT_TRUE(splash.key_preview);
  EXPECT_EQ(splash.caption, "");
  for (const auto& c : splash.controls) {
    if (c.name == "imgLogo") {
      EXPECT_EQ(c.rect.width, 109 * 15);
    } else if (c.name == "Label1") {
      EXPECT_EQ(c.font->weight, 700);
    } else if (c.name == "Label2") {
      EXPECT_EQ(*c.fore_color, 0xFF0000u);
    }
  }
}

}  // namespace
}  // namespace frambolist::forms
