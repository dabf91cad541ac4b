// Every action, in every host, with each of its host calls failing in turn
// with each host's disabling numbers and another: each handler keeps its own
// policy (the exact message or none, the exact failure back to the host or
// none, the boxes disabled exactly on its host's numbers, what came before
// the failing call left in place), nothing escapes, nothing non-finite or
// negative reaches a shape, the boxes hold a shown value or the user's own
// text, the aspect icon stays 2308 or 2309, and no reference leaks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <sstream>

#include "forms/instances.h"
#include "hostprog/session.h"
#include "hostprog/testing/call_text.h"
#include "hostprog/testing/run_script.h"
#include "hostprog/testing/toolbar_invariants.h"
#include "procs/units.h"
#include "sim/sim_object.h"

namespace frambolist::connectors {
namespace {

// Each action runs one handler, whose policy for a failing host call the
// sweep holds it to.
enum class Policy {
  kSelection,  // ends quietly; PowerPoint and Word disable the boxes on their own numbers
  kSizeEdit,   // ends quietly, but a failure while sizing shows its description
  kRotation,   // the box's read goes back to the host; the rotation ends quietly
  kAspect,     // the caption's failure is swallowed; the icon's goes back to the host
  kCaptions,   // no trap: the failure goes back to the host and ends the handler
};

struct Action {
  const char* before;  // run first, without a fault
  const char* script;
  Policy policy;
  const char* typed;  // the text the user typed, if any
};

const Action kActions[] = {
    {"", "select A\n", Policy::kSelection, nullptr},
    {"", "select none\n", Policy::kSelection, nullptr},
    {"", "select A P\n", Policy::kSelection, nullptr},
    {"", "type TxHeight 2\n", Policy::kSizeEdit, "2"},
    {"", "type TxWidth 3\n", Policy::kSizeEdit, "3"},
    {"click ButAspect\n", "type TxHeight 1.5\n", Policy::kSizeEdit, "1.5"},
    {"click ButAspect\n", "type TxWidth 4\n", Policy::kSizeEdit, "4"},
    {"", "type TxHeight \"\"\n", Policy::kSizeEdit, ""},
    {"", "type TxWidth abc\n", Policy::kSizeEdit, "abc"},
    {"", "type TxRotate 45\n", Policy::kRotation, "45"},
    {"", "type TxRotate xyz\n", Policy::kRotation, "xyz"},
    {"", "click ButAspect\n", Policy::kAspect, nullptr},
    {"", R"~(click ButSettings
click Option1(2)
click OKButton
)~",
     Policy::kCaptions, nullptr},
    {"", R"~(click ButSettings
click Option1(3)
click CancelButton
)~",
     Policy::kCaptions, nullptr},
    {"", R"~(click ButSettings
close
)~",
     Policy::kCaptions, nullptr},
};

struct Host {
  const char* name;
  std::vector<int32_t> disabling;  // the numbers on which its selection disables the boxes
  const char* setup;
};
const Host kHosts[] = {
    {"powerpoint", {-2147188160}, R"~(add A 144 72 30
add P 50 40
)~"},
    {"excel", {}, R"~(add A 144 72 30
add P 50 40
)~"},
    {"word", {424, -2147024891}, R"~(add A 144 72 30
add P 50 40 inline
)~"},
};
// Every host's disabling numbers, and one that no host treats specially.
const int32_t kNumbers[] = {-2147188160, 424, -2147024891, 5};
using hostprog::testing::CountLines;
using hostprog::testing::LinesStartingWith;
using hostprog::testing::PhasedRun;
using Call = sim::World::RecordedCall;
using hostprog::testing::CallText;

bool IsDisabling(const std::string& call) { return call.ends_with(".Enabled bool:false"); }
bool IsShapeRangeWrite(const std::string& call) { return call.starts_with("put ShapeRange."); }
// "get CommandBarButton.FaceId" -> "FaceId"
std::string MemberOf(const std::string& call) {
  const size_t dot = call.find('.'), space = call.find(' ', dot);
  return call.substr(dot + 1, space == std::string::npos ? std::string::npos : space - dot - 1);
}

