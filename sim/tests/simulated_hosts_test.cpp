#include <gtest/gtest.h>

#include "host/testing/failure_number.h"

#include <algorithm>
#include <cmath>

#include "host/dispatch.h"
#include "sim/command_bars.h"
#include "sim/applications.h"
#include "sim/world.h"

namespace frambolist::sim {
namespace {

using host::Dispatch;

using host::testing::NumberOf;

class Recorder final : public host::EventSink {
 public:
  std::span<const std::string_view> Handles() const override { return handles; }
  std::optional<HostError> OnEvent(std::string_view event, std::span<Value>) override {
    events.emplace_back(event);
    return fail;
  }
  std::vector<std::string> events;
  std::optional<HostError> fail;
  std::vector<std::string_view> handles;
};

Dispatch Selection(World& w) {
  return Dispatch(w.ApplicationRef()).Obj("ActiveWindow").Obj("Selection");
}

TEST(Shapes, LockedRatioScalesTheOtherDimensionOfEachShapeByItsOwnProportions) {
  World w(HostKind::PowerPoint);
  Shape* a = w.AddShape({.name = "A", .width = 144, .height = 72});
  Shape* b = w.AddShape({.name = "B", .width = 10, .height = 30});
  w.Select({a, b});
  auto range = Selection(w).Obj("ShapeRange");
  range.Put("LockAspectRatio", Value(true));
  range.Put("Height", Value(144.0f));
  EXPECT_EQ(a->width, 288);
  EXPECT_EQ(b->width, 48);
  EXPECT_EQ(range.Get("Width"), Value(288.0f));  // a range reads as its first shape

  range.Put("LockAspectRatio", Value(false));
  range.Put("Width", Value(100.0f));
  EXPECT_EQ(a->height, 144);
  EXPECT_EQ(b->height, 144);
}

// PowerPoint and Word: a group is as wide as its widest member and as high
// as its highest; a shape selected inside it is the ChildShapeRange, the
// group the ShapeRange; resizing the group scales every member alike.
TEST(Shapes, AShapeInsideAGroupIsTheChildShapeRangeAndTheGroupScalesItsMembers) {
  for (HostKind kind : {HostKind::PowerPoint, HostKind::Word}) {
    World w(kind);
    Shape* a = w.AddShape({.name = "A", .width = 144, .height = 36});
    Shape* b = w.AddShape({.name = "B", .width = 72, .height = 72});
    Shape* g = w.Group("G", {a, b});
    EXPECT_EQ(g->width, 144);
    EXPECT_EQ(g->height, 72);
    EXPECT_EQ(w.FindShape("B"), b);

    w.SelectInGroup(*g, *b);
    EXPECT_EQ(Selection(w).Get("HasChildShapeRange"), Value(true));
    EXPECT_EQ(Selection(w).Obj("ShapeRange").Get("Width"), Value(144.0f));
    auto child = Selection(w).Obj("ChildShapeRange");
    EXPECT_EQ(child.Get("Width"), Value(72.0f));
    child.Put("Height", Value(108.0f));
    EXPECT_EQ(g->height, 108);  // fitted again

    w.Select({g});
    EXPECT_EQ(Selection(w).Get("HasChildShapeRange"), Value(false));
    EXPECT_NE(NumberOf([&] { Selection(w).Get("ChildShapeRange"); }), 0);
    Selection(w).Obj("ShapeRange").Put("Width", Value(72.0f));
    EXPECT_EQ(a->width, 72);
    EXPECT_EQ(b->width, 36);
    EXPECT_EQ(b->height, 108);  // the lock off: heights stay
  }
}

TEST(Shapes, RefuseNegativeAndNonFiniteValuesAndNormaliseAngles) {
  World w(HostKind::Excel);
  Shape* a = w.AddShape({.name = "A", .width = 10, .height = 20});
  w.Select({a});
  auto range = Selection(w).Obj("ShapeRange");
  EXPECT_EQ(NumberOf([&] { range.Put("Width", Value(-1.0f)); }), -2147024809);
  EXPECT_EQ(NumberOf([&] { range.Put("Height", Value(INFINITY)); }), -2147024809);
  EXPECT_EQ(NumberOf([&] { range.Put("Rotation", Value(NAN)); }), -2147024809);
  range.Put("Rotation", Value(-30.0f));
  EXPECT_EQ(a->rotation, 330.0f);
  range.Put("Rotation", Value(720.0f));
  EXPECT_EQ(a->rotation, 0.0f);
  EXPECT_EQ(a->width, 10);
  EXPECT_TRUE(range.Get("Width").is<float>());  // every host's lengths are singles
}

TEST(Selections, ARangeItemIsAShapeAndOnlyPowerPointRefusesSeveralShapesName) {
  for (HostKind kind : {HostKind::PowerPoint, HostKind::Excel, HostKind::Word}) {
    World w(kind);
    Shape* a = w.AddShape({.name = "A", .width = 10, .height = 20});
    Shape* b = w.AddShape({.name = "B", .width = 30, .height = 40});
    w.Select({a, b});
    auto range = Selection(w).Obj("ShapeRange");
    auto second = range.Obj("Item", {Value(int32_t{2})});
    auto live = w.LiveReferences();
    EXPECT_TRUE(std::ranges::any_of(live, [](auto& r) { return r.type_name == "Shape"; }));
    EXPECT_EQ(second.Get("Name"), Value("B"));
    EXPECT_EQ(second.Get("Width"), Value(30.0f));
    EXPECT_EQ(NumberOf([&] { second.Get("Count"); }), 438);
    EXPECT_EQ(NumberOf([&] { range.Get("Item"); }), 449);
    if (kind == HostKind::PowerPoint) {
      EXPECT_EQ(NumberOf([&] { range.Get("Name"); }), -2147188160);
    } else {
      EXPECT_EQ(range.Get("Name"), Value("A"));
    }
  }
}

TEST(Selections, EachHostReportsAnEmptySelectionItsOwnWay) {
  World ppt(HostKind::PowerPoint);
  ppt.Select({});
  EXPECT_EQ(NumberOf([&] { Selection(ppt).Obj("ShapeRange"); }), -2147188160);

  World word(HostKind::Word);
  Shape* pic = word.AddShape({.name = "P", .width = 50, .height = 40, .is_inline = true});
  Shape* box = word.AddShape({.name = "F", .width = 30, .height = 20});
  word.Select({});
  EXPECT_EQ(NumberOf([&] { Selection(word).Obj("ShapeRange").Get("Name"); }), 424);
  word.Select({pic});
  EXPECT_EQ(NumberOf([&] { Selection(word).Obj("ShapeRange").Get("Name"); }), 4198);
  EXPECT_EQ(NumberOf([&] { Selection(word).Obj("ShapeRange").Put("Height", Value(1.0f)); }), 4198);
  EXPECT_EQ(Selection(word).Obj("InlineShapes", {}).Obj("Item", {Value(int32_t{1})}).Get("Width"),
            Value(50.0f));
  // The collection takes no index of its own: Item is a call of its own.
  EXPECT_EQ(NumberOf([&] { Selection(word).Obj("InlineShapes", {Value(int32_t{1})}); }), 450);
  word.Select({box});
  EXPECT_EQ(NumberOf([&] { Selection(word).Obj("InlineShapes").Obj("Item", {Value(int32_t{1})}); }),
            5941);
  word.Select({box, pic});
  EXPECT_EQ(Selection(word).Obj("ShapeRange").Get("Name"), Value("F"));
  EXPECT_EQ(NumberOf([&] {
              Selection(word).Obj("InlineShapes").Obj("Item", {Value(int32_t{1})}).Get("Rotation");
            }),
            438);

  World excel(HostKind::Excel);
  excel.Select({});
  EXPECT_EQ(NumberOf([&] { Selection(excel).Obj("ShapeRange"); }), 438);
}

TEST(Events, ExcelRaisesNoApplicationEventForShapesOnlyTheCommandBarsUpdate) {
  World w(HostKind::Excel);
  auto app_events = std::make_shared<Recorder>(), bar_events = std::make_shared<Recorder>();
  auto app = w.ApplicationRef();
  auto app_subscription = app->Subscribe(host::event_interfaces::kExcelApplication, app_events);
  auto bars_subscription = Dispatch(app)
                               .Obj("CommandBars")
                               .ref()
                               ->Subscribe(host::event_interfaces::kCommandBarsEvents, bar_events);
  ASSERT_TRUE(app_subscription.ok() && bars_subscription.ok());
  Shape* a = w.AddShape({.name = "A", .width = 1, .height = 1});
  w.Select({a});
  EXPECT_TRUE(app_events->events.empty());
  w.Select({});
  w.ActivateSheet("Sheet2");
  EXPECT_EQ(app_events->events,
            (std::vector<std::string>{"SheetSelectionChange", "SheetActivate"}));
  EXPECT_EQ(bar_events->events, (std::vector<std::string>{"OnUpdate", "OnUpdate", "OnUpdate"}));
}

TEST(Events, ASinkHandlingAnEventTheObjectNeverRaisesIsRefused) {
  World w(HostKind::Excel);
  auto sink = std::make_shared<Recorder>();
  sink->handles = {"SheetActivate", "SheetSelectionChanged"};
  auto refused = w.ApplicationRef()->Subscribe(host::event_interfaces::kExcelApplication, sink);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error(), host::errors::NoSuchEvent("SheetSelectionChanged"));
  EXPECT_EQ(w.application().connected_sinks(), 0u);
  sink->handles = {"SheetActivate", "SheetSelectionChange"};
  EXPECT_TRUE(w.ApplicationRef()->Subscribe(host::event_interfaces::kExcelApplication, sink).ok());
}

TEST(Events, ReachSinksForUserActionsOnlyAndEndWithTheSubscription) {
  World w(HostKind::Excel);
  auto app_events = std::make_shared<Recorder>();
  auto box_events = std::make_shared<Recorder>(), button_events = std::make_shared<Recorder>();
  auto app = w.ApplicationRef();
  auto app_subscription = app->Subscribe(host::event_interfaces::kExcelApplication, app_events);
  ASSERT_TRUE(app_subscription.ok());
  w.Select({});
  EXPECT_EQ(app_events->events, std::vector<std::string>{"SheetSelectionChange"});

  auto bar = Dispatch(app)
                 .Obj("CommandBars")
                 .Obj("Add", {Value("T"), host::Missing{}, host::Missing{}, Value(true)});
  auto box = bar.Obj("Controls").Obj("Add", {Value(int32_t{2})});
  auto button = bar.Obj("Controls").Obj("Add", {});
  auto s1 = box.ref()->Subscribe(host::event_interfaces::kCommandBarComboBox, box_events);
  auto s2 = button.ref()->Subscribe(host::event_interfaces::kCommandBarButton, button_events);
  Control& box_control = *w.bars().back()->controls[0];
  Control& button_control = *w.bars().back()->controls[1];

  box.Put("Text", Value("written by the add-in"));
  EXPECT_TRUE(box_events->events.empty());
  box_control.UserType("2");
  EXPECT_EQ(box_events->events.size(), 1u);
  box.Put("Enabled", Value(false));
  box_control.UserType("3");
  EXPECT_EQ(box_events->events.size(), 1u);
  EXPECT_EQ(box_control.text, "2");  // a disabled box takes no edit

  button_events->fail = HostError{5, "handler failed"};
  auto failures = button_control.UserClick();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].number, 5);
  s2.value().End();
  EXPECT_TRUE(button_control.UserClick().empty());
  EXPECT_EQ(button_events->events.size(), 1u);
}

