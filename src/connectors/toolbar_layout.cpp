#include "connectors/toolbar_layout.h"

namespace frambolist::connectors {

namespace {

using Kind = PropertyWrite::Kind;

// The hosts' constants.
constexpr int32_t kControlButton = 1;   // msoControlButton
constexpr int32_t kControlEdit = 2;     // msoControlEdit
constexpr int32_t kIcon = 1;            // msoButtonIcon
constexpr int32_t kCaption = 2;         // msoButtonCaption
constexpr int32_t kIconAndCaption = 3;  // msoButtonIconAndCaption

PropertyWrite Fixed(std::string_view property, host::Value value) {
  return {property, Kind::kFixed, std::move(value)};
}
PropertyWrite UnitCaption(const char* prefix) {
  return {"Caption", Kind::kUnitCaption, host::Value(prefix)};
}
PropertyWrite Action() { return {"OnAction", Kind::kActionString, {}}; }
// The caption controls' icons go through their by-name FaceId, a 16-bit
// value; the buttons' through the button interface, a 32-bit one.
PropertyWrite CaptionIcon(int16_t face) { return Fixed("FaceId", host::Value(face)); }
PropertyWrite ButtonIcon(int32_t face) { return Fixed("FaceId", host::Value(face)); }
PropertyWrite Style(int32_t style) { return Fixed("Style", host::Value(style)); }

namespace iid = host::event_interfaces;
constexpr std::string_view kBox = iid::kCommandBarComboBox;
constexpr std::string_view kButton = iid::kCommandBarButton;

}  // namespace

const std::vector<ControlLayout>& ToolbarLayout() {
  using C = Connector;
  // One row a control, read as a table: clang-format would put every field
  // of a row on a line of its own.
  // clang-format off
  static const std::vector<ControlLayout> layout = {
      {"LblHeight", &C::LblHeight, std::nullopt, {}, {}, nullptr,
       {Style(kIconAndCaption), UnitCaption("Height ("), CaptionIcon(1647), Fixed("Enabled", false)},
       RibbonRole::kLabelOfNext, {}},
      {"TxHeight", &C::TxHeight, kControlEdit, kBox, "Change", &C::TxHeight_Change,
       {Fixed("Text", "0"), Fixed("TooltipText", "Height of Selected Shape")},
       RibbonRole::kEditBox, "YH"},
      {"LblWidth", &C::LblWidth, std::nullopt, {}, {}, nullptr,
       {Fixed("BeginGroup", true), Style(kIconAndCaption), UnitCaption("Width ("),
        CaptionIcon(1646), Fixed("Enabled", true)},
       RibbonRole::kLabelOfNext, {}},
      {"TxWidth", &C::TxWidth, kControlEdit, kBox, "Change", &C::TxWidth_Change,
       {Fixed("Text", "0"), Fixed("TooltipText", "Width of Selected Shape")},
       RibbonRole::kEditBox, "YW"},
      {"ButAspect", &C::ButAspect, kControlButton, kButton, "Click", &C::ButAspect_Click,
       {Fixed("BeginGroup", true), Style(kIconAndCaption), Fixed("Caption", "Aspect Ratio"),
        ButtonIcon(kFaceIdLockOn),
        Fixed("TooltipText", "Locks the aspect Ratio while Changing the Size of this shape"),
        Action()},
       RibbonRole::kToggleButton, "YA"},
      {"LblRotate", &C::LblRotate, std::nullopt, {}, {}, nullptr,
       {Fixed("BeginGroup", true), Style(kCaption), Fixed("Caption", "Rotate"),
        Fixed("Enabled", false)},
       RibbonRole::kLabelOfNext, {}},
      {"TxRotate", &C::TxRotate, kControlEdit, kBox, "Change", &C::TxRotate_Change,
       {Fixed("Text", "0"), Fixed("TooltipText", "Rotate Selected Shape")},
       RibbonRole::kEditBox, "YR"},
      {"ButSettings", &C::ButSettings, kControlButton, kButton, "Click",
       &C::ButSettings_Click,
       {Fixed("BeginGroup", true), Fixed("Caption", "Settings"), Style(kCaption),
        Fixed("TooltipText", "Settings"), Action()},
       RibbonRole::kButton, "YS"},
      {"ButAbout", &C::ButAbout, kControlButton, kButton, "Click", &C::ButAbout_Click,
       {Fixed("BeginGroup", true), Style(kIcon), ButtonIcon(49),
        Fixed("TooltipText", "About Frambolist"), Action()},
       RibbonRole::kButton, "YB"},
  };
  // clang-format on
  return layout;
}

PropertyWrite TagOf(const ControlLayout& control) {
  return {"Tag", PropertyWrite::Kind::kFixed,
          host::Value(std::string(kToolbarName) + "." + std::string(control.field))};
}

bool IsToolbarField(std::string_view field) { return FindControl(field) != nullptr; }

const ControlLayout* FindControl(std::string_view field) {
  for (const ControlLayout& control : ToolbarLayout()) {
    if (control.field == field) return &control;
  }
  return nullptr;
}

std::string FixedText(const ControlLayout& control, std::string_view property) {
  for (const PropertyWrite& write : control.writes) {
    if (write.property == property && write.kind == PropertyWrite::Kind::kFixed &&
        write.value.is<std::string>())
      return write.value.as<std::string>();
  }
  return {};
}

}  // namespace frambolist::connectors
