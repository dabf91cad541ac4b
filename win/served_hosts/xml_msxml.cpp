// XML as the platform's MSXML reads it, for the simulated Office's ribbon
// under Windows: the document object late-bound through our own IDispatch
// client, walked element by element.

#include <windows.h>
#include <oleauto.h>

#include "com/com_ptr.h"
#include "com/dispatch_object.h"
#include "com/strings.h"
#include "host/dispatch.h"
#include "sim/custom_ui.h"

namespace frambolist::sim {

namespace {

using host::Dispatch;
using host::Value;
using win::ComPtr;

constexpr int32_t kElementNode = 1;  // DOMNodeType NODE_ELEMENT
constexpr int32_t kTextNode = 3;     // NODE_TEXT (white space alone is dropped on loading)
constexpr int32_t kCDataNode = 4;    // NODE_CDATA_SECTION

std::string Text(const Dispatch& node, std::string_view member) {
  return node.Get(member).ToText().ValueOrThrow();
}

int32_t Count(const Dispatch& list) { return list.Get("length").ToLong().ValueOrThrow(); }

XmlElement Read(const Dispatch& node) {
  XmlElement element{Text(node, "namespaceURI"), Text(node, "baseName"), {}, {}, {}};
  // XPath's attribute axis leaves the namespace declarations out (Wine's
  // MSXML fails to hand those over as nodes).
  const Dispatch attributes = node.Obj("selectNodes", {Value("@*")});
  for (int32_t i = 0, n = Count(attributes); i < n; ++i) {
    const Dispatch attribute = attributes.Obj("item", {Value(i)});
    const std::string name = Text(attribute, "nodeName");
    if (name == "xmlns" || name.starts_with("xmlns:")) continue;
    const std::string ns = Text(attribute, "namespaceURI");
    const std::string local = Text(attribute, "baseName");
    std::string qualified = ns;
    if (!ns.empty()) qualified.append(":");
    qualified.append(local);
    element.attributes.emplace_back(std::move(qualified), Text(attribute, "nodeValue"));
  }
  const Dispatch children = node.Obj("childNodes");
  for (int32_t i = 0, n = Count(children); i < n; ++i) {
    const Dispatch child = children.Obj("item", {Value(i)});
    const int32_t type = child.Get("nodeType").ToLong().ValueOrThrow();
    if (type == kElementNode) element.children.push_back(Read(child));
    if (type == kTextNode || type == kCDataNode) element.text += Text(child, "nodeValue");
  }
  return element;
}

ComPtr<IDispatch> NewDocument() {
  for (const wchar_t* prog_id : {L"Msxml2.DOMDocument.6.0", L"Msxml2.DOMDocument.3.0"}) {
    CLSID clsid;
    ComPtr<IDispatch> document;
    if (SUCCEEDED(CLSIDFromProgID(prog_id, &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(document.Receive()))))
      return document;
  }
  return {};
}

}  // namespace

std::optional<XmlElement> ParseXml(std::string_view text) {
  const ComPtr<IDispatch> created = NewDocument();
  if (!created) return std::nullopt;
  const Dispatch document(win::DispatchObject::Wrap(created.get()));
  try {
    document.Put("async", Value(false));
    document.Put("resolveExternals", Value(false));
    document.Call("setProperty", {Value("SelectionLanguage"), Value("XPath")});
    if (!document.Call("loadXML", {Value(std::string(text))}).ToBool().ValueOrThrow())
      return std::nullopt;
    const Dispatch root = document.Obj("documentElement");
    if (!root) return std::nullopt;
    return Read(root);
  } catch (const host::HostFailure&) {
    return std::nullopt;
  }
}

}  // namespace frambolist::sim