// Word's customization context, read before an action's writes to the bar
// and marked saved again after them: bookkeeping around the handler's work,
// whose failures change nothing.
bool IsTemplateCall(const std::string& call) {
  return call == "get Application.CustomizationContext" || call.starts_with("get Template.Saved") ||
         call.starts_with("put Template.Saved");
}

// What the action's policy says must follow when call `failing` (0-based in
// `calls`, the calls the action makes when nothing fails) fails with `error`.
struct Expected {
  std::vector<std::string> messages;  // exact lines
  std::vector<std::string> errors;    // exact lines
  bool disables = false;              // the three boxes' Enabled = false follow
  bool ends = true;                   // no other call follows the failing one
  bool only_writes_follow = false;    // no read follows the failing call
  bool icon_follows = false;          // the aspect icon is still read and switched
  bool as_without_it = false;         // every other call as without the failure
};

Expected ExpectedAfter(const Action& action, const Host& host,
                       const std::vector<std::string>& calls, size_t failing,
                       const host::HostError& error) {
  Expected e;
  const std::string& call = calls[failing];
  if (IsTemplateCall(call)) {
    e.as_without_it = true;
    return e;
  }
  const std::string error_line = "error: " + std::to_string(error.number) + " " + error.description;
  switch (action.policy) {
    case Policy::kSelection:
      // All reads come first: what was read before the failure is still
      // shown. Without the active window's selection (an update's first
      // reads) nothing is shown.
      e.disables = std::find(host.disabling.begin(), host.disabling.end(), error.number) !=
                       host.disabling.end() &&
                   !IsDisabling(call) && call != "get Application.ActiveWindow" &&
                   call != "get Window.Selection";
      e.ends = false;
      e.only_writes_follow = true;
      break;
    case Policy::kSizeEdit: {
      // Sizing is the reads of the selection's range (from the active
      // window on) before the first write of the lock, through the range's
      // last write.
      size_t first = calls.size(), last = 0;
      for (size_t i = 0; i < calls.size(); ++i) {
        if (!IsShapeRangeWrite(calls[i])) continue;
        first = std::min(first, i);
        last = i;
      }
      size_t start = first;
      while (start > 0 && start != calls.size() && calls[start] != "get Application.ActiveWindow")
        --start;
      if (first != calls.size() && failing >= start && failing <= last)
        e.messages = {"message: " + error.description};
      e.ends = false;  // the other box is still shown, and Word reads on
      break;
    }
    case Policy::kRotation:
      // The handler's first call, the box's text, has no trap.
      if (failing ==
          static_cast<size_t>(std::find_if_not(calls.begin(), calls.end(), IsTemplateCall) -
                              calls.begin()))
        e.errors = {error_line};
      break;
    case Policy::kAspect:
      if (MemberOf(call) == "FaceId") e.errors = {error_line};
      e.ends = MemberOf(call) == "FaceId";
      e.icon_follows = !e.ends;
      break;
    case Policy::kCaptions:
      e.errors = {error_line};
      break;
  }
  return e;
}

