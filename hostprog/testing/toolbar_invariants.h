#pragma once
// What must hold after any action, whatever failed on the way: no
// non-finite length or angle was written, and no negative length unless the
// user typed one; each box holds "0", the user's own text, or a shown value;
// the aspect icon is 2308 or 2309. Shared by the fault sweep and the fuzzer.

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "procs/shown_value.h"
#include "procs/typed_number.h"
#include "sim/command_bars.h"
#include "sim/world.h"

namespace frambolist::hostprog::testing {

// `output`: the lines printed with `trace on`; `typed`: the texts the user
// typed, as the boxes hold them; `formats`: the number formats in use.
inline std::string ToolbarProblems(sim::World& world, const std::string& output,
                                   const std::vector<std::string>& typed,
                                   const std::vector<platform::NumberFormat>& formats) {
  std::ostringstream problems;
  bool typed_negative = false;
  for (const auto& t : typed) typed_negative |= !t.empty() && t[0] == '-';
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("write ", 0) != 0) continue;
    const double value = std::strtod(line.substr(line.find(" = ") + 3).c_str(), nullptr);
    const bool length =
        line.find(".Width") != std::string::npos || line.find(".Height") != std::string::npos;
    if (!std::isfinite(value) || (length && value < 0 && !typed_negative))
      problems << "bad write: " << line << "\n";
  }
  const sim::CommandBar* bar = world.NewestBar("Kworrendival");
  if (!bar || bar->controls.size() < 9) return problems.str();
  for (size_t box : {1u, 3u, 6u}) {
    const std::string& text = bar->controls[box]->text;
    bool ok = text == "0";
    for (const auto& t : typed) ok |= text == t;
    for (const platform::NumberFormat& f : formats) {
      auto value = procs::TextToSingle(text, f);
      ok |= value.ok() && procs::ShownValue(value.value(), f) == text;
    }
    if (!ok) problems << "box " << box << " holds " << text << "\n";
  }
  const int32_t face = bar->controls[4]->face_id;
  if (face != 2308 && face != 2309) problems << "aspect FaceId " << face << "\n";
  return problems.str();
}

}  // namespace frambolist::hostprog::testing
