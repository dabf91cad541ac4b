#pragma once
// Tables of script cases kept as data, one file per behaviour (the `.cases`
// files beside the tests that run them). A file reads:
//
//   # What the table is about (lines before the first case).
//
//   === the case's name, which is also its test's name
//   # a comment of the script's own, which the host program skips
//   start powerpoint
//   ...
//   --- prints
//   exactly the lines the script must print
//
// A blank line before the next "===" ends a case; it is not printed.

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "hostprog/testing/run_script.h"

namespace frambolist::hostprog::testing {

// Throws, naming the file, when it cannot be read or a case has no
// "--- prints" line: a table that is lost must not pass as empty.
inline std::vector<ScriptCase> ReadScriptCases(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read the script cases in " + path);
  std::vector<ScriptCase> cases;
  enum class Part { kHeader, kScript, kPrints } part = Part::kHeader;
  auto end_case = [&] {
    if (part == Part::kScript)
      throw std::runtime_error(path + ": \"" + cases.back().name + "\" has no --- prints line");
  };
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("=== ")) {
      end_case();
      // The blank line that separates this case from the one before.
      if (part == Part::kPrints && cases.back().expected.ends_with("\n\n"))
        cases.back().expected.pop_back();
      else if (part == Part::kPrints && cases.back().expected == "\n")
        cases.back().expected.clear();
      cases.push_back({line.substr(4), "", ""});
      part = Part::kScript;
    } else if (part == Part::kScript && line == "--- prints") {
      part = Part::kPrints;
    } else if (part == Part::kScript) {
      cases.back().script += line + "\n";
    } else if (part == Part::kPrints) {
      cases.back().expected += line + "\n";
    }
  }
  end_case();
  return cases;
}

}  // namespace frambolist::hostprog::testing
