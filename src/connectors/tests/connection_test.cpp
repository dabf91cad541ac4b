#include <gtest/gtest.h>

#include <set>

#include "connectors/connectors.h"
#include "connectors/event_router.h"
#include "connectors/testing/toolbar_control.h"
#include "connectors/toolbar_layout.h"
#include "hostprog/testing/call_text.h"
#include "hostprog/testing/quiet_platform.h"
#include "hostprog/testing/run_script.h"
#include "sim/applications.h"
#include "sim/command_bars.h"
#include "sim/world.h"

namespace frambolist::connectors {
namespace {

using hostprog::testing::CountLines;
using hostprog::testing::RunScript;

// The connection's host calls, in order, with their value types, written out
// from the toolbar's design (after the read of Office's version, which
// decides between the toolbar and the ribbon) (the one encoding of the toolbar in the tests:
// the simulation's own tests show that these calls build the bar they say): the bar's two writes;
// then for each control a fresh Controls, its Add with only the type (none for the captions), its
// events where it has any, and its writes in the design's order. Captions'
// FaceId is a 16-bit value, the buttons' a 32-bit one; Style and the control
// type are 32-bit; the action string reads ProgId afresh for each button.
const char* const kConnectionCalls[] = {
    "get Application.Version",
    "sink Application.APP_EVENTS",
    // No bar of ours left behind to delete.
    "get Application.CommandBars",
    "get CommandBars.Item str:Kworrendival",
    "get Application.CommandBars",
    "get CommandBars.Add str:Kworrendival missing missing bool:true",
    "put CommandBar.Position i32:1",
    "put CommandBar.Visible bool:true",
    // LblHeight
    "get CommandBar.Controls",
    "get CommandBarControls.Add",
    "put CommandBarButton.Tag str:Kworrendival.LblHeight",
    "put CommandBarButton.Style i32:3",
    "put CommandBarButton.Caption str:Height (Inch)",
    "put CommandBarButton.FaceId i16:1647",
    "put CommandBarButton.Enabled bool:false",
    // TxHeight
    "get CommandBar.Controls",
    "get CommandBarControls.Add i32:2",
    "sink CommandBarComboBox.{000C0354-0000-0000-C000-000000000046}",
    "put CommandBarComboBox.Tag str:Kworrendival.TxHeight",
    "put CommandBarComboBox.Text str:0",
    "put CommandBarComboBox.TooltipText str:Height of Selected Shape",
    // LblWidth
    "get CommandBar.Controls",
    "get CommandBarControls.Add",
    "put CommandBarButton.Tag str:Kworrendival.LblWidth",
    "put CommandBarButton.BeginGroup bool:true",
    "put CommandBarButton.Style i32:3",
    "put CommandBarButton.Caption str:Width (Inch)",
    "put CommandBarButton.FaceId i16:1646",
    "put CommandBarButton.Enabled bool:true",
    // TxWidth
    "get CommandBar.Controls",
    "get CommandBarControls.Add i32:2",
    "sink CommandBarComboBox.{000C0354-0000-0000-C000-000000000046}",
    "put CommandBarComboBox.Tag str:Kworrendival.TxWidth",
    "put CommandBarComboBox.Text str:0",
    "put CommandBarComboBox.TooltipText str:Width of Selected Shape",
    // ButAspect
    "get CommandBar.Controls",
    "get CommandBarControls.Add i32:1",
    "sink CommandBarButton.{000C0351-0000-0000-C000-000000000046}",
    "put CommandBarButton.Tag str:Kworrendival.ButAspect",
    "put CommandBarButton.BeginGroup bool:true",
    "put CommandBarButton.Style i32:3",
    "put CommandBarButton.Caption str:Aspect Ratio",
    "put CommandBarButton.FaceId i32:2308",
    "put CommandBarButton.TooltipText str:Locks the aspect Ratio while Changing the Size of this "
    "shape",
    "get COMAddIn.ProgId",
    "put CommandBarButton.OnAction str:ACTION",
    // LblRotate
    "get CommandBar.Controls",
    "get CommandBarControls.Add",
    "put CommandBarButton.Tag str:Kworrendival.LblRotate",
    "put CommandBarButton.BeginGroup bool:true",
    "put CommandBarButton.Style i32:2",
    "put CommandBarButton.Caption str:Rotate",
    "put CommandBarButton.Enabled bool:false",
    // TxRotate
    "get CommandBar.Controls",
    "get CommandBarControls.Add i32:2",
    "sink CommandBarComboBox.{000C0354-0000-0000-C000-000000000046}",
    "put CommandBarComboBox.Tag str:Kworrendival.TxRotate",
    "put CommandBarComboBox.Text str:0",
    "put CommandBarComboBox.TooltipText str:Rotate Selected Shape",
    // ButSettings
    "get CommandBar.Controls",
    "get CommandBarControls.Add i32:1",
    "sink CommandBarButton.{000C0351-0000-0000-C000-000000000046}",
    "put CommandBarButton.Tag str:Kworrendival.ButSettings",
    "put CommandBarButton.BeginGroup bool:true",
    "put CommandBarButton.Caption str:Settings",
    "put CommandBarButton.Style i32:2",
    "put CommandBarButton.TooltipText str:Settings",
    "get COMAddIn.ProgId",
    "put CommandBarButton.OnAction str:ACTION",
    // ButAbout
    "get CommandBar.Controls",
    "get CommandBarControls.Add i32:1",
    "sink CommandBarButton.{000C0351-0000-0000-C000-000000000046}",
    "put CommandBarButton.Tag str:Kworrendival.ButAbout",
    "put CommandBarButton.BeginGroup bool:true",
    "put CommandBarButton.Style i32:1",
    "put CommandBarButton.FaceId i32:49",
    "put CommandBarButton.TooltipText str:About Frambolist",
    "get COMAddIn.ProgId",
    "put CommandBarButton.OnAction str:ACTION",
};

TEST(Connection, MakesItsCallsInTheDesignsOrderWithTheHostsValueTypes) {
  struct Row {
    sim::HostKind kind;
    const char* class_name;
    const char* events;
  } rows[] = {
      {sim::HostKind::PowerPoint, "Connect", "{914934C2-5A91-11CF-8700-00AA0060263B}"},
      {sim::HostKind::Excel, "ConnectXl", "{00024413-0000-0000-C000-000000000046}"},
      {sim::HostKind::Word, "ConnectWd", "{00020A01-0000-0000-C000-000000000046}"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.class_name);
    hostprog::testing::StartAsAFreshProcess();
    hostprog::testing::QuietPlatform quiet;
    sim::World world(row.kind);
    const std::string prog_id = std::string("Kworrendival.") + row.class_name;
    host::ObjectRef instance = sim::MakeAddInInstance(world, prog_id)->Ref();
    auto connector = CreateConnector(row.class_name, quiet.platform);
    world.Record(true);
    EXPECT_FALSE(connector->AddinInstance_OnConnection(host::Value(world.ApplicationRef()), 1,
                                                       host::Value(instance)));
    world.Record(false);

    std::vector<std::string> expected;
    for (std::string line : kConnectionCalls) {
      if (auto at = line.find("APP_EVENTS"); at != std::string::npos) {
        line.replace(at, 10, row.events);
      }
      if (auto at = line.find("ACTION"); at != std::string::npos) {
        line.replace(at, 6, "!<" + prog_id + ">");
      }
      expected.push_back(line);
    }
    // Word: its template, where the bar is kept, read before the bar's first
    // change and marked saved again after the last.
    if (row.kind == sim::HostKind::Word) {
      const auto search =
          std::find(expected.begin(), expected.end(), "get Application.CommandBars");
      expected.insert(search, {"get Application.CustomizationContext", "get Template.Saved"});
      expected.push_back("put Template.Saved bool:true");
    }
    // Then the command bars' update event, once the toolbar stands.
    expected.push_back("get Application.CommandBars");
    expected.push_back("sink CommandBars.{000C0352-0000-0000-C000-000000000046}");
    std::vector<std::string> made;
    for (const auto& call : world.recorded()) made.push_back(hostprog::testing::CallText(call));
    EXPECT_EQ(made, expected);
  }
}

// A connector connects once. Called out of order, the connection interface
// answers as COM does and changes nothing: no second bar, no dead one, no
// message.
TEST(Connection, TheInterfaceCalledOutOfOrderRefusesAndChangesNothing) {
  const int32_t kUnexpected = -2147418113, kPointer = -2147467261;
  for (const auto& [kind, class_name] : {std::pair{sim::HostKind::PowerPoint, "Connect"},
                                         std::pair{sim::HostKind::Excel, "ConnectXl"},
                                         std::pair{sim::HostKind::Word, "ConnectWd"}}) {
    SCOPED_TRACE(class_name);
    hostprog::testing::StartAsAFreshProcess();
    hostprog::testing::QuietPlatform quiet;
    sim::World world(kind);
    host::ObjectRef instance =
        sim::MakeAddInInstance(world, std::string("Kworrendival.") + class_name)->Ref();
    const host::Value app(world.ApplicationRef()), add_in(instance);

    auto never = CreateConnector(class_name, quiet.platform);
    never->AddinInstance_OnDisconnection(1);  // nothing to let go of
    world.Record(true);
    auto no_application = never->AddinInstance_OnConnection(host::Value(), 1, add_in);
    ASSERT_TRUE(no_application);
    EXPECT_EQ(no_application->number, kPointer);
    EXPECT_TRUE(world.recorded().empty());  // before any step
    world.Record(false);

    auto connector = CreateConnector(class_name, quiet.platform);
    ASSERT_FALSE(connector->AddinInstance_OnConnection(app, 1, add_in));
    world.Record(true);
    auto again = connector->AddinInstance_OnConnection(app, 1, add_in);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->number, kUnexpected);
    connector->AddinInstance_OnDisconnection(1);
    auto after = connector->AddinInstance_OnConnection(app, 0, add_in);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->number, kUnexpected);
    world.Record(false);
    // The one change in all this: the disconnection's deletion of its bar
    // (in Word, with its template kept as saved as it was).
    std::vector<std::string> made;
    for (const auto& call : world.recorded()) made.push_back(hostprog::testing::CallText(call));
    if (kind == sim::HostKind::Word) {
      EXPECT_EQ(made, (std::vector<std::string>{"get Application.CustomizationContext",
                                                "get Template.Saved", "get CommandBar.Delete",
                                                "put Template.Saved bool:true"}));
    } else {
      EXPECT_EQ(made, std::vector<std::string>{"get CommandBar.Delete"});
    }
    EXPECT_TRUE(world.bars().empty());
    EXPECT_EQ(quiet.messages, 0);

