#pragma once
// Runs a host-program script in this process and keeps the session, so tests
// can compare the printed lines and then audit the simulated host.

#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "forms/instances.h"
#include "hostprog/session.h"
#include "procs/units.h"

namespace frambolist::hostprog::testing {

struct ScriptRun {
  std::unique_ptr<Session> session;
  std::string out;
  std::string err;
  int status = 0;
  sim::World& world() { return *session->world(); }
};

// The add-in's module state as a fresh host process has it: no dialogs yet,
// the unit at its start.
inline void StartAsAFreshProcess() {
  forms::DiscardFormsForTesting();
  procs::CurrentUnit = procs::Unit::Inch;
}

// Each run starts as a fresh host process would.
inline ScriptRun RunScript(const std::string& script) {
  StartAsAFreshProcess();
  ScriptRun run;
  std::ostringstream out, err;
  std::istringstream in(script);
  run.session =
      std::make_unique<Session>(out, [](platform::Platform& p) { return MakeNativeLoader(p); });
  ScriptReader reader(in, "");
  run.status = run.session->Run(reader, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// One session, run in phases: the host keeps running between them, so that a
// test can act on the simulated host in between.
class PhasedRun {
 public:
  PhasedRun() : session_(out_, [](platform::Platform& p) { return MakeNativeLoader(p); }) {
    StartAsAFreshProcess();
  }
  // Returns the lines printed; throws nothing but what escapes the session.
  std::string Script(const std::string& text) {
    out_.str("");
    std::istringstream in(text);
    ScriptReader reader(in, "");
    std::ostringstream err;
    status_ = session_.Run(reader, err, /*keep_running=*/true);
    return out_.str() + err.str();
  }
  int status() const { return status_; }
  Session& session() { return session_; }
  sim::World& world() { return *session_.world(); }

 private:
  std::ostringstream out_;
  Session session_;
  int status_ = 0;
};

// The lines of `text` that start with `prefix`, in order.
inline std::vector<std::string> LinesStartingWith(const std::string& text,
                                                  const std::string& prefix) {
  std::vector<std::string> found;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  return found;
}

inline int CountLines(const std::string& text, const std::string& prefix) {
  return static_cast<int>(LinesStartingWith(text, prefix).size());
}

// One row of a table-driven test: a script and exactly what it must print.
struct ScriptCase {
  std::string name;
  std::string script;
  std::string expected;
};

// How GoogleTest prints a row (in each test's line of ctest's output): its
// description, not the bytes of its pointers.
inline void PrintTo(const ScriptCase& row, std::ostream* out) { *out << '"' << row.name << '"'; }

// A row's name as a test name (letters and digits, words capitalised), so
// that each row runs and reports on its own: "Word: a floating shape" is
// WordAFloatingShape.
inline std::string TestNameOf(std::string_view description) {
  std::string name;
  bool word_start = true;
  for (char c : description) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) {
      word_start = true;
      continue;
    }
    name += word_start && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    word_start = false;
  }
  return name;
}

}  // namespace frambolist::hostprog::testing