TEST(Shapes, RefuseASizeTheyCannotStoreWithoutChangingAnyShape) {
  World w(HostKind::PowerPoint);
  Shape* wide = w.AddShape({.name = "W", .width = 3e38, .height = 1});
  Shape* flat = w.AddShape({.name = "F", .width = 10, .height = 1});
  w.Select({flat, wide});
  auto range = Selection(w).Obj("ShapeRange");
  range.Put("LockAspectRatio", Value(true));
  // The wide shape's locked width would be 3e39: beyond a single.
  EXPECT_EQ(NumberOf([&] { range.Put("Height", Value(10.0f)); }), -2147024809);
  EXPECT_EQ(flat->width, 10);
  EXPECT_EQ(flat->height, 1);
  EXPECT_EQ(wide->width, static_cast<double>(static_cast<float>(3e38)));
  EXPECT_EQ(NumberOf([&] { range.Put("Width", Value(1e300)); }), -2147024809);
}

TEST(Hosts, MembersTakeTheArgumentsOfTheirTypeLibraryAndEverythingFailsOnceClosed) {
  World w(HostKind::Word);
  Dispatch app(w.ApplicationRef());
  EXPECT_EQ(NumberOf([&] { app.Get("ActiveWindow", {Value(int32_t{1})}); }), 450);
  const host::Missing _;
  auto bars = app.Obj("CommandBars");
  EXPECT_EQ(NumberOf([&] { bars.Call("Add", {Value("B"), _, _, Value(true), _}); }), 450);
  auto controls = bars.Obj("Add", {Value("B"), _, _, Value(true)}).Obj("Controls");
  EXPECT_EQ(NumberOf([&] { controls.Call("Add", {Value(int32_t{1}), _, _, _, _, _}); }), 450);
  EXPECT_EQ(NumberOf([&] { controls.Call("Add", {Value(int32_t{1}), _, _, _, Value(true)}); }), 0);
  EXPECT_EQ(NumberOf([&] { bars.Get("Item"); }), 449);
  EXPECT_EQ(NumberOf([&] { bars.Get("Item", {Value("B"), Value("B")}); }), 450);
  EXPECT_EQ(NumberOf([&] { controls.Get("Item"); }), 449);
  EXPECT_EQ(NumberOf([&] { controls.Get("", {Value(int32_t{1})}); }), 0);
  w.Close();
  EXPECT_EQ(NumberOf([&] { app.Get("Name"); }), -2147417848);
  EXPECT_EQ(NumberOf([&] { app.Put("Name", Value("x")); }), -2147417848);
}

