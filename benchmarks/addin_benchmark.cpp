// The add-in's cost per event and per connection, beside the raw host calls
// it must make: the calls the add-in made are recorded once and replayed
// directly on the same host objects, so `ratio` is the add-in's own overhead
// (1.0 would be none). Also: memory over 100,000 selection events.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#include "connectors/connectors.h"
#include "forms/instances.h"
#include "procs/units.h"
#include "sim/applications.h"
#include "sim/command_bars.h"
#include "hostprog/testing/quiet_platform.h"
#include "sim/ribbon.h"
#include "sim/world.h"

namespace frambolist {
namespace {

using Clock = std::chrono::steady_clock;
using host::Value;

using hostprog::testing::QuietPlatform;

const char* kClassOf[] = {"Connect", "ConnectXl", "ConnectWd"};

// The connector as Office's ribbon reaches it.
struct RibbonOf final : sim::RibbonClient {
  explicit RibbonOf(connectors::Connector& c) : connector(c) {}
  std::string GetCustomUI(std::string_view id) override { return connector.GetCustomUI(id); }
  bool KnowsCallback(std::string_view name) override {
    return connectors::Connector::KnowsRibbonCallback(name);
  }
  host::Outcome<Value> Callback(std::string_view name, std::span<const Value> args) override {
    return connector.RibbonCallback(name, args);
  }
  connectors::Connector& connector;
};

// A host with one shape selected and the add-in connected: Office 2003's
// toolbar (version 11), or Office 2016's ribbon (16).
struct Scene {
  explicit Scene(sim::HostKind kind, int version = 11) : world(kind, version) {
    shape = world.AddShape({.name = "A", .width = 144, .height = 72, .rotation = 30});
    connector = connectors::CreateConnector(kClassOf[static_cast<int>(kind)], quiet.platform);
    instance = sim::MakeAddInInstance(
                   world, std::string("Kworrendival.") + kClassOf[static_cast<int>(kind)])
                   ->Ref();
    connector->AddinInstance_OnConnection(Value(world.ApplicationRef()), 1, Value(instance));
    client = std::make_unique<RibbonOf>(*connector);
    ribbon = sim::AddinRibbon::Load(world, *client, [](const std::string&) {});
    world.Select({shape});
    if (ribbon) ribbon->Refresh();
    selection = host::Dispatch(world.ApplicationRef())
                    .Get("ActiveWindow")
                    .ObjectOrNothing()
                    ->Get("Selection", {})
                    .value();
  }
  // The selection event's handler, as the host would call it.
  void SelectionEvent() {
    if (world.kind() == sim::HostKind::Excel) {
      static_cast<connectors::ConnectXl&>(*connector).EXApp_SheetSelectionChange(Value(), Value());
    } else if (world.kind() == sim::HostKind::Word) {
      static_cast<connectors::ConnectWd&>(*connector).WdApp_WindowSelectionChange(selection);
    } else {
      static_cast<connectors::Connect&>(*connector).PPTApp_WindowSelectionChange(selection);
    }
  }
  void SizeEdit() {
    world.bars().back()->controls[3]->text = "3";
    connector->TxWidth_Change(Value());
  }

