#pragma once
// For tests: a control of our toolbar by its field name, found where the
// layout put it on the newest "Kworrendival" bar, so that a test does not
// hold a control's place in the bar (which a new control would move).

#include <stdexcept>
#include <string>
#include <string_view>

#include "connectors/toolbar_layout.h"
#include "sim/command_bars.h"
#include "sim/world.h"

namespace frambolist::connectors::testing {

inline sim::Control& ToolbarControl(sim::World& world, std::string_view field) {
  sim::CommandBar* bar = world.NewestBar(kToolbarName);
  const auto& layout = ToolbarLayout();
  for (size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].field == field && bar && i < bar->controls.size()) return *bar->controls[i];
  }
  throw std::logic_error("no toolbar control " + std::string(field));
}

// The toolbar's counts, worked out from its table: the controls, and the
// connection's steps after the bar's own (each control's addition, its Tag
// and its writes), so that a new control changes no count in the tests.
inline size_t ToolbarControls() { return ToolbarLayout().size(); }
inline int ConnectionStepsAfterTheBar() {
  int steps = 2;  // the bar's Position and Visible
  for (const ControlLayout& control : ToolbarLayout())
    steps += 2 + static_cast<int>(control.writes.size());  // added, tagged, written
  return steps;
}

}  // namespace frambolist::connectors::testing