TEST(FaultSweep, EachHandlerKeepsItsPolicyWhicheverHostCallFails) {
  int runs = 0, found = 0, call_total = 0;
  auto report = [&](const std::string& what) {
    ++found;
    ADD_FAILURE() << what;
  };
  for (const Host& host : kHosts) {
    for (const Action& action : kActions) {
      const std::string setup = std::string("start ") + host.name + "\n" + host.setup +
                                "select A\n" + action.before + "trace on\n";
      // The action's calls, then (after the marker of the command bars'
      // update) the update handler's.
      std::vector<std::string> calls;
      size_t update_from = SIZE_MAX;  // the first call of the update's own handler
      {
        PhasedRun dry;
        dry.Script(setup);
        dry.world().Record(true);
        dry.Script(action.script);
        for (const Call& c : dry.world().recorded()) {
          if (c.kind == Call::Kind::Event)
            update_from = calls.size();
          else
            calls.push_back(CallText(c));
        }
        dry.world().Record(true);
        dry.world().Record(false);
      }
      call_total += static_cast<int>(calls.size());
      for (size_t failing = 0; failing < calls.size(); ++failing) {
        for (const int32_t number : kNumbers) {
          const host::HostError error{number, "Injected"};
          ++runs;
          const std::string where = std::string(host.name) + " | " + action.before + action.script +
                                    " | call " + std::to_string(failing + 1) + " (" +
                                    calls[failing] + ") fails with " + std::to_string(number);
          try {
            PhasedRun run;
            run.Script(setup);
            const int baseline = run.world().TotalExternalRefs();
            run.world().Record(true);
            run.world().faults().ArmCallNumber(static_cast<int>(failing) + 1, error);
            const std::string out = run.Script(action.script);
            std::vector<std::string> made;  // as text: the calls' targets are let go
            size_t made_before_update = SIZE_MAX;
            for (const Call& c : run.world().recorded()) {
              if (c.kind == Call::Kind::Event)
                made_before_update = std::min(made_before_update, made.size());
              else
                made.push_back(CallText(c));
            }
            run.world().Record(true);
            run.world().Record(false);
            // The update's handler refreshes as the selection handler does.
            const Action kUpdate{"", "", Policy::kSelection, nullptr};
            const Expected expected = ExpectedAfter(failing < update_from ? action : kUpdate, host,
                                                    calls, failing, error);

            if (run.status() != 0) report(where + ": script error\n" + out);
            if (LinesStartingWith(out, "message: ") != expected.messages)
              report(where + ": wrong messages\n" + out);
            if (LinesStartingWith(out, "error: ") != expected.errors)
              report(where + ": wrong failure sent to the host\n" + out);
            // Everything up to the failing call happened as without the fault.
            if (made.size() <= failing ||
                !std::equal(made.begin(), made.begin() + static_cast<std::ptrdiff_t>(failing) + 1,
                            calls.begin()))
              report(where + ": the calls before the failing one changed");
            // After it, up to the update (or within the update, when the
            // failing call is the update's): the boxes disabled (and nothing
            // else) exactly when the policy says; never an Enabled written
            // otherwise. What the update shows afterwards is the truth again.
            const size_t end = failing < made_before_update ? made_before_update : made.size();
            auto at = [&](size_t i) {
              return made.begin() + static_cast<std::ptrdiff_t>(std::min(made.size(), i));
            };
            std::vector<std::string> after(at(failing + 1), at(end));
            std::erase_if(after, IsTemplateCall);
            if (expected.as_without_it) {
              std::vector<std::string> work = made, planned = calls;
              std::erase_if(work, IsTemplateCall);
              std::erase_if(planned, IsTemplateCall);
              if (work != planned) report(where + ": the action's work changed");
              if (run.world().TotalExternalRefs() != baseline)
                report(where + ": references leaked");
              run.world().faults().Heal();
              continue;
            }
            const auto disabling = std::count_if(after.begin(), after.end(), IsDisabling);
            // Excel never touches Enabled: not even to enable a box.
            if (host.disabling.empty() &&
                std::any_of(made.begin(), made.end(), [](const std::string& call) {
                  return call.find(".Enabled ") != std::string::npos;
                }))
              report(where + ": Excel's boxes enabled or disabled");
            // An update writes nothing when it would show what is shown
            // already (boxes that a selection disabled, say).
            const bool in_update = failing >= update_from;
            if (disabling != (expected.disables ? 3 : 0) &&
                !(in_update && expected.disables && disabling == 0))
              report(where + ": " + std::to_string(disabling) + " boxes disabled");
            if (expected.ends && static_cast<size_t>(disabling) != after.size())
              report(where + ": work went on after the failure");
            if (expected.only_writes_follow &&
                std::any_of(after.begin(), after.end(),
                            [](const std::string& c) { return !c.starts_with("put "); }))
              report(where + ": reads went on after the failure");
            if (expected.icon_follows &&
                (after.size() < 2 || !after[1].starts_with("put CommandBarButton.FaceId")))
              report(where + ": the icon was not switched after the caption failed");
            const std::vector<std::string> typed =
                action.typed ? std::vector<std::string>{action.typed} : std::vector<std::string>{};
            if (auto problems = hostprog::testing::ToolbarProblems(run.world(), out, typed,
                                                                   {platform::NumberFormat{}});
                !problems.empty()) {
              report(where + ": " + problems);
            }
            if (run.world().TotalExternalRefs() != baseline) report(where + ": references leaked");
            run.world().faults().Heal();
          } catch (const std::exception& e) {
            report(where + ": exception escaped: " + e.what());
          } catch (...) {
            report(where + ": something escaped");
          }
        }
      }
    }
  }
  std::cout << "fault sweep over actions: " << std::size(kActions) << " actions x "
            << std::size(kHosts) << " hosts, " << call_total << " host calls, " << runs
            << " runs, failures found: " << found << "\n";
}

