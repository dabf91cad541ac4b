// What a host may do to a connector that Office does and the Parts leave
// out: disconnect it, release it while one of its modal windows is up, keep
// calling a sink after letting go, deliver its update event very often.

#include <gtest/gtest.h>

#include <functional>

#include "connectors/connectors.h"
#include "connectors/testing/toolbar_control.h"
#include "forms/form.h"
#include "forms/instances.h"
#include "hostprog/testing/run_script.h"
#include "procs/units.h"
#include "sim/applications.h"
#include "sim/command_bars.h"
#include "sim/world.h"

namespace frambolist::connectors {
namespace {

using host::Value;

// A platform whose modal windows run `inside` while they are up, as a host
// would run its own work in their message loops.
struct ModalPlatform final : platform::OkMessageBox,
                             platform::UserLocale,
                             platform::DialogToolkit,
                             platform::Shell {
  void Show(std::string_view) override {
    ++messages;
    if (inside) std::exchange(inside, nullptr)();
  }
  platform::NumberFormat NumberFormat() override { return {}; }
  void ShowModal(forms::Form& form) override {
    ++dialogs;
    if (inside) std::exchange(inside, nullptr)();
    form.Hide();
  }
  void OpenPage(std::string_view) override {}

  std::function<void()> inside;
  int messages = 0, dialogs = 0;
  platform::Platform platform{*this, *this, *this, *this};
};

// One host with the add-in connected as the host connects it.
struct Host {
  explicit Host(sim::HostKind kind, const char* class_name) : world(kind) {
    hostprog::testing::StartAsAFreshProcess();
    connector = CreateConnector(class_name, modal.platform);
    instance = sim::MakeAddInInstance(world, std::string("Kworrendival.") + class_name)->Ref();
  }
  std::optional<host::HostError> Connect() {
    return connector->AddinInstance_OnConnection(Value(world.ApplicationRef()), 1, Value(instance));
  }
  sim::Control& Control(std::string_view field) { return testing::ToolbarControl(world, field); }
  // What the host does when it lets go: disconnect, release, shut down.
  void LetGo(bool shut_down) {
    connector->AddinInstance_OnDisconnection(shut_down ? 0 : 1);
    connector->HostReleased();
    connector.reset();
    instance.reset();
    if (shut_down) world.Close();
    world.Record(true);  // every call from here on is the released connector's
  }