    // Neither a disconnection before any connection nor a refused one
    // counts: that connector still connects once, and its handlers run.
    ASSERT_FALSE(never->AddinInstance_OnConnection(app, 1, add_in));
    sim::Shape* a = world.AddShape({.name = "A", .width = 144, .height = 72});
    world.Select({a});
    EXPECT_EQ(testing::ToolbarControl(world, "TxWidth").text, "2");
    never->AddinInstance_OnDisconnection(1);
  }
}

// One failing step in each host: PowerPoint tells the user and goes on, Word
// goes on silently, Excel stops and reports the failure to the host.
TEST(Connection, EachHostFollowsItsPolicyWhenAStepFails) {
  const char* fault = "fail Caption 7 \"Out of memory\"\n";
  auto ppt = RunScript(std::string(fault) + R"~(start powerpoint
print toolbar
)~");
  EXPECT_EQ(CountLines(ppt.out, "message: "), 1);
  EXPECT_NE(ppt.out.find("message: Out of memory\n"), std::string::npos);
  EXPECT_NE(ppt.out.find("[icon 1647 \"\" greyed] [box \"0\"] | [icon 1646 \"Width (Inch)\"]"),
            std::string::npos)
      << ppt.out;

  auto word = RunScript(std::string(fault) + R"~(start word
print ButAbout.OnAction
)~");
  EXPECT_EQ(word.out, "ButAbout.OnAction = \"!<Kworrendival.ConnectWd>\"\n");

  // The connector passes no title: the box shows the add-in's own name.
  EXPECT_EQ(platform::kMessageBoxTitle, "Kworrendival");

  auto excel = RunScript(std::string(fault) + "start excel\n");
  EXPECT_EQ(excel.out, "error: 7 Out of memory\n");
  const sim::CommandBar& bar = *excel.world().bars()[0];
  ASSERT_EQ(bar.controls.size(), 1u);  // nothing after the failing caption
  EXPECT_EQ(bar.controls[0]->style, 3);
  EXPECT_EQ(bar.controls[0]->face_id, 0);
}

