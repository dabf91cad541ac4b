// The ribbon surface on its own, called as Office calls it: the control
// objects the handlers read and write, the callbacks with their arguments,
// and what it tells Office to draw again.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>

#include "connectors/ribbon_surface.h"
#include "connectors/toolbar_layout.h"
#include "sim/sim_object.h"
#include "sim/world.h"

namespace frambolist::connectors {
namespace {

using host::Value;

// IRibbonUI: the ids the surface invalidated, in order.
class RibbonUi final : public sim::SimObject {
 public:
  explicit RibbonUi(sim::World& world) : SimObject(world, "IRibbonUI") {
    Member(
        "InvalidateControl",
        [this](std::span<const Value> args) -> host::Outcome<Value> {
          ids.push_back(args[0].ToText().value());
          return Value();
        },
        {}, sim::kOneIndex);
  }
  std::vector<std::string> ids;
};

class Window final : public sim::SimObject {
 public:
  explicit Window(sim::World& world) : SimObject(world, "DocumentWindow") {}
};

// IRibbonControl: its id, and the window whose ribbon calls (none: Context
// cannot be read).
class RibbonControl final : public sim::SimObject {
 public:
  RibbonControl(sim::World& world, Value id, std::shared_ptr<Window> window)
      : SimObject(world, "IRibbonControl"), id_(std::move(id)), window_(std::move(window)) {
    Member("Id", [this](auto) { return host::Outcome<Value>(id_); });
    if (window_) Member("Context", [this](auto) { return host::Outcome<Value>(Value(window_->Ref())); });
  }

 private:
  Value id_;
  std::shared_ptr<Window> window_;
};

// A handler for one event: what it was raised with, and what it does then.
class Sink final : public host::EventSink {
 public:
  explicit Sink(std::string_view event) : events_{event} {}
  std::span<const std::string_view> Handles() const override { return events_; }
  std::optional<host::HostError> OnEvent(std::string_view, std::span<Value> args) override {
    raised.emplace_back(args.begin(), args.end());
    if (then) then();
    return std::nullopt;
  }
  std::vector<std::vector<Value>> raised;
  std::function<void()> then;

 private:
  std::string_view events_[1];
};

namespace iid = host::event_interfaces;

class RibbonSurfaceTest : public ::testing::Test {
 protected:
  RibbonSurfaceTest() {
    const Value load[] = {Value(ui->Ref())};
    EXPECT_TRUE(surface.Callback("Ribbon_Load", load).ok());
  }

  host::Object& Control(std::string_view field) { return *surface.ControlOf(field).ref().get(); }
  std::shared_ptr<Window> NewWindow() { return std::make_shared<Window>(world); }

  // Office's callback `name` for the control `id`, called from `window`'s ribbon.
  host::Outcome<Value> Ask(std::string_view name, std::string_view id,
                           const std::shared_ptr<Window>& window = nullptr,
                           std::optional<Value> second = std::nullopt) {
    std::vector<Value> args{
        Value(std::make_shared<RibbonControl>(world, Value(std::string(id)), window)->Ref())};
    if (second) args.push_back(*second);
    return surface.Callback(name, args);
  }
  std::string TextIn(std::string_view id, const std::shared_ptr<Window>& window) {
    return Ask("Ribbon_GetText", id, window).value().ToText().value();
  }
  // What a handler's writes invalidate, as one action.
  std::vector<std::string> Invalidated(const std::function<void()>& writes) {
    ui->ids.clear();
    surface.AsOneAction(writes);
    return ui->ids;
  }
  host::Subscription Subscribe(std::string_view field, std::string_view interface_id,
                               const std::shared_ptr<Sink>& sink) {
    return std::move(Control(field).Subscribe(interface_id, sink)).ValueOrThrow();
  }