  QuietPlatform quiet;
  sim::World world;
  sim::Shape* shape;
  std::shared_ptr<connectors::Connector> connector;
  std::unique_ptr<RibbonOf> client;
  std::unique_ptr<sim::AddinRibbon> ribbon;
  host::ObjectRef instance;
  Value selection;
};

struct NullSink final : host::EventSink {
  std::span<const std::string_view> Handles() const override { return {}; }
  std::optional<host::HostError> OnEvent(std::string_view, std::span<Value>) override {
    return std::nullopt;
  }
};

// Subscriptions are kept until the replay ends, as the add-in keeps its own.
void Replay(const std::vector<sim::World::RecordedCall>& calls) {
  static const auto sink = std::make_shared<NullSink>();
  std::vector<host::Subscription> subscriptions;
  for (const auto& c : calls) {
    if (c.kind == sim::World::RecordedCall::Kind::Put) {
      benchmark::DoNotOptimize(c.target->Put(c.member, c.args[0]).ok());
    } else if (c.kind == sim::World::RecordedCall::Kind::Subscribe) {
      auto s = c.target->Subscribe(c.member, sink);
      if (s.ok()) subscriptions.push_back(std::move(s.value()));
    } else if (c.kind == sim::World::RecordedCall::Kind::Get) {
      benchmark::DoNotOptimize(c.target->Get(c.member, c.args).ok());
    }
  }
}

template <class Action>
void Compare(benchmark::State& state, Scene& scene, Action action) {
  scene.world.Record(true);
  action();
  scene.world.Record(false);
  const auto calls = scene.world.recorded();
  double addin = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    action();
    auto t1 = Clock::now();
    Replay(calls);
    auto t2 = Clock::now();
    addin += std::chrono::duration<double, std::micro>(t1 - t0).count();
    raw += std::chrono::duration<double, std::micro>(t2 - t1).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["addin_us"] = addin / n;
  state.counters["raw_us"] = raw / n;
  state.counters["ratio"] = addin / raw;
  state.counters["host_calls"] =
      static_cast<double>(std::ranges::count_if(calls, [](const sim::World::RecordedCall& c) {
        return c.kind != sim::World::RecordedCall::Kind::Event;
      }));
  state.counters["invalidations"] = static_cast<double>(std::ranges::count_if(
      calls, [](const sim::World::RecordedCall& c) { return c.member == "InvalidateControl"; }));
}

void BM_SelectionEvent(benchmark::State& state) {
  Scene scene(static_cast<sim::HostKind>(state.range(0)));
  Compare(state, scene, [&] { scene.SelectionEvent(); });
}
void BM_SizeEdit(benchmark::State& state) {
  Scene scene(static_cast<sim::HostKind>(state.range(0)));
  Compare(state, scene, [&] { scene.SizeEdit(); });
}

// A connection needs a host without the toolbar: each one is made in a host
// of its own (not timed), and the replay's bar is removed again (not timed).
void BM_Connection(benchmark::State& state) {
  const auto kind = static_cast<sim::HostKind>(state.range(0));
  const int version = static_cast<int>(state.range(1));
  QuietPlatform quiet;
  const std::string prog_id = std::string("Kworrendival.") + kClassOf[state.range(0)];
  sim::World recorded(kind, version);
  host::ObjectRef recorded_instance = sim::MakeAddInInstance(recorded, prog_id)->Ref();
  auto first = connectors::CreateConnector(kClassOf[state.range(0)], quiet.platform);
  recorded.Record(true);
  first->AddinInstance_OnConnection(Value(recorded.ApplicationRef()), 1, Value(recorded_instance));
  recorded.Record(false);
  const auto calls = recorded.recorded();
  double addin = 0, raw = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto world = std::make_unique<sim::World>(kind, version);
    host::ObjectRef instance = sim::MakeAddInInstance(*world, prog_id)->Ref();
    Value app(world->ApplicationRef());
    // The replay adds its controls to the bar it recorded: start it empty.
    recorded.bars().clear();
    for (const auto& c : calls) {
      if (auto* bar = dynamic_cast<sim::CommandBar*>(c.target.get())) bar->controls.clear();
    }
    state.ResumeTiming();
    auto t0 = Clock::now();
    auto connector = connectors::CreateConnector(kClassOf[state.range(0)], quiet.platform);
    connector->AddinInstance_OnConnection(app, 1, Value(instance));
    auto t1 = Clock::now();
    Replay(calls);
    auto t2 = Clock::now();
    addin += std::chrono::duration<double, std::micro>(t1 - t0).count();
    raw += std::chrono::duration<double, std::micro>(t2 - t1).count();
    state.PauseTiming();
    connector.reset();
    instance.reset();
    app = Value();
    world.reset();
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["addin_us"] = addin / n;
  state.counters["raw_us"] = raw / n;
  state.counters["ratio"] = addin / raw;
  state.counters["host_calls"] =
      static_cast<double>(std::ranges::count_if(calls, [](const sim::World::RecordedCall& c) {
        return c.kind != sim::World::RecordedCall::Kind::Event;
      }));
}

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * 4;
}

// 100,000 selection events through the host, the add-in handling each.
void BM_MemoryOver100kEvents(benchmark::State& state) {
  for (auto _ : state) {
    Scene scene(static_cast<sim::HostKind>(state.range(0)));
    sim::Shape* other = scene.world.AddShape({.name = "B", .width = 10, .height = 20});
    for (int i = 0; i < 1000; ++i) scene.world.Select({i % 2 ? scene.shape : other});  // warm up
    const long before = ResidentKb();
    for (int i = 0; i < 100000; ++i) scene.world.Select({i % 2 ? scene.shape : other});
    state.counters["rss_growth_kb"] = static_cast<double>(ResidentKb() - before);
    state.counters["live_refs_after"] = scene.world.TotalExternalRefs();
  }
}

// The command bars' update, which comes many times a second: with nothing
// changed it only reads and compares (changed 0); after the user resized the
// shape it refreshes the boxes (1). With one shape selected, or 100.
void BM_Update(benchmark::State& state) {
  Scene scene(static_cast<sim::HostKind>(state.range(0)), static_cast<int>(state.range(3)));
  std::vector<sim::Shape*> selected{scene.shape};
  for (int i = 1; i < state.range(1); ++i) {
    selected.push_back(
        scene.world.AddShape({.name = "S" + std::to_string(i), .width = 10.0 + i, .height = 20}));
  }
  scene.world.Select(selected);
  const bool changed = state.range(2) == 1;
  bool flip = false;
  auto update = [&] {
    if (changed) {
      flip = !flip;
      scene.world.Resize(*scene.shape, flip ? 72 : 144, 72);  // raises the update itself
    } else {
      scene.world.RaiseCommandBarsUpdate();
    }
    // Office 2016 then asks for what the add-in invalidated.
    if (scene.ribbon) scene.ribbon->Refresh();
  };
  update();
  Compare(state, scene, update);
}

// 0 PowerPoint, 1 Excel, 2 Word; Office 2003 (11, the toolbar) and 2016 (16,
// the ribbon).
BENCHMARK(BM_Connection)
    ->ArgsProduct({{0, 1, 2}, {11, 16}})
    ->ArgNames({"host", "version"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionEvent)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SizeEdit)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Update)
    ->ArgsProduct({{0, 1, 2}, {1, 100}, {0, 1}, {11, 16}})
    ->ArgNames({"host", "shapes", "changed", "version"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoryOver100kEvents)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace frambolist