TEST(CommandBars, RefuseADuplicateNameAndStartHidden) {
  World w(HostKind::Word);
  auto bars = Dispatch(w.ApplicationRef()).Obj("CommandBars");
  auto bar =
      bars.Obj("Add", {Value("Kworrendival"), host::Missing{}, host::Missing{}, Value(true)});
  EXPECT_EQ(bar.Get("Visible"), Value(false));
  EXPECT_EQ(NumberOf([&] { bars.Call("Add", {Value("Kworrendival")}); }), -2147024809);
  EXPECT_EQ(w.bars().size(), 1u);
}

TEST(Faults, FailTheNextOrEveryCallOfAMemberOnAnyObjectUntilHealed) {
  World w(HostKind::PowerPoint);
  w.faults().Arm("CommandBars", {7, "Out of memory"}, false);
  w.faults().Arm("name", {-5, "always"}, true);
  Dispatch app(w.ApplicationRef());
  EXPECT_EQ(NumberOf([&] { app.Obj("CommandBars"); }), 7);
  EXPECT_EQ(NumberOf([&] { app.Obj("CommandBars"); }), 0);
  EXPECT_EQ(NumberOf([&] { app.Get("Name"); }), -5);
  EXPECT_EQ(NumberOf([&] { app.Get("Name"); }), -5);
  w.faults().Heal();
  EXPECT_EQ(NumberOf([&] { app.Get("Name"); }), 0);
}

TEST(Audit, CountsTheReferencesHeldOutsideTheSimulation) {
  World w(HostKind::Word);
  Shape* a = w.AddShape({.name = "A", .width = 1, .height = 1});
  w.Select({a});
  EXPECT_EQ(w.TotalExternalRefs(), 0);
  {
    auto range = Selection(w).Obj("ShapeRange");
    auto app = Dispatch(w.ApplicationRef());
    auto live = w.LiveReferences();
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(live[0].type_name, "Application");
    EXPECT_EQ(live[1].type_name, "ShapeRange");
  }
  EXPECT_EQ(w.TotalExternalRefs(), 0);
  EXPECT_EQ(w.double_releases(), 0);
}

}  // namespace
}  // namespace frambolist::sim