  sim::World world{sim::HostKind::PowerPoint, 16};
  std::shared_ptr<RibbonUi> ui = std::make_shared<RibbonUi>(world);
  RibbonSurface surface{false};
};

template <class T>
int32_t FailureOf(const host::Outcome<T>& outcome) {
  return outcome.ok() ? 0 : outcome.error().number;
}
template <class T>
std::string DescriptionOf(const host::Outcome<T>& outcome) {
  return outcome.ok() ? "no failure" : outcome.error().description;
}

// Each control object has the members of Office's command-bar control of
// its kind, and refuses the rest (438) and values of the wrong type (13); a
// handler that outlives the connector finds no object behind it (91).
TEST_F(RibbonSurfaceTest, ControlObjectsHaveTheMembersOfTheirKindAlone) {
  host::Object& box = Control("TxHeight");
  EXPECT_EQ(box.Get("Text", {}).value(), Value("0"));
  EXPECT_EQ(box.Get("Enabled", {}).value(), Value(true));
  ASSERT_TRUE(box.Put("enabled", Value(false)).ok());
  EXPECT_EQ(box.Get("Enabled", {}).value(), Value(false));
  EXPECT_EQ(FailureOf(box.Get("FaceId", {})), 438);
  EXPECT_EQ(FailureOf(box.Put("FaceId", Value(int32_t{2309}))), 438);

  host::Object& toggle = Control("ButAspect");
  EXPECT_EQ(toggle.Get("FaceId", {}).value(), Value(kFaceIdLockOn));
  EXPECT_EQ(toggle.Get("Caption", {}).value(), Value("Aspect Ratio"));
  EXPECT_EQ(FailureOf(toggle.Put("FaceId", Value("lock"))), 13);
  EXPECT_EQ(toggle.Get("FaceId", {}).value(), Value(kFaceIdLockOn));
  EXPECT_EQ(FailureOf(toggle.Get("Text", {})), 438);
  EXPECT_EQ(FailureOf(toggle.Put("Enabled", Value(false))), 438);

  // A caption's object carries its box's label, and nothing of the box.
  host::Object& caption = Control("LblHeight");
  EXPECT_EQ(caption.Get("Caption", {}).value(), Value("Height (Inch)"));
  EXPECT_EQ(FailureOf(caption.Get("Text", {})), 438);
  EXPECT_EQ(FailureOf(caption.Call("Execute", {})), 438);

  auto gone = std::make_unique<RibbonSurface>(false);
  const host::ObjectRef held = gone->ControlOf("TxWidth").ref();
  gone.reset();
  EXPECT_EQ(FailureOf(held->Get("Text", {})), 91);
  EXPECT_EQ(FailureOf(held->Put("Text", Value("1"))), 91);
}

// A box takes its row's event and no other; the button's Click passes
// CancelDefault (False) by reference, a box's Change the control alone; and
// ending one subscription leaves the others.
TEST_F(RibbonSurfaceTest, ControlsRaiseTheirRowsEventToTheSinksStillSubscribed) {
  auto change = std::make_shared<Sink>("Change");
  const std::string no_events = host::errors::NoEvents().description;
  EXPECT_EQ(DescriptionOf(Control("LblHeight").Subscribe("", change)), no_events);
  EXPECT_EQ(DescriptionOf(Control("TxHeight").Subscribe(iid::kCommandBarButton, change)),
            no_events);
  const auto misspelt =
      Control("TxHeight").Subscribe(iid::kCommandBarComboBox, std::make_shared<Sink>("Click"));
  EXPECT_EQ(FailureOf(misspelt), 459);
  EXPECT_EQ(DescriptionOf(misspelt), "Object or class raises no event named Click");

  auto first = std::make_shared<Sink>("Change");
  auto ended = Subscribe("TxHeight", iid::kCommandBarComboBox, first);
  auto kept = Subscribe("TxHeight", iid::kCommandBarComboBox, change);
  ended.End();
  ASSERT_TRUE(Ask("Ribbon_OnChange", "TxHeight", nullptr, Value("2")).ok());
  EXPECT_TRUE(first->raised.empty());
  ASSERT_EQ(change->raised.size(), 1u);
  EXPECT_EQ(change->raised[0].size(), 1u);

  auto click = std::make_shared<Sink>("Click");
  auto clicked = Subscribe("ButSettings", iid::kCommandBarButton, click);
  ASSERT_TRUE(Ask("Ribbon_OnAction", "ButSettings").ok());
  ASSERT_EQ(click->raised.size(), 1u);
  ASSERT_EQ(click->raised[0].size(), 2u);
  EXPECT_EQ(click->raised[0][1], Value(false));
}

// Office is told to draw a control again when what a handler left differs
// from what it shows, once until it asks for it again: the lock's icon alone
// too, and a toggle whose click changed nothing (its handler failed) is drawn
// back as it was.
TEST_F(RibbonSurfaceTest, WhatDiffersFromWhatOfficeShowsIsInvalidatedUntilOfficeAsks) {
  host::Object& toggle = Control("ButAspect");
  EXPECT_EQ(Invalidated([&] { (void)toggle.Put("FaceId", Value(kFaceIdLockOff)); }),
            std::vector<std::string>{"ButAspect"});
  EXPECT_EQ(Ask("Ribbon_GetPressed", "ButAspect").value(), Value(false));
  EXPECT_TRUE(Invalidated([&] { (void)toggle.Put("FaceId", Value(kFaceIdLockOff)); }).empty());

  // Office drew the click pressed; no handler took it.
  ui->ids.clear();
  ASSERT_TRUE(Ask("Ribbon_OnToggle", "ButAspect", NewWindow(), Value(true)).ok());
  EXPECT_EQ(ui->ids, std::vector<std::string>{"ButAspect"});
  ASSERT_TRUE(Ask("Ribbon_GetPressed", "ButAspect").ok());

  // Each getter's answer is what Office shows: a change after it is drawn.
  struct Row {
    const char* getter;
    const char* id;
    std::function<void()> write, write_again;
  } rows[] = {
      {"Ribbon_GetText", "TxWidth", [&] { (void)Control("TxWidth").Put("Text", Value("1")); },
       [&] { (void)Control("TxWidth").Put("Text", Value("2")); }},
      {"Ribbon_GetEnabled", "TxWidth",
       [&] { (void)Control("TxWidth").Put("Enabled", Value(false)); },
       [&] { (void)Control("TxWidth").Put("Enabled", Value(true)); }},
      {"Ribbon_GetLabel", "TxHeight",
       [&] { (void)Control("LblHeight").Put("Caption", Value("Height (mm)")); },
       [&] { (void)Control("LblHeight").Put("Caption", Value("Height (cm)")); }},
      {"Ribbon_GetPressed", "ButAspect",
       [&] { (void)toggle.Put("FaceId", Value(kFaceIdLockOn)); },
       [&] { (void)toggle.Put("FaceId", Value(kFaceIdLockOff)); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.getter);
    EXPECT_EQ(Invalidated(row.write), std::vector<std::string>{row.id});
    ASSERT_TRUE(Ask(row.getter, row.id).ok());
    EXPECT_EQ(Invalidated(row.write_again), std::vector<std::string>{row.id});
    ASSERT_TRUE(Ask(row.getter, row.id).ok());
  }
}

// A box's state is its window's: a callback reads and writes the boxes of
// the window whose ribbon called, and so do the handlers it runs, also
// after a callback inside it (a dialog's) has ended; afterwards the writes
// go to the window active then.
TEST_F(RibbonSurfaceTest, CallbacksWorkInTheWindowWhoseRibbonCalled) {
  const auto one = NewWindow(), two = NewWindow(), three = NewWindow();
  // Before any window is known, a control without a window still answers.
  EXPECT_EQ(TextIn("TxRotate", nullptr), "0");
  EXPECT_FALSE(surface.NoteActiveWindow(host::Dispatch()));

  EXPECT_TRUE(surface.NoteActiveWindow(host::Dispatch(one->Ref())));
  surface.AsOneAction([&] { (void)Control("TxWidth").Put("Enabled", Value(false)); });
  EXPECT_EQ(Ask("Ribbon_GetEnabled", "TxWidth", two).value(), Value(true));
  EXPECT_EQ(Ask("Ribbon_GetEnabled", "TxWidth", one).value(), Value(false));

  ASSERT_TRUE(Ask("Ribbon_OnChange", "TxHeight", two, Value("7")).ok());
  EXPECT_EQ(TextIn("TxHeight", two), "7");
  EXPECT_EQ(TextIn("TxHeight", one), "0");

  // The settings button's handler opens a dialog, under which Office asks
  // for a box (from window one), and then writes a box.
  auto click = std::make_shared<Sink>("Click");
  click->then = [&] {
    (void)TextIn("TxRotate", one);
    (void)Control("TxRotate").Put("Text", Value("9"));
    surface.NoteActiveWindow(host::Dispatch(three->Ref()));
  };
  auto clicked = Subscribe("ButSettings", iid::kCommandBarButton, click);
  ASSERT_TRUE(Ask("Ribbon_OnAction", "ButSettings", two).ok());
  EXPECT_EQ(TextIn("TxRotate", two), "9");
  EXPECT_EQ(TextIn("TxRotate", one), "0");
  surface.AsOneAction([&] { (void)Control("TxRotate").Put("Text", Value("4")); });
  EXPECT_EQ(TextIn("TxRotate", three), "4");

  // A handler that throws still ends its callback.
  click->then = [] { throw std::runtime_error("handler"); };
  EXPECT_THROW((void)Ask("Ribbon_OnAction", "ButSettings", two), std::runtime_error);
  surface.AsOneAction([&] { (void)Control("TxRotate").Put("Text", Value("5")); });
  EXPECT_EQ(TextIn("TxRotate", three), "5");
}

// Office finds the callbacks by name: onLoad first, then each one the XML
// names. A call with the wrong arguments, or for a name it does not have, is
// refused; a control whose id is no text gets nothing.
TEST_F(RibbonSurfaceTest, CallbacksAreFoundByNameAndRefuseWrongArguments) {
  const auto names = RibbonSurface::CallbackNames();
  ASSERT_EQ(names.size(), 8u);
  EXPECT_EQ(names.front(), "Ribbon_Load");
  for (std::string_view name : names) {
    EXPECT_TRUE(RibbonSurface::KnowsCallback(name)) << name;
    EXPECT_NE(RibbonSurface::CustomUI().find('"' + std::string(name) + '"'), std::string::npos)
        << name;
  }
  EXPECT_FALSE(RibbonSurface::KnowsCallback("Ribbon_GetImage"));

  EXPECT_EQ(DescriptionOf(surface.Callback("Ribbon_Load", {})),
            "Wrong number of arguments or invalid property assignment");
  EXPECT_EQ(FailureOf(surface.Callback("Ribbon_GetImage", {})), 438);
  EXPECT_EQ(FailureOf(surface.Callback("Ribbon_GetText", {})), 450);
  EXPECT_EQ(FailureOf(Ask("Ribbon_GetText", "TxWidth", nullptr, Value("extra"))), 450);

  const Value no_text_id[] = {
      Value(std::make_shared<RibbonControl>(world, Value::Nothing(), nullptr)->Ref())};
  EXPECT_EQ(surface.Callback("Ribbon_GetText", no_text_id).value(), Value());
  // Typing that arrives as no text changes nothing.
  EXPECT_EQ(Ask("Ribbon_OnChange", "TxWidth", nullptr, Value::Nothing()).value(), Value());
  EXPECT_EQ(TextIn("TxWidth", nullptr), "0");
}

}  // namespace
}  // namespace frambolist::connectors
