#pragma once
// The ribbon XML that an add-in hands Office (customUI), read and checked as
// Office reads it with "Show add-in user interface errors" on: each fault is
// reported, and the part it concerns is left out. The checks hold the
// subset of Office's published customUI schema that a group of edit boxes
// and buttons on a built-in tab can use.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace frambolist::sim {

// An element as an XML parser hands it over: its namespace URI and local
// name, its attributes (without namespace declarations), its elements.
struct XmlElement {
  std::string ns, name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<XmlElement> children;
  std::string text;  // the character data directly inside it, white space included
};

// A real XML parser's reading of `text` (expat natively, MSXML under
// Windows); none where the text is not well-formed XML.
std::optional<XmlElement> ParseXml(std::string_view text);

struct DeclaredControl {
  enum class Kind { EditBox, ToggleButton, Button };
  Kind kind;
  std::string id;
  // Every attribute as written: label, screentip, keytip, and the callbacks
  // (getText="Name", onChange="Name"...).
  std::map<std::string, std::string> attributes;

  const std::string* Attribute(std::string_view name) const {
    auto found = attributes.find(std::string(name));
    return found == attributes.end() ? nullptr : &found->second;
  }
};

struct DeclaredGroup {
  std::string id, label;
  std::vector<DeclaredControl> controls;
};

struct CustomUi {
  std::string on_load;  // the onLoad callback, or empty
  std::vector<DeclaredGroup> groups;
};

// Reads `xml` for a host of Office version `version`. `knows_callback` is the
// add-in's GetIDsOfNames; every fault goes to `errors` in our own words.
CustomUi ReadCustomUi(std::string_view xml, int version,
                      const std::function<bool(std::string_view)>& knows_callback,
                      std::vector<std::string>& errors);

}  // namespace frambolist::sim
