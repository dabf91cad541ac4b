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
// Office delivers a control's events to every control with the same Id and
// Tag, and every custom control has Id 1: without a Tag of its own, a click
// on About would also run the aspect and Settings handlers, and another
// add-in's untagged button ours. The Tag is written first, straight after
// the control is added.
PropertyWrite Tag(std::string_view field) {
  return Fixed("Tag", host::Value(std::string(kToolbarName) + "." + std::string(field)));
}

}  // namespace

const std::vector<ControlLayout>& ToolbarLayout() {
  static const std::vector<ControlLayout> layout = {
      {"LblHeight",
       std::nullopt,
       {Tag("LblHeight"), Style(kIconAndCaption), UnitCaption("Height ("), CaptionIcon(1647),
        Fixed("Enabled", false)}},
      {"TxHeight",
       kControlEdit,
       {Tag("TxHeight"), Fixed("Text", "0"), Fixed("TooltipText", "Height of Selected Shape")}},
      {"LblWidth",
       std::nullopt,
       {Tag("LblWidth"), Fixed("BeginGroup", true), Style(kIconAndCaption), UnitCaption("Width ("),
        CaptionIcon(1646), Fixed("Enabled", true)}},
      {"TxWidth",
       kControlEdit,
       {Tag("TxWidth"), Fixed("Text", "0"), Fixed("TooltipText", "Width of Selected Shape")}},
      {"ButAspect",
       kControlButton,
       {Tag("ButAspect"), Fixed("BeginGroup", true), Style(kIconAndCaption),
        Fixed("Caption", "Aspect Ratio"), ButtonIcon(kFaceIdLockOn),
        Fixed("TooltipText", "Locks the aspect Ratio while Changing the Size of this shape"),
        Action()}},
      {"LblRotate",
       std::nullopt,
       {Tag("LblRotate"), Fixed("BeginGroup", true), Style(kCaption), Fixed("Caption", "Rotate"),
        Fixed("Enabled", false)}},
      {"TxRotate",
       kControlEdit,
       {Tag("TxRotate"), Fixed("Text", "0"), Fixed("TooltipText", "Rotate Selected Shape")}},
      {"ButSettings",
       kControlButton,
       {Tag("ButSettings"), Fixed("BeginGroup", true), Fixed("Caption", "Settings"),
        Style(kCaption), Fixed("TooltipText", "Settings"), Action()}},
      {"ButAbout",
       kControlButton,
       {Tag("ButAbout"), Fixed("BeginGroup", true), Style(kIcon), ButtonIcon(49),
        Fixed("TooltipText", "About Frambolist"), Action()}},
  };
  return layout;
}

bool IsToolbarField(std::string_view field) {
  for (const ControlLayout& control : ToolbarLayout()) {
    if (control.field == field) return true;
  }
  return false;
}

}  // namespace frambolist::connectors
