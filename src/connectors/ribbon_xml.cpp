// The ribbon group's XML, written from the toolbar's table: a group
// "Kworrendival" last on the Home tab, with the toolbar's boxes and buttons
// in its order, their captions as labels and its tips as screentips.

#include "connectors/ribbon_surface.h"
#include "connectors/toolbar_layout.h"
#include "connectors/xml_text.h"

namespace frambolist::connectors {

namespace {

// Office's customization schema (Office 2007 and later).
constexpr std::string_view kCustomUiNamespace =
    "http://schemas.microsoft.com/office/2006/01/customui";

std::string Attribute(std::string_view name, std::string_view value) {
  std::string attribute = " ";
  attribute += name;
  attribute += "=\"";
  attribute += XmlEscaped(value);
  attribute += '"';
  return attribute;
}

// A label that a handler may rewrite (the unit's captions, the aspect
// button's) comes from getLabel; a fixed one stands in the XML.
std::string LabelOf(const ControlLayout* caption, const ControlLayout& control) {
  for (const ControlLayout* row : {caption, &control}) {
    if (!row) continue;
    for (const PropertyWrite& write : row->writes) {
      if (write.property != "Caption") continue;
      const bool rewritten = write.kind == PropertyWrite::Kind::kUnitCaption ||
                             row->ribbon == RibbonRole::kToggleButton;
      return rewritten ? Attribute("getLabel", "Ribbon_GetLabel")
                       : Attribute("label", write.value.as<std::string>());
    }
  }
  return Attribute("label", FixedText(control, "TooltipText"));
}

}  // namespace

std::string RibbonSurface::CustomUI() {
  std::string xml = "<customUI xmlns=\"" + std::string(kCustomUiNamespace) +
                    "\" onLoad=\"Ribbon_Load\"><ribbon><tabs><tab idMso=\"TabHome\">"
                    "<group" +
                    Attribute("id", kToolbarName) + Attribute("label", kToolbarName) + ">";
  const ControlLayout* caption = nullptr;
  for (const ControlLayout& row : ToolbarLayout()) {
    const std::string common = Attribute("id", row.field) + LabelOf(caption, row) +
                               Attribute("screentip", FixedText(row, "TooltipText")) +
                               Attribute("keytip", row.keytip);
    switch (row.ribbon) {
      case RibbonRole::kLabelOfNext:
        caption = &row;
        continue;
      case RibbonRole::kEditBox:
        xml += "<editBox" + common +
               " getText=\"Ribbon_GetText\" getEnabled=\"Ribbon_GetEnabled\""
               " onChange=\"Ribbon_OnChange\" sizeString=\"00000.0000\"/>";
        break;
      case RibbonRole::kToggleButton:
        xml += "<toggleButton" + common +
               " getPressed=\"Ribbon_GetPressed\" onAction=\"Ribbon_OnToggle\"/>";
        break;
      case RibbonRole::kButton:
        xml += "<button" + common + " onAction=\"Ribbon_OnAction\"/>";
        break;
    }
    caption = nullptr;
  }
  return xml + "</group></tab></tabs></ribbon></customUI>";
}

}  // namespace frambolist::connectors
