// XML as expat reads it, with namespace processing: names arrive as
// "URI|local".

#include <expat.h>

#include <memory>

#include "sim/custom_ui.h"

namespace frambolist::sim {

namespace {

constexpr char kSeparator = '|';

std::pair<std::string, std::string> Split(const char* qualified) {
  std::string_view name(qualified);
  const size_t bar = name.rfind(kSeparator);
  if (bar == std::string_view::npos) return {"", std::string(name)};
  return {std::string(name.substr(0, bar)), std::string(name.substr(bar + 1))};
}

struct Reading {
  std::optional<XmlElement> root;
  std::vector<XmlElement*> open;
};

void XMLCALL Start(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto& r = *static_cast<Reading*>(data);
  XmlElement element;
  std::tie(element.ns, element.name) = Split(name);
  for (size_t i = 0; attributes[i]; i += 2) {
    auto [qualified, local] = Split(attributes[i]);  // the namespace, if any, then the local name
    if (qualified.empty()) {
      qualified = std::move(local);
    } else {
      qualified += ':';
      qualified += local;
    }
    element.attributes.emplace_back(std::move(qualified), attributes[i + 1]);
  }
  if (r.open.empty()) {
    r.root = std::move(element);
    r.open.push_back(&*r.root);
  } else {
    r.open.back()->children.push_back(std::move(element));
    r.open.push_back(&r.open.back()->children.back());
  }
}

void XMLCALL End(void* data, const XML_Char*) { static_cast<Reading*>(data)->open.pop_back(); }

void XMLCALL Characters(void* data, const XML_Char* text, int length) {
  auto& r = *static_cast<Reading*>(data);
  if (!r.open.empty()) r.open.back()->text.append(text, static_cast<size_t>(length));
}

}  // namespace

std::optional<XmlElement> ParseXml(std::string_view text) {
  const std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(
      XML_ParserCreateNS("UTF-8", kSeparator), &XML_ParserFree);
  if (!parser) return std::nullopt;
  Reading reading;
  XML_SetUserData(parser.get(), &reading);
  XML_SetElementHandler(parser.get(), &Start, &End);
  XML_SetCharacterDataHandler(parser.get(), &Characters);
  if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) !=
      XML_STATUS_OK)
    return std::nullopt;
  return std::move(reading.root);
}

}  // namespace frambolist::sim
