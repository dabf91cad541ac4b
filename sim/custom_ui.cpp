#include "sim/custom_ui.h"

#include <algorithm>
#include <array>
#include <set>

namespace frambolist::sim {

namespace {

constexpr std::string_view kNamespace2006 = "http://schemas.microsoft.com/office/2006/01/customui";
constexpr std::string_view kNamespace2009 = "http://schemas.microsoft.com/office/2009/07/customui";

using Names = std::initializer_list<std::string_view>;

// What the schema lets each element carry: its attributes and its elements.
struct ElementRule {
  std::string_view name;
  Names attributes;
  Names children;
};

// The control attributes that edit boxes and buttons share in the schema.
#define FRAMBOLIST_CONTROL_ATTRIBUTES                                                             \
  "id", "idQ", "tag", "label", "getLabel", "enabled", "getEnabled", "visible", "getVisible",      \
      "screentip", "getScreentip", "supertip", "getSupertip", "keytip", "getKeytip", "showLabel", \
      "getShowLabel", "showImage", "getShowImage", "image", "imageMso", "getImage",               \
      "insertAfterMso", "insertBeforeMso", "insertAfterQ", "insertBeforeQ"

const ElementRule kRules[] = {
    {"customUI", {"onLoad", "loadImage"}, {"ribbon"}},
    {"ribbon", {"startFromScratch"}, {"tabs"}},
    {"tabs", {}, {"tab"}},
    {"tab",
     {"id", "idMso", "idQ", "tag", "label", "getLabel", "visible", "getVisible", "keytip",
      "getKeytip", "insertAfterMso", "insertBeforeMso", "insertAfterQ", "insertBeforeQ"},
     {"group"}},
    {"group",
     {"id",
      "idMso",
      "idQ",
      "tag",
      "label",
      "getLabel",
      "visible",
      "getVisible",
      "keytip",
      "getKeytip",
      "screentip",
      "getScreentip",
      "supertip",
      "getSupertip",
      "image",
      "imageMso",
      "getImage",
      "insertAfterMso",
      "insertBeforeMso",
      "insertAfterQ",
      "insertBeforeQ"},
     {"editBox", "toggleButton", "button"}},
    {"editBox",
     {FRAMBOLIST_CONTROL_ATTRIBUTES, "getText", "onChange", "sizeString", "maxLength"},
     {}},
    {"toggleButton",
     {FRAMBOLIST_CONTROL_ATTRIBUTES, "idMso", "onAction", "getPressed", "size", "getSize",
      "description", "getDescription"},
     {}},
    {"button",
     {FRAMBOLIST_CONTROL_ATTRIBUTES, "idMso", "onAction", "size", "getSize", "description",
      "getDescription"},
     {}},
};
#undef FRAMBOLIST_CONTROL_ATTRIBUTES

const ElementRule* RuleOf(std::string_view name) {
  for (const ElementRule& rule : kRules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

bool Contains(Names names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Attributes that name a callback of the add-in.
bool IsCallback(std::string_view attribute) {
  return attribute.starts_with("get") || attribute.starts_with("on") || attribute == "loadImage";
}

// One text from its parts, without a temporary for each.
template <class... Parts>
std::string Concat(const Parts&... parts) {
  std::string text;
  (text += ... += parts);
  return text;
}

std::string Quoted(std::string_view text) { return Concat("\"", text, "\""); }

class Reader {
 public:
  Reader(std::string_view ns, const std::function<bool(std::string_view)>& knows,
         std::vector<std::string>& errors)
      : ns_(ns), knows_(knows), errors_(errors) {}

  // Whether `element`, a child of `parent`, stands: a fault leaves it out.
  bool Check(const XmlElement& element, std::string_view parent) {
    const ElementRule* rule = RuleOf(element.name);
    const ElementRule* parent_rule = RuleOf(parent);
    if (element.ns != ns_ || !rule || !parent_rule ||
        !Contains(parent_rule->children, element.name)) {
      Fault(Concat("unknown element ", Quoted(element.name), " in ", parent));
      return false;
    }
    std::string id;
    for (const auto& [name, value] : element.attributes) {
      if (name == "id") id = value;
    }
    const std::string what = id.empty() ? element.name : Concat(element.name, " ", Quoted(id));
    for (const auto& [name, value] : element.attributes) {
      if (!Contains(rule->attributes, name)) {
        Fault(Concat("unknown attribute ", Quoted(name), " on ", what));
        return false;
      }
      if (IsCallback(name) && !knows_(value)) {
        Fault(Concat("unknown callback ", Quoted(value), " for ", name, " of ", what));
        return false;
      }
    }
    // Every element of the schema holds elements alone.
    if (element.text.find_first_not_of(" \t\r\n") != std::string::npos) {
      Fault(Concat("text in ", what));
      return false;
    }
    if (!id.empty() && !ids_.insert(id).second) {
      Fault(Concat("duplicate id ", Quoted(id)));
      return false;
    }
    return true;
  }

  // The element and everything in it (a control's content).
  bool CheckTree(const XmlElement& element, std::string_view parent) {
    if (!Check(element, parent)) return false;
    bool stands = true;
    for (const XmlElement& child : element.children)
      stands = CheckTree(child, element.name) && stands;
    return stands;
  }

  void Fault(std::string text) { errors_.push_back(std::move(text)); }

 private:
  std::string_view ns_;
  const std::function<bool(std::string_view)>& knows_;
  std::vector<std::string>& errors_;
  std::set<std::string> ids_;
};

std::string AttributeOf(const XmlElement& element, std::string_view name) {
  for (const auto& [n, value] : element.attributes) {
    if (n == name) return value;
  }
  return {};
}

constexpr std::pair<std::string_view, DeclaredControl::Kind> kKinds[] = {
    {"editBox", DeclaredControl::Kind::EditBox},
    {"toggleButton", DeclaredControl::Kind::ToggleButton},
    {"button", DeclaredControl::Kind::Button},
};

}  // namespace

CustomUi ReadCustomUi(std::string_view xml, int version,
                      const std::function<bool(std::string_view)>& knows_callback,
                      std::vector<std::string>& errors) {
  CustomUi ui;
  const std::optional<XmlElement> root = ParseXml(xml);
  if (!root) {
    errors.emplace_back("the customization XML is not well-formed");
    return ui;
  }
  // Office 2010 and later also read the 2009 schema.
  const bool known_ns = root->ns == kNamespace2006 || (version >= 14 && root->ns == kNamespace2009);
  if (root->name != "customUI" || !known_ns) {
    errors.push_back(Concat("the root element is not customUI of ", kNamespace2006));
    return ui;
  }
  Reader reader(root->ns, knows_callback, errors);
  for (const auto& [name, value] : root->attributes) {
    if (!Contains(RuleOf("customUI")->attributes, name)) {
      reader.Fault(Concat("unknown attribute ", Quoted(name), " on customUI"));
      return ui;
    }
    if (IsCallback(name) && !knows_callback(value)) {
      reader.Fault(Concat("unknown callback ", Quoted(value), " for ", name, " of customUI"));
      return ui;
    }
  }
  ui.on_load = AttributeOf(*root, "onLoad");
  for (const XmlElement& ribbon : root->children) {
    if (!reader.Check(ribbon, "customUI")) continue;
    for (const XmlElement& tabs : ribbon.children) {
      if (!reader.Check(tabs, "ribbon")) continue;
      for (const XmlElement& tab : tabs.children) {
        if (!reader.Check(tab, "tabs")) continue;
        for (const XmlElement& group : tab.children) {
          if (!reader.Check(group, "tab")) continue;
          DeclaredGroup declared{AttributeOf(group, "id"), AttributeOf(group, "label"), {}};
          for (const XmlElement& control : group.children) {
            if (!reader.CheckTree(control, "group")) continue;
            DeclaredControl c{};
            for (const auto& [name, kind] : kKinds) {
              if (name == control.name) c.kind = kind;
            }
            c.id = AttributeOf(control, "id");
            for (const auto& [name, value] : control.attributes) c.attributes[name] = value;
            declared.controls.push_back(std::move(c));
          }
          ui.groups.push_back(std::move(declared));
        }
      }
    }
  }
  return ui;
}

}  // namespace frambolist::sim