// Every member the connection uses, failing once: whatever fails, the other
// steps still run in PowerPoint and Word, and Excel reports exactly the
// injected failure.
TEST(Connection, ResumesOrStopsAtEveryStepThatCanFail) {
  for (const char* member :
       {"CommandBars", "Add", "Position", "Visible", "Controls", "Style", "Caption", "FaceId",
        "Enabled", "Text", "TooltipText", "BeginGroup", "OnAction", "ProgId"}) {
    SCOPED_TRACE(member);
    // CommandBars is first fetched to look for a bar of ours left behind,
    // under a silent trap: the fault must reach its use for the new bar too.
    const std::string fault = std::string("fail ") + member + " 5 \"Injected\"" +
                              (std::string(member) == "CommandBars" ? " always\n" : "\n");
    auto ppt = RunScript(fault + "start powerpoint\n");
    EXPECT_EQ(CountLines(ppt.out, "message: Injected"), 1);
    auto word = RunScript(fault + "start word\n");
    EXPECT_EQ(word.out, "");
    auto excel = RunScript(fault + "start excel\n");
    EXPECT_EQ(excel.out, "error: 5 Injected\n");
    // A one-shot fault hits the member's first use; the last control, built
    // after it, is complete.
    const bool bar_lost = std::string(member) == "CommandBars" || std::string(member) == "Add";
    if (!bar_lost) {
      const sim::CommandBar& bar = *word.world().bars()[0];
      EXPECT_EQ(bar.controls.size(),
                testing::ToolbarControls() - (std::string(member) == "Controls" ? 1 : 0));
      EXPECT_EQ(bar.controls.back()->tooltip_text, "About Frambolist");
      EXPECT_EQ(bar.controls.back()->on_action, "!<Kworrendival.ConnectWd>");
    }
  }
}