  ModalPlatform modal;
  sim::World world;
  std::shared_ptr<Connector> connector;
  host::ObjectRef instance;
};

TEST(Lifetime, AHostThatLetsGoDuringAModalWindowGetsNoFurtherCallOnTheConnectorsBehalf) {
  struct Modal {
    const char* name;
    std::function<void(Host&)> open;  // raises the event whose handler shows the window
  };
  const Modal modals[] = {
      {"the connection's message box",
       [](Host& h) {
         h.world.faults().Arm("Caption", {7, "Out of memory"}, false);
         EXPECT_EQ(h.Connect(), std::nullopt);
       }},
      {"size editing's message box",
       [](Host& h) {
         h.Connect();
         h.world.Select({h.world.AddShape({.name = "A", .width = 72, .height = 36})});
         h.world.faults().Arm("Height", {5, "Refused"}, false);
         h.Control("TxHeight").UserType("2");
       }},
      {"the units dialog", [](Host& h) { h.Connect(), h.Control("ButSettings").UserClick(); }},
      {"the About box", [](Host& h) { h.Connect(), h.Control("ButAbout").UserClick(); }},
  };
  for (const Modal& m : modals) {
    for (bool shut_down : {true, false}) {
      SCOPED_TRACE(std::string(m.name) +
                   (shut_down ? ", host shut down" : ", add-in switched off"));
      Host h(sim::HostKind::PowerPoint, "Connect");
      int shown = 0;
      h.modal.inside = [&] {
        ++shown;
        h.LetGo(shut_down);
      };
      m.open(h);
      EXPECT_EQ(shown, 1);
      EXPECT_EQ(h.modal.messages + h.modal.dialogs, 1) << "the handler went on after the release";
      EXPECT_TRUE(h.world.NoHostCallRecorded()) << h.world.recorded().front().member;
      h.world.Record(false);
      EXPECT_EQ(h.world.TotalExternalRefs(), 0);
    }
  }
}

TEST(Lifetime, ADisconnectedConnectorReceivesNothingWhileTheHostStillHoldsIt) {
  Host h(sim::HostKind::PowerPoint, "Connect");
  h.Connect();
  sim::Shape* a = h.world.AddShape({.name = "A", .width = 72, .height = 36});
  // Disconnected as the host begins to shut down: the (temporary) toolbar
  // stays for the host to discard, and its controls still take clicks.
  ASSERT_GT(h.world.TotalConnectedSinks(), 0u);
  h.connector->AddinInstance_OnDisconnection(0);
  // Every connection point let go, so the host holds no sink of a DLL that
  // it may unload next.
  EXPECT_EQ(h.world.TotalConnectedSinks(), 0u);
  EXPECT_TRUE(h.world.Select({a}).empty());
  h.Control("ButAbout").UserClick();
  EXPECT_EQ(h.Control("TxHeight").text, "0");
  EXPECT_EQ(h.modal.dialogs, 0);
  EXPECT_EQ(h.world.bars().back()->controls.size(), connectors::testing::ToolbarControls());
  // Released without a disconnection, it lets go as at a shutdown.
  Host released(sim::HostKind::PowerPoint, "Connect");
  released.Connect();
  released.connector->HostReleased();
  EXPECT_EQ(released.world.TotalConnectedSinks(), 0u);
  EXPECT_EQ(released.world.bars().size(), 1u);
  // Switched off by the user, it takes its toolbar away.
  Host off(sim::HostKind::PowerPoint, "Connect");
  off.Connect();
  off.connector->AddinInstance_OnDisconnection(1);
  EXPECT_TRUE(off.world.bars().empty());
}

// A host that keeps an event sink after the add-in has let go and calls it.
class KeepingHost final : public host::Object {
 public:
  void AddRef() noexcept override {}
  void Release() noexcept override {}
  host::Outcome<Value> Get(std::string_view, std::span<const Value>) override {
    ++calls;
    return host::errors::MemberNotSupported();
  }
  host::Outcome<void> Put(std::string_view, const Value&) override {
    ++calls;
    return {};
  }
  host::Outcome<Value> Call(std::string_view, std::span<const Value>) override {
    ++calls;
    return host::errors::MemberNotSupported();
  }
  host::Outcome<host::Subscription> Subscribe(std::string_view,
                                              std::shared_ptr<host::EventSink> sink) override {
    kept = std::move(sink);
    return host::Subscription([] {});  // "unsubscribes", but keeps the sink
  }
  std::shared_ptr<host::EventSink> kept;
  int calls = 0;
};

TEST(Lifetime, EventsThatArriveAfterDisconnectionOrReleaseAreIgnored) {
  ModalPlatform modal;
  KeepingHost application;
  auto connector = CreateConnector("Connect", modal.platform);
  connector->AddinInstance_OnConnection(Value(host::ObjectRef(&application)), 1, Value());
  ASSERT_TRUE(application.kept);
  // The host passes itself as the selection: a handler that runs asks it
  // for the selection's shapes.
  Value args[] = {Value(host::ObjectRef(&application))};
  application.calls = 0;
  EXPECT_EQ(application.kept->OnEvent("WindowSelectionChange", args), std::nullopt);
  ASSERT_GT(application.calls, 0);
  // Disconnected but still held: the connector's handlers stay silent.
  connector->AddinInstance_OnDisconnection(1);
  application.calls = 0;
  EXPECT_EQ(application.kept->OnEvent("WindowSelectionChange", args), std::nullopt);
  EXPECT_EQ(application.calls, 0);
  connector.reset();
  EXPECT_EQ(application.kept->OnEvent("WindowSelectionChange", args), std::nullopt);
  EXPECT_EQ(application.calls, 0);
}

// The command bars' update comes many times a second: one that changes
// nothing must write nothing and cost few host calls; one after a change
// shows it; a refresh that failed part-way is made again at the next.
TEST(Updates, WriteNothingUnlessWhatTheBoxesShowWouldChange) {
  struct Row {
    sim::HostKind kind;
    const char* class_name;
    size_t most_calls;  // for an unchanged update with one shape selected
  };
  // The active window's selection and its range: 3 calls (PowerPoint and
  // Word ask first whether a shape inside a group is selected); then the
  // reads the host's selection handler makes (PowerPoint and Word test the
  // range's Name; Word then looks for an in-line picture, which fails).
  const Row rows[] = {{sim::HostKind::PowerPoint, "Connect", 8},
                      {sim::HostKind::Excel, "ConnectXl", 6},
                      {sim::HostKind::Word, "ConnectWd", 9}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.class_name);
    Host h(row.kind, row.class_name);
    ASSERT_EQ(h.Connect(), std::nullopt);
    sim::Shape* a = h.world.AddShape({.name = "A", .width = 72, .height = 36});
    h.world.Select({a});
    EXPECT_EQ(h.Control("TxHeight").text, "0.5");

    h.world.Record(true);
    h.world.RaiseCommandBarsUpdate();
    EXPECT_LE(h.world.recorded().size(), row.most_calls + 1);  // and the event's marker
    for (const auto& call : h.world.recorded())
      EXPECT_NE(call.kind, sim::World::RecordedCall::Kind::Put) << call.member;
    h.world.Record(false);

    // Resized with the mouse: shown. The first write of the refresh fails:
    // the next update makes the whole refresh again.
    h.world.faults().Arm("Text", {5, "Refused"}, false);
    h.world.Resize(*a, 72, 144);
    EXPECT_EQ(h.Control("TxHeight").text, "0.5");
    h.world.RaiseCommandBarsUpdate();
    EXPECT_EQ(h.Control("TxHeight").text, "2");
    h.world.Record(true);
    h.world.RaiseCommandBarsUpdate();
    for (const auto& call : h.world.recorded())
      EXPECT_NE(call.kind, sim::World::RecordedCall::Kind::Put) << call.member;
    h.world.Record(false);
  }
}

// What the boxes were last given includes whether they were enabled and
// whether they were disabled: an update that reads the same (no) numbers but
// comes to another state must still write it.
TEST(Updates, TheRecordOfWhatTheBoxesShowCoversEnablingAndDisabling) {
  Host h(sim::HostKind::PowerPoint, "Connect");
  ASSERT_EQ(h.Connect(), std::nullopt);
  sim::Shape* a = h.world.AddShape({.name = "A", .width = 72, .height = 36});
  h.world.Select({});
  ASSERT_FALSE(h.Control("TxWidth").enabled);
  // The selection event's test read fails with a number that disables
  // nothing; the update after it passes the test, and its first read fails
  // as well: no numbers either time, but now the boxes are enabled.
  const host::HostError refused{70, "Permission denied"};
  h.world.faults().Arm("Name", refused, false);
  h.world.faults().Arm("Width", refused, false);
  h.world.Select({a});
  EXPECT_TRUE(h.Control("TxWidth").enabled);
  // Then the same read fails with PowerPoint's "nothing selected": still no
  // numbers, but the boxes are disabled.
  h.world.faults().Arm("Width", {-2147188160, "Nothing appropriate is currently selected."}, false);
  h.world.RaiseCommandBarsUpdate();
  EXPECT_FALSE(h.Control("TxWidth").enabled);
}

// Disabling the boxes is part of the refresh: when a write of it fails, the
// refresh is not taken as shown, and the next update makes it again.
TEST(Updates, ARefreshWhoseDisablingFailedIsMadeAgainByTheNextUpdate) {
  Host h(sim::HostKind::PowerPoint, "Connect");
  ASSERT_EQ(h.Connect(), std::nullopt);
  sim::Shape* a = h.world.AddShape({.name = "A", .width = 72, .height = 36});
  h.world.Select({a});
  ASSERT_TRUE(h.Control("TxWidth").enabled);
  // The selection event's disabling fails at its first write; the update
  // that follows it finds the same nothing selected.
  h.world.faults().Arm("Enabled", {70, "Permission denied"}, false);
  h.world.Select({});
  EXPECT_FALSE(h.Control("TxWidth").enabled);
  EXPECT_FALSE(h.Control("TxHeight").enabled);
}

// PowerPoint and Word pass the new selection with their selection event,
// which may come without a command bars' update; Excel's selection event
// reports cells only, and the update brings a shape's selection.
TEST(Updates, EachHostsSelectionEventAloneShowsTheSelection) {
  const std::pair<sim::HostKind, const char*> hosts[] = {{sim::HostKind::PowerPoint, "Connect"},
                                                         {sim::HostKind::Excel, "ConnectXl"},
                                                         {sim::HostKind::Word, "ConnectWd"}};
  for (const auto& [kind, class_name] : hosts) {
    SCOPED_TRACE(class_name);
    Host h(kind, class_name);
    ASSERT_EQ(h.Connect(), std::nullopt);
    sim::Shape* a = h.world.AddShape({.name = "A", .width = 72, .height = 36});
    h.world.Select({a});
    ASSERT_EQ(h.Control("TxHeight").text, "0.5");
    a->height = 108;  // no update: only the selection event says so
    EXPECT_TRUE(h.world.application().RaiseSelectionChange().empty());
    EXPECT_EQ(h.Control("TxHeight").text, kind == sim::HostKind::Excel ? "0.5" : "1.5");
  }
}

TEST(Updates, AnotherSheetsCellKeepsTheBoxesAndItsOwnShapeIsShown) {
  Host h(sim::HostKind::Excel, "ConnectXl");
  ASSERT_EQ(h.Connect(), std::nullopt);
  sim::Shape* a = h.world.AddShape({.name = "A", .width = 72, .height = 36});
  h.world.Select({a});
  EXPECT_TRUE(h.world.ActivateSheet("Sheet2").empty());
  EXPECT_EQ(h.Control("TxHeight").text, "0.5");  // a cell: the boxes keep their values
  sim::Shape* other_a = h.world.AddShape({.name = "A", .width = 72, .height = 108});
  ASSERT_TRUE(other_a);
  h.world.Select({other_a});
  EXPECT_EQ(h.Control("TxHeight").text, "1.5");
  EXPECT_TRUE(h.world.ActivateSheet("Sheet1").empty());  // its A is still selected
  EXPECT_EQ(h.Control("TxHeight").text, "0.5");
}

TEST(Updates, TheConnectionDoesWithoutTheUpdateEvent) {
  Host h(sim::HostKind::Excel, "ConnectXl");
  h.world.faults().Arm("CommandBars", {5, "Refused"}, true);
  // CommandBars refused: the toolbar fails as before, and nothing else.
  EXPECT_EQ(h.Connect(), (host::HostError{5, "Refused"}));
}

TEST(Forms, ASecondShowingOfAShownFormShowsNothingNewAndLeavesTheFirstGoingOn) {
  Host h(sim::HostKind::Word, "ConnectWd");
  h.Connect();
  int nested_dialogs = -1;
  h.modal.inside = [&] {
    h.Control("ButAbout").UserClick();  // the host delivers a second click
    nested_dialogs = h.modal.dialogs;
  };
  h.Control("ButAbout").UserClick();
  EXPECT_EQ(nested_dialogs, 1);
  EXPECT_EQ(h.modal.dialogs, 1);
}

}  // namespace
}  // namespace frambolist::connectors
