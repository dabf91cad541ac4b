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

}  // namespace frambolist::connectors::testing
