#pragma once
// Text as it stands inside an XML attribute or element: the ribbon's XML
// and the installer's registry rows both write it.

#include <string>
#include <string_view>

namespace frambolist::connectors {

inline std::string XmlEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace frambolist::connectors