TEST(Connection, ASecondConnectionWhileTheToolbarStandsFloodsPowerPointWithMessages) {
  // Neither the old connector nor the new one could delete the bar (each
  // does when it can).
  auto run = RunScript(
      R"~(start powerpoint
click ButSettings
click Option1(2)
click OKButton
fail Delete 5 always
connect
print CurrentUnit
)~");
  // The refused bar, then every later step through the empty CmdBar and
  // control fields: 2 bar properties, 9 additions and 44 property writes.
  EXPECT_EQ(CountLines(run.out, "message: Invalid procedure call or argument"), 1);
  const int steps = testing::ConnectionStepsAfterTheBar();
  EXPECT_EQ(CountLines(run.out, "message: Object variable or With block variable not set"), steps);
  EXPECT_EQ(CountLines(run.out, "message: "), steps + 1);
  EXPECT_NE(run.out.find("CurrentUnit = \"Inch\"\n"), std::string::npos);

  auto word = RunScript(R"~(start word
fail Delete 5 always
connect
)~");
  EXPECT_EQ(word.out, "");
  auto excel = RunScript(R"~(start excel
fail Delete 5 always
connect
)~");
  EXPECT_EQ(excel.out, "error: -2147024809 Invalid procedure call or argument\n");
}

// The bar is added through the stored Application reference, not the
// event's parameter: with the subscription refused, nothing is stored, and
// every later step fails in turn.
TEST(Connection, ARefusedSubscriptionLeavesEveryLaterStepWithoutItsObject) {
  auto ppt = RunScript(R"~(refuse events
start powerpoint
)~");
  EXPECT_EQ(CountLines(ppt.out, "message: "), testing::ConnectionStepsAfterTheBar() + 2);
  EXPECT_EQ(ppt.out.substr(0, ppt.out.find('\n')),
            "message: Object or class does not support the set of events");
  // CommandBars, the bar's 2 properties, 9 additions and 44 writes.
  EXPECT_EQ(CountLines(ppt.out, "message: Object variable or With block variable not set"),
            testing::ConnectionStepsAfterTheBar() + 1);
  EXPECT_TRUE(ppt.world().bars().empty());

  auto word = RunScript(R"~(refuse events
start word
print CurrentUnit
)~");
  EXPECT_EQ(word.out, "CurrentUnit = \"Inch\"\n");
  EXPECT_TRUE(word.world().bars().empty());
}

