#pragma once
// The toolbar "Kworrendival", one row per control, left to right: the
// connector field that keeps it, the type it is added with, the event it
// raises and the handler that event runs, and every property the connection
// writes, in writing order. The connector's event wiring, the connection and
// the host program all read this table: adding a control is one row here
// plus its field and its handler.

#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "connectors/connector.h"
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

// What a row becomes in the ribbon group that Office 2007 and later show
// instead of the bar: the captions label the box after them.
enum class RibbonRole { kLabelOfNext, kEditBox, kToggleButton, kButton };

// A control's handler: a box's Change(Ctrl) or a button's
// Click(Ctrl, CancelDefault); none for a caption.
using ControlHandler =
    std::variant<std::nullptr_t, void (Connector::*)(const host::Value&),
                 void (Connector::*)(const host::Value&, host::Value&)>;

struct ControlLayout {
  std::string_view field;                  // its name, and its Tag's
  host::WithEvents Connector::*reference;  // the field that keeps it
  std::optional<int32_t> add_type;         // none given: the host's default, a button
  // Captions raise no events: no interface, event or handler.
  std::string_view event_interface;
  std::string_view event;
  ControlHandler handler;
  bool RaisesEvents() const { return !std::holds_alternative<std::nullptr_t>(handler); }
  // After the Tag, which every control is given first.
  std::vector<PropertyWrite> writes;
  RibbonRole ribbon;
  std::string_view keytip;  // none for a caption
};

const std::vector<ControlLayout>& ToolbarLayout();

// The Tag that the connection writes first, straight after adding the
// control. Office delivers a control's events to every control with the
// same Id and Tag, and every custom control has Id 1: without a Tag of its
// own, a click on About would also run the aspect and Settings handlers,
// and another add-in's untagged button ours.
PropertyWrite TagOf(const ControlLayout& control);

// Whether `field` names one of the toolbar's controls.
bool IsToolbarField(std::string_view field);

// The row of `field`, or null.
const ControlLayout* FindControl(std::string_view field);

// The value of the row's fixed write of `property` ("TooltipText"), or empty.
std::string FixedText(const ControlLayout& control, std::string_view property);

}  // namespace frambolist::connectors
