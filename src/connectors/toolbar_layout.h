#pragma once
// The toolbar "Kworrendival": its controls left to right, the type each is
// added with, and every property the connection writes, in writing order.

#include <optional>
#include <string_view>
#include <vector>

#include "host/value.h"

namespace frambolist::connectors {

inline constexpr std::string_view kToolbarName = "Kworrendival";

// Lock state lives in the aspect button's icon number.
inline constexpr int32_t kFaceIdLockOn = 2308;
inline constexpr int32_t kFaceIdLockOff = 2309;

struct PropertyWrite {
  enum class Kind {
    kFixed,         // `value` as it stands
    kUnitCaption,   // `value` + CurrentUnit + ")", built when written
    kActionString,  // "!<" + the add-in's ProgId + ">", read when written
  };
  std::string_view property;
  Kind kind;
  host::Value value;
};

struct ControlLayout {
  std::string_view field;           // the connector field that keeps it
  std::optional<int32_t> add_type;  // none given: the host's default, a button
  std::vector<PropertyWrite> writes;
};

const std::vector<ControlLayout>& ToolbarLayout();

// Whether `field` names one of the toolbar's controls.
bool IsToolbarField(std::string_view field);

}  // namespace frambolist::connectors
