// The toolbar as a ribbon group in Office 2007 and later: the same handlers
// behind the add-in's own control objects, what Office is told to draw
// again, and the choice between the two surfaces at connection.

#include <gtest/gtest.h>

#include <algorithm>

#include "connectors/ribbon_surface.h"
#include "connectors/xml_text.h"
#include "hostprog/testing/call_text.h"
#include "hostprog/testing/run_script.h"
#include "sim/command_bars.h"
#include "sim/custom_ui.h"

namespace frambolist::connectors {
namespace {

using hostprog::testing::CallsDuring;
using hostprog::testing::CallText;
using hostprog::testing::CountOf;
using hostprog::testing::CountLines;
using hostprog::testing::PhasedRun;
using hostprog::testing::RunScript;

// Office draws from what it cached: whatever a handler writes must reach the
// ribbon through an invalidation, and the typed text, which Office keeps,
// is replaced where the handler rewrites it.
TEST(Ribbon, WhatAHandlerWritesIsWhatOfficeShowsNext) {
  for (const char* host : {"powerpoint", "excel", "word"}) {
    SCOPED_TRACE(host);
    auto run = RunScript(std::string("start ") + host + R"~( 16
add A 144 72
select A
type TxHeight 2
print TxWidth.Text
print TxHeight.Text
type TxWidth abc
print TxWidth.Text
click ButAspect
print ButAspect.Label
print ButAspect.Pressed
click ButSettings
click Option1(2)
click OKButton
print TxHeight.Label
print TxWidth.Text
)~");
    EXPECT_EQ(run.out, R"~(TxWidth.Text = "4"
TxHeight.Text = "2"
TxWidth.Text = "0"
ButAspect.Label = "Lock Aspect"
ButAspect.Pressed = false
show frmOptions
hide frmOptions
TxHeight.Label = "Height (mm)"
TxWidth.Text = "101.5873"
)~");
  }
}

// Each control is invalidated once, when its state differs from what Office
// shows, and an update that changes nothing invalidates nothing.
TEST(Ribbon, InvalidatesOnlyWhatChangedOncePerAction) {
  PhasedRun run;
  run.Script("start powerpoint 16\nadd A 144 72\nadd B 144 72\n");
  auto select = CallsDuring(run, "select A\n");
  // The two lengths; the rotation box already shows "0".
  EXPECT_EQ(CountOf(select, "get IRibbonUI.InvalidateControl"), 2);
  for (const char* id : {"TxHeight", "TxWidth"})
    EXPECT_EQ(CountOf(select, std::string("get IRibbonUI.InvalidateControl str:") + id), 1) << id;

  // Same numbers: the boxes' record says nothing changed.
  auto same = CallsDuring(run, "select B\n");
  EXPECT_EQ(CountOf(same, "get IRibbonUI.InvalidateControl"), 0);

  run.Script("select A\n");
  run.world().Record(true);
  ASSERT_TRUE(run.world().RaiseCommandBarsUpdate().empty());
  run.world().Record(false);
  for (const auto& call : run.world().recorded())
    EXPECT_NE(CallText(call), "get IRibbonUI.InvalidateControl") << CallText(call);
  EXPECT_TRUE(std::none_of(
      run.world().recorded().begin(), run.world().recorded().end(),
      [](const auto& c) { return CallText(c).find("Invalidate") != std::string::npos; }));

  // Typed text that the handler leaves is what Office already shows.
  auto typed = CallsDuring(run, "type TxHeight 2\n");
  EXPECT_EQ(CountOf(typed, "get IRibbonUI.InvalidateControl str:TxHeight"), 0);
  EXPECT_EQ(CountOf(typed, "get IRibbonUI.InvalidateControl str:TxWidth"), 1);
}

// A window has boxes of its own: a second window never shows the first
// one's selection, and its boxes start at "0", enabled.
TEST(Ribbon, ABoxInASecondWindowShowsThatWindowsSelection) {
  auto run = RunScript(R"~(start word 16
add A 144 72
select A
window new
print TxWidth.Text
print TxWidth.Enabled
window 1
print TxWidth.Text
window 2
add B 72 72
select B
print TxWidth.Text
window 1
print TxWidth.Text
)~");
  EXPECT_EQ(run.out, R"~(TxWidth.Text = "0"
TxWidth.Enabled = false
TxWidth.Text = "2"
TxWidth.Text = "1"
TxWidth.Text = "2"
)~");
  // Before Office 2013 Excel's windows share one ribbon: it shows the
  // active window's boxes.
  auto excel = RunScript(R"~(start excel 14
add A 144 72
select A
window new
print TxWidth.Text
window 1
print TxWidth.Text
)~");
  EXPECT_EQ(excel.out, "TxWidth.Text = \"0\"\nTxWidth.Text = \"2\"\n");
}

// Without the command bars' update (its subscription refused), only the
// selection event says which window the boxes' writes belong to.
TEST(Ribbon, WithoutTheUpdateEventEachWindowStillShowsItsOwnSelection) {
  auto run = RunScript(R"~(refuse updates
start powerpoint 16
window new
add B 72 72
select B
window 1
add A 144 72
select A
print TxWidth.Text
window 2
print TxWidth.Text
)~");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "TxWidth.Text = \"2\"\nTxWidth.Text = \"1\"\n");
}

// On the ribbon there is no command bar of ours in Word's template, so no
// action reads or marks it; and the labels are the same in every window, so
// Office's asking for one reads no window from its control.
TEST(Ribbon, WordsTemplateIsLeftAloneAndLabelsAreAskedWithoutAWindow) {
  PhasedRun run;
  run.Script("start word 16\nadd A 144 72\nselect A\n");
  const auto calls = CallsDuring(run, "click ButAspect\n");
  EXPECT_EQ(CountOf(calls, "get Application.CustomizationContext"), 0);
  EXPECT_EQ(CountOf(calls, "get Template."), 0);
  // The click's own callback reads the window; the toggle's new label and
  // pressed state that Office asks for then read none.
  EXPECT_EQ(CountOf(calls, "get IRibbonControl.Context"), 1);
  EXPECT_EQ(CountOf(calls, "get IRibbonControl.Id"), 3);
}

// What the ribbon's XML and the installer's rows hold inside attributes.
TEST(Ribbon, XmlTextEscapesWhatAnAttributeCannotHold) {
  EXPECT_EQ(XmlEscaped(R"(a<b> & "c")"), "a&lt;b&gt; &amp; &quot;c&quot;");
}

// Office reads the group's XML against its schema and takes all of it; each
// control carries the toolbar's tip as its screentip and a KeyTip of its
// own under the Home tab's Y.
TEST(Ribbon, TheGroupsXmlIsValidAndGivesEachControlItsTipAndKeyTip) {
  std::vector<std::string> faults;
  const sim::CustomUi ui = sim::ReadCustomUi(RibbonSurface::CustomUI(), 12,
                                             &RibbonSurface::KnowsCallback, faults);
  EXPECT_EQ(faults, std::vector<std::string>{});
  ASSERT_EQ(ui.groups.size(), 1u);
  std::vector<std::string> tips;
  for (const sim::DeclaredControl& control : ui.groups[0].controls) {
    tips.push_back(control.id + " " + *control.Attribute("keytip") + " " +
                   *control.Attribute("screentip"));
  }
  EXPECT_EQ(tips, (std::vector<std::string>{
                      "TxHeight YH Height of Selected Shape",
                      "TxWidth YW Width of Selected Shape",
                      "ButAspect YA Locks the aspect Ratio while Changing the Size of this shape",
                      "TxRotate YR Rotate Selected Shape",
                      "ButSettings YS Settings",
                      "ButAbout YB About Frambolist",
                  }));
}

// Where each window draws its own ribbon (Word always, PowerPoint from 2010,
// Excel from 2013), it still shows that window's boxes after a switch:
// nothing to draw again. Before, the one ribbon must show the other
// window's boxes.
TEST(Ribbon, AWindowSwitchRedrawsTheBoxesOnlyWhereWindowsShareOneRibbon) {
  struct Row {
    const char* host;
    const char* version;
    long redrawn;
  } rows[] = {{"excel", "14", 3},     {"excel", "15", 0}, {"powerpoint", "12", 3},
              {"powerpoint", "14", 0}, {"word", "12", 0}};
  for (const auto& [host, version, redrawn] : rows) {
    SCOPED_TRACE(std::string(host) + " " + version);
    PhasedRun run;
    run.Script(std::string("start ") + host + " " + version +
               "\nadd A 144 72\nselect A\nwindow new\n");
    EXPECT_EQ(CountOf(CallsDuring(run, "window 1\n"), "get IRibbonUI.InvalidateControl"), redrawn);
  }
}

// Office takes no failure from a callback: what the add-in meets there (an
// IRibbonControl that cannot say its id or window) ends it quietly.
TEST(Ribbon, ACallbackNeverReturnsAFailure) {
  for (const char* member : {"Id", "Context", "InvalidateControl"}) {
    SCOPED_TRACE(member);
    auto run = RunScript(std::string(R"~(start powerpoint 16
add A 144 72
select A
fail )~") + member + R"~( 5 always
type TxWidth 1
click ButAspect
)~");
    EXPECT_EQ(CountLines(run.out, "ribbon error:"), 0) << run.out;
    EXPECT_EQ(CountLines(run.out, "error:"), 0) << run.out;
    EXPECT_EQ(run.status, 0) << run.err;
  }
}

// From Office 2007 on the connection builds no bar, and deletes one of ours
// that an earlier release or a failed deletion left; a host whose version
// cannot be read gets the toolbar, as Office 2003 and earlier do.
TEST(Ribbon, TheConnectionChoosesTheRibbonFromOffice2007On) {
  for (const char* host : {"powerpoint", "excel", "word"}) {
    SCOPED_TRACE(host);
    PhasedRun run;
    run.session().OnHostStarted([](sim::World& world) {
      auto left = std::make_shared<sim::CommandBar>(world, "Kworrendival", false);
      world.bars().push_back(left);
    });
    EXPECT_EQ(run.Script(std::string("start ") + host + " 12\nprint toolbar\n"),
              "no toolbar \"Kworrendival\"\n");
    EXPECT_TRUE(run.world().bars().empty());

    // The leftover bar that cannot be deleted stays, silently.
    PhasedRun stuck;
    stuck.session().OnHostStarted([](sim::World& world) {
      world.bars().push_back(std::make_shared<sim::CommandBar>(world, "Kworrendival", false));
    });
    EXPECT_EQ(stuck.Script(std::string("fail Delete 5\nstart ") + host +
                           " 16\nadd A 72 72\nselect A\nprint TxWidth.Text\n"),
              "TxWidth.Text = \"1\"\n");

    auto unread = RunScript(std::string("fail Version 5\nstart ") + host + R"~( 16
print ButAbout.TooltipText
)~");
    EXPECT_EQ(unread.out, "ButAbout.TooltipText = \"About Frambolist\"\n");
  }
  // The connection's host calls: the version, the reference, the search for
  // an old bar, the command bars' update: far fewer than the toolbar's.
  PhasedRun ribbon;
  ribbon.session().OnHostStarted([](sim::World& world) { world.Record(true); });
  ribbon.Script("start powerpoint 16\n");
  std::vector<std::string> calls;
  for (const auto& call : ribbon.world().recorded()) calls.push_back(CallText(call));
  EXPECT_EQ(CountOf(calls, "get CommandBars.Add"), 0);
  EXPECT_EQ(CountOf(calls, "put "), 0);
}

// Switched off, Office drops the group; switched on, the add-in starts
// afresh: inches, the lock on, "Aspect Ratio".
TEST(Ribbon, SwitchedOnAgainTheGroupStartsAfresh) {
  auto run = RunScript(R"~(start excel 16
click ButAspect
click ButSettings
click Option1(2)
click OKButton
disconnect
print toolbar
connect
print ribbon
print CurrentUnit
)~");
  EXPECT_EQ(run.out, R"~(show frmOptions
hide frmOptions
no toolbar "Kworrendival"
ribbon "Kworrendival": [TxHeight "Height (Inch)" "0"] [TxWidth "Width (Inch)" "0"] [ButAspect "Aspect Ratio" pressed] [TxRotate "Rotate" "0"] [ButSettings "Settings"] [ButAbout "About Frambolist"]
CurrentUnit = "Inch"
)~");
  EXPECT_EQ(run.world().TotalExternalRefs(), 0);
}

}  // namespace
}  // namespace frambolist::connectors