TEST(FaultSweep, TheConnectionKeepsItsPolicyWhateverCallFails) {
  int runs = 0, found = 0;
  for (const Host& host : kHosts) {
    int calls = 0;
    // The calls that fail silently whatever the host's policy: the read of
    // Office's version, the search for a bar of ours left behind (its
    // CommandBars and Item), and the last, the command bars for their
    // update event, which the add-in can do without. Numbered as the fault
    // injection counts them (gets and puts, not subscriptions).
    std::vector<bool> silent;
    {
      PhasedRun dry;
      dry.session().OnHostStarted([](sim::World& w) { w.Record(true); });
      dry.Script(std::string("start ") + host.name + "\n");
      calls = dry.world().faults().calls();
      std::vector<std::string> made;
      for (const auto& call : dry.world().recorded()) {
        if (call.kind == Call::Kind::Get || call.kind == Call::Kind::Put)
          made.push_back(CallText(call));
      }
      for (size_t i = 0; i < made.size(); ++i) {
        const bool search =
            made[i].starts_with("get CommandBars.Item") ||
            (i + 1 < made.size() && made[i + 1].starts_with("get CommandBars.Item"));
        silent.push_back(made[i] == "get Application.Version" || search || i + 1 == made.size());
      }
    }
    EXPECT_EQ(silent.size(), static_cast<size_t>(calls));
    for (int index = 1; index <= calls; ++index) {
      ++runs;
      PhasedRun run;
      run.session().OnHostStarted([&](sim::World& w) {
        w.faults().ArmCallNumber(index, {5, "Injected"});
      });
      const std::string out = run.Script(std::string("start ") + host.name + R"~(
quit
)~");
      const std::string where =
          std::string(host.name) + " connection, call " + std::to_string(index);
      const auto shown = LinesStartingWith(out, "message: ");
      const int errors = CountLines(out, "error: ");
      bool ok = run.status() == 0 && run.world().TotalExternalRefs() == 0;
      // PowerPoint shows the failure, then one message for each later step
      // that needed what the failing step would have stored.
      const bool only_lost_objects =
          std::all_of(shown.begin() + std::min<std::ptrdiff_t>(1, std::ssize(shown)), shown.end(),
                      [](const std::string& line) {
                        return line == "message: Object variable or With block variable not set";
                      });
      if (silent[static_cast<size_t>(index - 1)])
        ok = ok && out.empty();
      else if (std::string(host.name) == "powerpoint")
        ok = ok && !shown.empty() && shown[0] == "message: Injected" && only_lost_objects &&
             errors == 0;
      else if (std::string(host.name) == "word")
        ok = ok && shown.empty() && errors == 0;
      else
        ok = ok && out == "error: 5 Injected\n";
      if (!ok) {
        ++found;
        ADD_FAILURE() << where << "\n" << out;
      }
    }
  }
  std::cout << "fault sweep over connections: " << runs << " runs, failures found: " << found
            << "\n";
}

}  // namespace
}  // namespace frambolist::connectors
