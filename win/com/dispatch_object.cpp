#include "com/dispatch_object.h"

#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "com/errors.h"
#include "com/event_sink.h"
#include "com/event_table.h"
#include "com/strings.h"

namespace frambolist::win {

namespace {

// What Visual Basic for Applications passes to every late-bound call.
constexpr LCID kEnglishUs = 1033;

class Client final : public ObjectBridge {
 public:
  ComPtr<IDispatch> ToDispatch(const host::ObjectRef& object) const override {
    auto* wrapper = dynamic_cast<DispatchObject*>(object.get());
    return ComPtr<IDispatch>(wrapper ? wrapper->dispatch() : nullptr);
  }
  host::ObjectRef ToObject(IDispatch* dispatch) const override {
    return DispatchObject::Wrap(dispatch);
  }
};

}  // namespace

const ObjectBridge& ClientBridge() {
  static const Client bridge;
  return bridge;
}

host::ObjectRef DispatchObject::Wrap(IDispatch* dispatch) {
  return host::ObjectRef::Adopt(new DispatchObject(dispatch));
}

host::Outcome<DISPID> DispatchObject::IdOf(std::string_view member) {
  if (member.empty()) return DISPID{DISPID_VALUE};  // the default member
  for (const auto& [name, id] : dispids_) {
    if (name == member) return id;
  }
  std::wstring name = Widen(member);
  LPOLESTR names[] = {name.data()};
  DISPID dispid = DISPID_UNKNOWN;
  const HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, kEnglishUs, &dispid);
  if (FAILED(hr)) return ErrorFromNameLookup(hr);  // not kept: asked again next time
  dispids_.emplace_back(member, dispid);
  return dispid;
}

host::Outcome<host::Value> DispatchObject::Invoke(std::string_view member, WORD flags,
                                                  std::span<const host::Value> args) {
  const host::Outcome<DISPID> id = IdOf(member);
  if (!id.ok()) return id.error();
  const DISPID dispid = id.value();
  // Arguments go last first.
  std::vector<Variant> reversed;
  reversed.reserve(args.size());
  for (auto it = args.rbegin(); it != args.rend(); ++it)
    reversed.push_back(VariantFromValue(*it, ClientBridge()));
  static_assert(sizeof(Variant) == sizeof(VARIANT));
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS params{reinterpret_cast<VARIANT*>(reversed.data()), nullptr,
                    static_cast<UINT>(reversed.size()), 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put_id;
    params.cNamedArgs = 1;
  }
  Variant result;
  EXCEPINFO info{};
  UINT arg_error = 0;
  const HRESULT hr =
      dispatch_->Invoke(dispid, IID_NULL, kEnglishUs, flags, &params,
                        flags == DISPATCH_PROPERTYPUT ? nullptr : result.ptr(), &info, &arg_error);
  if (FAILED(hr)) return ErrorFromInvoke(hr, info);
  return ValueFromVariant(result.get(), ClientBridge());
}

host::Outcome<host::Value> DispatchObject::Get(std::string_view member,
                                               std::span<const host::Value> args) {
  return Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args);
}

host::Outcome<host::Value> DispatchObject::Call(std::string_view member,
                                                std::span<const host::Value> args) {
  return Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
}

host::Outcome<void> DispatchObject::Put(std::string_view member, const host::Value& value) {
  auto outcome = Invoke(member, DISPATCH_PROPERTYPUT, std::span<const host::Value>(&value, 1));
  if (!outcome.ok()) return outcome.error();
  return {};
}

host::Outcome<host::Subscription> DispatchObject::Subscribe(std::string_view interface_id,
                                                            std::shared_ptr<host::EventSink> sink) {
  const std::optional<IID> known = EventInterfaceOf(interface_id);
  if (!known) return host::errors::NoEvents();
  const IID& iid = *known;
  // What the hosts' type libraries name is all a sink can be called with.
  for (std::string_view handled : sink->Handles()) {
    if (!FindEvent(iid, handled)) return host::errors::NoSuchEvent(handled);
  }
  auto container = dispatch_.Query<IConnectionPointContainer>();
  if (!container) return host::errors::NoEvents();
  ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(iid, point.Receive())) || !point)
    return host::errors::NoEvents();
  auto adapter = EventSinkDispatch::New(iid, std::move(sink));
  DWORD cookie = 0;
  if (FAILED(point->Advise(adapter.get(), &cookie))) return host::errors::NoEvents();
  return host::Subscription([point, cookie] { point->Unadvise(cookie); });
}

}  // namespace frambolist::win
