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
     "start powerpoint\nclick ButSettings\nprint Option1(1).Value\nclick Option1(2)\nprint CurrentUnit\n"
     "click OKButton\nprint LblHeight.Caption\nprint LblWidth.Caption\nprint CurrentUnit\n",
     "show frmOptions\nOption1(1).Value = true\nCurrentUnit = \"mm\"\nhide frmOptions\n"
     "LblHeight.Caption = \"Height (mm)\"\nLblWidth.Caption = \"Width (mm)\"\nCurrentUnit = \"mm\"\n"},
    {"Cancel restores the unit saved at load, and the dialog keeps its selection",
     "start word\nclick ButSettings\nclick Option1(2)\nclick OKButton\nclick ButSettings\n"
     "print Option1(2).Value\nclick Option1(3)\nclick CancelButton\nprint CurrentUnit\nprint LblWidth.Caption\n"
     "click ButSettings\nprint Option1(3).Value\nprint Option1(2).Value\nclick OKButton\n",
     "show frmOptions\nhide frmOptions\nshow frmOptions\nOption1(2).Value = true\nhide frmOptions\n"
     "CurrentUnit = \"Inch\"\nLblWidth.Caption = \"Width (Inch)\"\nshow frmOptions\nOption1(3).Value = true\n"
     "Option1(2).Value = false\nhide frmOptions\n"},
    {"closing by the window's command keeps the unit; the next showing starts from the design",
     "start excel\nclick ButSettings\nclick Option1(4)\nclose\nprint CurrentUnit\nprint LblHeight.Caption\n"
     "click ButSettings\nprint Option1(1).Value\nprint Option1(4).Value\nclick CancelButton\nprint CurrentUnit\n",
     "show frmOptions\nunload frmOptions\nCurrentUnit = \"m\"\nLblHeight.Caption = \"Height (m)\"\n"
     "show frmOptions\nOption1(1).Value = true\nOption1(4).Value = false\nhide frmOptions\nCurrentUnit = \"m\"\n"},
    {"OK without a click rewrites both captions; the rotation box and caption never change",
     "start powerpoint\nfail Caption 5\nclick ButSettings\nclick OKButton\nprint LblHeight.Caption\n"
     "click ButSettings\nclick Option1(0)\nkey Enter\nkey Esc\nclick OKButton\nprint LblHeight.Caption\n"
     "print LblRotate.Caption\nprint TxRotate.Text\n",
     "show frmOptions\nhide frmOptions\nerror: 5 Automation error\nLblHeight.Caption = \"Height (Inch)\"\n"
     "show frmOptions\nhide frmOptions\nLblHeight.Caption = \"Height (Px)\"\nLblRotate.Caption = \"Rotate\"\n"
     "TxRotate.Text = \"0\"\n"},
    {"About: any key closes it",
     "start powerpoint\nclick ButAbout\nkey x\nclick ButAbout\nkey Space\nclick ButAbout\nkey Esc\n",
     "show frmSplash\nunload frmSplash\nshow frmSplash\nunload frmSplash\nshow frmSplash\nunload frmSplash\n"},
    {"About: the logo and the title do nothing; the link opens the page every time and stays; the frame closes",
     "start excel\nclick ButAbout\nclick imgLogo\nclick Label1\nclick Label2\nclick Label2\nprint Label2.Caption\n"
     "click Frame1\nclick ButAbout\nclick Command1\n",
     "show frmSplash\nopen https://frambolist.example.org/\nopen https://frambolist.example.org/\n"
     "Label2.Caption = \"frambolist.example.org\"\nunload frmSplash\nshow frmSplash\nunload frmSplash\n"},
};

TEST(Dialogs, Cases) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto run = RunScript(c.script);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.expected);
  }
}

TEST(Dialogs, AConnectionSetsTheUnitBackToInchAndLeavesTheDialogAlone) {
  auto run = RunScript("start word\nclick ButSettings\nclick Option1(3)\nclick OKButton\nconnect\nprint CurrentUnit\n");
  EXPECT_EQ(run.out, "show frmOptions\nhide frmOptions\nCurrentUnit = \"Inch\"\n");
  EXPECT_TRUE(frmOptions().loaded());
  EXPECT_TRUE(frmOptions().OptionValue("Option1", 3));
  EXPECT_EQ(frmOptions().SavedUnit(), "Inch");
}

