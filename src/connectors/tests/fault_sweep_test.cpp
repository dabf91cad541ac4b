// Every action, in every host, with each of its host calls failing in turn:
// nothing escapes, each handler keeps its error policy, nothing non-finite
// or negative reaches a shape, the boxes hold a shown value or the user's
// own text, the aspect icon stays 2308 or 2309, and no reference leaks.

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "forms/instances.h"
#include "hostprog/session.h"
#include "hostprog/testing/run_script.h"
#include "hostprog/testing/toolbar_invariants.h"
#include "procs/units.h"

namespace frambolist::connectors {
namespace {

struct Action {
  const char* script;
  bool may_message;    // ApplySize shows the host's description
  bool may_fail_back;  // handlers without a trap of their own
  const char* typed;   // the text the user typed, if any
};

const Action kActions[] = {
    {"select A\n", false, false, nullptr},
    {"select none\n", false, false, nullptr},
    {"select A P\n", false, false, nullptr},
    {"type TxHeight 2\n", true, false, "2"},
    {"type TxWidth 3\n", true, false, "3"},
    {"click ButAspect\ntype TxHeight 1.5\n", true, true, "1.5"},
    {"type TxHeight \"\"\n", false, false, ""},
    {"type TxWidth abc\n", false, false, "abc"},
    {"type TxRotate 45\n", false, true, "45"},
    {"type TxRotate xyz\n", false, true, "xyz"},
    {"click ButAspect\n", false, true, nullptr},
    {"click ButSettings\nclick Option1(2)\nclick OKButton\n", false, true, nullptr},
    {"click ButSettings\nclick Option1(3)\nclick CancelButton\n", false, true, nullptr},
    {"click ButSettings\nclose\n", false, true, nullptr},
    {"click ButAbout\nclick Label2\nkey a\n", false, true, nullptr},
};

struct Host {
  const char* name;
  int32_t disabling;  // a number the host's selection handler looks at
  const char* setup;
};
const Host kHosts[] = {
    {"powerpoint", -2147188160, "add A 144 72 30\nadd P 50 40\n"},
    {"excel", 438, "add A 144 72 30\nadd P 50 40\n"},
    {"word", 424, "add A 144 72 30\nadd P 50 40 inline\n"},
};

// One session, run in phases.
class PhasedRun {
 public:
  PhasedRun()
      : session_(out_, [](platform::Platform& p) { return hostprog::MakeNativeLoader(p); }) {
    hostprog::testing::StartAsAFreshProcess();
  }
  // Returns the lines printed; throws nothing but what escapes the session.
  std::string Script(const std::string& text) {
    out_.str("");
    std::istringstream in(text);
    hostprog::ScriptReader reader(in, "");
    std::ostringstream err;
    status_ = session_.Run(reader, err, /*keep_running=*/true);
    return out_.str() + err.str();
  }
  int status() const { return status_; }
  hostprog::Session& session() { return session_; }
  sim::World& world() { return *session_.world(); }

 private:
  std::ostringstream out_;
  hostprog::Session session_;
  int status_ = 0;
};

using hostprog::testing::CountLines;

TEST(FaultSweep, NoFailingHostCallBreaksAnyAction) {
  int runs = 0, found = 0, call_total = 0;
  auto report = [&](const std::string& what) {
    ++found;
    ADD_FAILURE() << what;
  };
  for (const Host& host : kHosts) {
    for (const Action& action : kActions) {
      const std::string setup =
          std::string("start ") + host.name + "\n" + host.setup + "select A\ntrace on\n";
      int calls = 0;
      {
        PhasedRun dry;
        dry.Script(setup);
        const int before = dry.world().faults().calls();
        dry.Script(action.script);
        calls = dry.world().faults().calls() - before;
      }
      call_total += calls;
      for (int index = 1; index <= calls; ++index) {
        for (const host::HostError& error :
             {host::HostError{host.disabling, "Disabling"}, host::HostError{5, "Injected"}}) {
          ++runs;
          const std::string where = std::string(host.name) + " | " + action.script + " | call " +
                                    std::to_string(index) + " fails with " +
                                    std::to_string(error.number);
          try {
            PhasedRun run;
            run.Script(setup);
            const int baseline = run.world().TotalExternalRefs();
            run.world().faults().ArmCallNumber(index, error);
            const std::string out = run.Script(action.script);
            if (run.status() != 0) report(where + ": script error\n" + out);
            if (CountLines(out, "message: ") > (action.may_message ? 1 : 0))
              report(where + ": unexpected message\n" + out);
            if (CountLines(out, "error: ") > (action.may_fail_back ? 1 : 0))
              report(where + ": failure sent to the host\n" + out);
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
    {
      PhasedRun dry;
      dry.Script(std::string("start ") + host.name + "\n");
      calls = dry.world().faults().calls();
    }
    for (int index = 1; index <= calls; ++index) {
      ++runs;
      PhasedRun run;
      run.session().OnHostStarted([&](sim::World& w) {
        w.faults().ArmCallNumber(index, {5, "Injected"});
      });
      const std::string out = run.Script(std::string("start ") + host.name + "\nquit\n");
      const std::string where =
          std::string(host.name) + " connection, call " + std::to_string(index);
      const int messages = CountLines(out, "message: "), errors = CountLines(out, "error: ");
      bool ok = run.status() == 0 && run.world().TotalExternalRefs() == 0;
      if (std::string(host.name) == "powerpoint") ok = ok && messages >= 1 && errors == 0;
      if (std::string(host.name) == "word") ok = ok && messages == 0 && errors == 0;
      // Excel's last call fetches CommandBars for their update event, which
      // the add-in can do without: its failure is no failure of the connection.
      const std::string excel_out = index == calls ? "" : "error: 5 Injected\n";
      if (std::string(host.name) == "excel") ok = ok && messages == 0 && out == excel_out;
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
