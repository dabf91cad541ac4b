// One run of the host program: reading the script and reporting its errors.

#include "hostprog/session.h"

#include <iostream>

#include "hostprog/words.h"

namespace frambolist::hostprog {

Session::Session(std::ostream& out, const LoaderFactory& make_loader)
    : out_(out), platform_{*this, *this, *this, *this}, loader_(make_loader(platform_)) {}

Session::~Session() {
  if (world_ && !ended_) Quit();
}

void Session::ExpectHostRunning() const {
  if (ended_) throw Error("the host has quit");
}

int Session::Run(ScriptReader& script, std::ostream& err, bool keep_running) {
  script_ = &script;
  err_ = &err;
  while (true) {
    try {
      auto line = script.Next();
      if (!line) break;
      if (ended_) throw Error("the host has quit: nothing can follow 'quit'");
      Execute(*line);
    } catch (const ScriptError& e) {
      ReportScriptError(e, err);
      if (!script.interactive()) return 2;
    }
  }
  if (world_ && !ended_ && !keep_running) Quit();
  out_ << std::flush;
  return 0;
}

void Session::RunLine(const std::string& text) {
  const auto words = SplitWords(text);
  if (!words.empty()) Execute(ScriptLine{script_ ? script_->line_number() : 0, words});
}

void Session::ReportScriptError(const ScriptError& error, std::ostream& err) {
  out_ << std::flush;
  err << "script error, line " << (script_ ? script_->line_number() : 0) << ": " << error.what()
      << "\n"
      << std::flush;
}

sim::World& Session::RequireHost() {
  if (!world_) throw Error("no host is running (start one first)");
  return *world_;
}

void Session::ReportFailures(const std::vector<host::HostError>& failures) {
  for (const host::HostError& e : failures)
    out_ << "error: " << e.number << " " << e.description << "\n";
}

}  // namespace frambolist::hostprog