TEST(Connection, ShutdownLeavesNoHostObjectHeldAndChangesNothing) {
  for (const char* host : {"powerpoint", "excel", "word"}) {
    auto run = RunScript(std::string("start ") + host + R"~(
add A 10 20
select A
connect
quit
)~");
    EXPECT_EQ(run.world().TotalExternalRefs(), 0) << host;
    EXPECT_EQ(run.world().double_releases(), 0) << host;
    EXPECT_EQ(run.world().bars().size(), 1u);
  }
}

// Office delivers a control's event to every control with the same Id and
// Tag; each of ours has a Tag of its own, so only its handler runs, and
// another add-in's untagged controls reach none of ours.
TEST(Connection, EachControlsEventRunsItsOwnHandlerOnly) {
  auto about = RunScript(R"~(start powerpoint
click ButAbout
key a
print ButAbout.Caption
print ButAspect.FaceId
)~");
  EXPECT_EQ(about.out, R"~(show frmSplash
unload frmSplash
ButAbout.Caption = ""
ButAspect.FaceId = 2308
)~");
  auto height = RunScript(R"~(start excel
add A 144 72
select A
set TxWidth.Text abc
set TxRotate.Text 30
trace on
type TxHeight 2
print TxWidth.Text
print TxRotate.Text
)~");
  // No rotation written: the rotation box's handler did not run (the update
  // after the edit then shows the shape's own rotation again).
  EXPECT_EQ(height.out, R"~(write ShapeRange.LockAspectRatio = true
write ShapeRange.Height = 144
TxWidth.Text = "4"
TxRotate.Text = "0"
)~");
  for (const char* host : {"powerpoint", "excel", "word"}) {
    auto foreign = RunScript(std::string("start ") + host +
                             R"~(
add A 144 72
select A
foreign button Other
foreign box Field
trace on
click Other
type Field 5
print ButAspect.Caption
)~");
    EXPECT_EQ(foreign.out, "ButAspect.Caption = \"Aspect Ratio\"\n") << host;
  }
}

// A router names the events it has handlers for, so that a host refuses a
// misspelt one where it is subscribed instead of never raising it (Excel's
// is SheetSelectionChange).
TEST(Connection, AMisspeltEventIsRefusedWhereItIsSubscribed) {
  struct Target final : EventTarget {
    void RunHandler(const std::function<void()>& handler) override { handler(); }
    std::shared_ptr<const void> Hold() override { return nullptr; }
  } target;
  sim::World world(sim::HostKind::Excel);
  auto router = std::make_shared<EventRouter>(
      target, std::vector<EventBinding>{{"SheetSelectionChanged", [](EventArgs) {}}});
  const auto refused =
      world.ApplicationRef()->Subscribe(host::event_interfaces::kExcelApplication, router);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error(), host::errors::NoSuchEvent("SheetSelectionChanged"));
}