TEST(Dialogs, OneInstanceOfEachLivesForTheProcessAndIsNeverDestroyedByTheAddin) {
  auto run = RunScript("start powerpoint\nclick ButSettings\nclick OKButton\nclick ButAbout\nkey a\nquit\n");
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

TEST(HostProgram, ScriptErrorsNameTheLineAndEndTheRunWithStatus2) {
  struct Row {
    const char* script;
    const char* error;
  } rows[] = {
      {"frobnicate\n", "script error, line 1: unknown command: \"frobnicate\"\n"},
      {"start notepad\n", "script error, line 1: no such host: notepad\n"},
      {"\n# comment\nstart word\nselect Nope\n", "script error, line 4: no shape named Nope\n"},
      {"start word\nstart word\n", "script error, line 2: one host per run\n"},
      {"start excel\nadd P 1 1 inline\n", "script error, line 2: in-line pictures exist in Word only\n"},
      {"start excel\nclick OKButton\n", "script error, line 2: no toolbar control named OKButton\n"},
      {"start excel\nclick ButAbout\nclick Nobody\n", "script error, line 3: frmSplash has no control Nobody\n"},
      {"start excel\nclick ButSettings\ntype TxWidth 3\n",
       "script error, line 3: 'type' cannot be used while frmOptions is shown\n"},
      {"start excel\nclick ButSettings\n", "script error, line 2: the script ended while frmOptions is shown\n"},
      {"start excel\nkey a\n", "script error, line 2: no dialog is shown\n"},
      {"start excel\ntype TxWidth \"unterminated\n", "script error, line 2: unterminated quoted word\n"},
      {"start excel\nprint TxWidth.FaceId\n", "script error, line 2: no such thing to print: TxWidth.FaceId\n"},
      {"select A\n", "script error, line 1: no host is running (start one first)\n"},
      {"fail Height x\n", "script error, line 1: not a whole number: \"x\"\n"},
      {"fail Height 99999999999\n", "script error, line 1: out of range for a 32-bit number: \"99999999999\"\n"},
      {"start excel\nclick ButSettings\nclick Option1()\n", "script error, line 3: not a whole number: \"\"\n"},
      {"\"\"\n", "script error, line 1: unknown command: \"\"\n"},
      {"locale \"\" ,\n", "script error, line 1: the decimal separator cannot be empty\n"},
      {"locale . abcd\n", "script error, line 1: the group separator is longer than 3 characters: \"abcd\"\n"},
      {"start word\nquit\nfrobnicate\n", "script error, line 3: the host has quit: nothing can follow 'quit'\n"},
      {"start word\nadd A nan 10\n", "script error, line 2: not a finite number: \"nan\"\n"},
      {"start word\nadd A 10 inf\n", "script error, line 2: not a finite number: \"inf\"\n"},
      {"fail CommandBars 5\nstart excel\nclick ButAbout\n", "script error, line 3: there is no toolbar\n"},
  };
  for (const Row& r : rows) {
    auto run = RunScript(r.script);
    EXPECT_EQ(run.status, 2) << r.script;
    EXPECT_EQ(run.err, r.error) << r.script;
  }
  // A byte-order mark, as editors on Windows write it, is no part of the
  // first command.
  EXPECT_EQ(RunScript("\xEF\xBB\xBFstart word\nprint CurrentUnit\n").out, "CurrentUnit = \"Inch\"\n");
  // Quoted words keep their blanks and escaped quotes.
  auto run = RunScript("start word\ntype TxRotate \"a \\\"b\\\" c\"\nprint TxRotate.Text\n");
  EXPECT_EQ(run.out, "TxRotate.Text = \"a \\\"b\\\" c\"\n");
}

}  // namespace
}  // namespace frambolist::forms