// Word 2003 marks its template changed at every change to a bar: each action
// reads the template's state once (a typed size: the edit, and the update
// after it), and puts it back after a handler that failed too. A connection
// that built the toolbar takes no ribbon callback.
TEST(Connection, WordsTemplateIsReadOnceAnActionAndKeptSavedAfterAFailure) {
  hostprog::testing::PhasedRun run;
  run.Script("start word\nadd A 144 72\nselect A\n");
  EXPECT_EQ(hostprog::testing::CountOf(hostprog::testing::CallsDuring(run, "type TxHeight 2\n"),
                                       "get Application.CustomizationContext"),
            2);
  EXPECT_EQ(run.Script("fail FaceId 5\nclick ButAspect\nprint NormalTemplate.Saved\n"),
            "error: 5 Automation error\nNormalTemplate.Saved = true\n");

  hostprog::testing::QuietPlatform quiet;
  const auto toolbar = CreateConnector("ConnectWd", quiet.platform);
  const host::Value no_control[] = {host::Value()};
  EXPECT_EQ(toolbar->RibbonCallback("Ribbon_GetText", no_control).error().number, 438);
}

// Switched off by the user, the add-in takes its toolbar with it; switched
// on again, or loaded again by a click on a button left behind, it builds
// one working toolbar.
TEST(Connection, SwitchedOffItLeavesNoToolbarAndSwitchedOnItBuildsOneThatWorks) {
  for (const char* host : {"powerpoint", "excel", "word"}) {
    SCOPED_TRACE(host);
    auto off = RunScript(std::string("start ") + host + R"~(
disconnect
)~");
    EXPECT_TRUE(off.world().bars().empty());
    EXPECT_EQ(off.out, "");
    for (const char* again : {R"~(disconnect
connect
)~",
                              "connect\n"}) {
      auto on = RunScript(std::string("start ") + host + R"~(
add A 72 36
)~" + again +
                          R"~(select A
print TxWidth.Text
)~");
      EXPECT_EQ(on.out, "TxWidth.Text = \"1\"\n") << again;
      EXPECT_EQ(on.world().bars().size(), 1u) << again;
      EXPECT_EQ(on.world().TotalExternalRefs(), 0);
    }
  }
}

TEST(Connection, ABarThatCouldNotBeDeletedLoadsTheAddinAgainWhenClicked) {
  // PowerPoint: the new connection meets the taken name, with a message for
  // the bar and for each later step.
  auto ppt = RunScript(R"~(start powerpoint
fail Delete 5 always
disconnect
click ButAbout
)~");
  EXPECT_EQ(CountLines(ppt.out, "message: Invalid procedure call or argument"), 1);
  EXPECT_EQ(CountLines(ppt.out, "message: "), testing::ConnectionStepsAfterTheBar() + 1);
  EXPECT_EQ(ppt.world().bars().size(), 1u);
  // Excel: the connection fails, and the host hears it.
  auto excel = RunScript(R"~(start excel
fail Delete 5 always
disconnect
click ButAbout
)~");
  EXPECT_EQ(excel.out, "error: -2147024809 Invalid procedure call or argument\n");
  // Word: silently, without a bar of its own.
  auto word = RunScript(R"~(start word
fail Delete 5 always
disconnect
click ButAbout
print CurrentUnit
)~");
  EXPECT_EQ(word.out, "CurrentUnit = \"Inch\"\n");
  EXPECT_EQ(word.world().bars().size(), 1u);
}

// A bar of ours that one deletion could not take away is taken away by the
// next connection, which then builds one that works; only while it cannot
// be deleted at all does the new connection meet the taken name.
TEST(Connection, ABarLeftBehindIsDeletedByTheNextConnection) {
  for (const char* host : {"powerpoint", "excel", "word"}) {
    SCOPED_TRACE(host);
    auto once = RunScript(std::string("start ") + host + R"~(
add A 72 36
fail Delete 5
disconnect
connect
select A
print TxWidth.Text
)~");
    EXPECT_EQ(once.out, "TxWidth.Text = \"1\"\n");
    EXPECT_EQ(once.world().bars().size(), 1u);

    auto healed = RunScript(std::string("start ") + host + R"~(
add A 72 36
fail Delete 5 always
disconnect
connect
heal
connect
select A
print TxWidth.Text
)~");
    EXPECT_EQ(CountLines(healed.out, "TxWidth.Text = \"1\""), 1) << healed.out;
    EXPECT_EQ(healed.world().bars().size(), 1u);
    EXPECT_EQ(healed.world().TotalExternalRefs(), 0);
  }
}

}  // namespace
}  // namespace frambolist::connectors
