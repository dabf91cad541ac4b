#include "served_hosts/dispatch_server.h"

#include <olectl.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <memory>
#include <vector>

#include "com/dispatch_object.h"
#include "com/errors.h"
#include "com/event_table.h"
#include "com/guard.h"
#include "com/strings.h"
#include "host/names.h"
#include "sim/sim_object.h"

namespace frambolist::win {

namespace {

// Lets the bridge recognise our own objects when they come back.
// {6A1E5C4B-7F35-4C1A-9E0D-2B8C3F4A5D61}
constexpr IID kIID_SimDispatch = {
    0x6A1E5C4B, 0x7F35, 0x4C1A, {0x9E, 0x0D, 0x2B, 0x8C, 0x3F, 0x4A, 0x5D, 0x61}};

// Member names get DISPIDs on first use, the same for every object; names
// are case-insensitive as in Office.
class DispidTable {
 public:
  DISPID IdOf(const std::wstring& wide_name) {
    const std::string name = Narrow(wide_name);
    auto [it, added] = ids_.try_emplace(name, next_);
    if (added) names_[next_++] = name;
    return it->second;
  }
  const std::string* NameOf(DISPID id) const {
    auto it = names_.find(id);
    return it == names_.end() ? nullptr : &it->second;
  }

 private:
  std::map<std::string, DISPID, host::LessIgnoringCase> ids_;
  std::map<DISPID, std::string> names_;
  DISPID next_ = 1000;
};

DispidTable& Dispids() {
  static DispidTable table;
  return table;
}

class Server final : public ObjectBridge {
 public:
  ComPtr<IDispatch> ToDispatch(const host::ObjectRef& object) const override {
    if (!object) return {};
    if (auto* client = dynamic_cast<DispatchObject*>(object.get()))
      return ComPtr<IDispatch>(client->dispatch());
    auto served = SimDispatch::Serve(object);
    return ComPtr<IDispatch>(static_cast<IDispatch*>(served.get()));
  }
  host::ObjectRef ToObject(IDispatch* dispatch) const override {
    ComPtr<IUnknown> ours;
    if (dispatch && SUCCEEDED(dispatch->QueryInterface(kIID_SimDispatch, ours.ReceiveVoid())) &&
        ours) {
      return static_cast<SimDispatch*>(static_cast<IDispatch*>(ours.get()))->object();
    }
    return DispatchObject::Wrap(dispatch);
  }
};

// An add-in's sink on one of our connection points: events by name become
// Invoke calls with the Office DISPIDs, arguments last first, CancelDefault
// by reference.
class SinkAdapter final : public host::EventSink {
 public:
  SinkAdapter(REFIID iid, ComPtr<IDispatch> sink) : iid_(iid), sink_(std::move(sink)) {}

  // A COM sink takes every event of its interface, by DISPID.
  std::span<const std::string_view> Handles() const override { return {}; }

  std::optional<host::HostError> OnEvent(std::string_view event,
                                         std::span<host::Value> args) override {
    const EventEntry* entry = FindEvent(iid_, event);
    if (!entry) return std::nullopt;
    std::vector<Variant> reversed(args.size());
    VARIANT_BOOL by_ref = VARIANT_FALSE;
    for (size_t i = 0; i < args.size(); ++i) {
      Variant& slot = reversed[args.size() - 1 - i];
      if (static_cast<int>(i) == entry->by_ref_bool) {
        by_ref = args[i].is<bool>() && args[i].as<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
        V_VT(slot.ptr()) = VT_BOOL | VT_BYREF;
        V_BOOLREF(slot.ptr()) = &by_ref;
      } else {
        slot = VariantFromValue(args[i], ServerBridge());
      }
    }
    DISPPARAMS params{reinterpret_cast<VARIANT*>(reversed.data()), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO info{};
    Variant result;
    const HRESULT hr = sink_->Invoke(entry->dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                     &params, result.ptr(), &info, nullptr);
    if (entry->by_ref_bool >= 0 && static_cast<size_t>(entry->by_ref_bool) < args.size()) {
      args[static_cast<size_t>(entry->by_ref_bool)] = host::Value(by_ref != VARIANT_FALSE);
      V_VT(reversed[args.size() - 1 - static_cast<size_t>(entry->by_ref_bool)].ptr()) = VT_EMPTY;
    }
    if (FAILED(hr)) return ErrorFromInvoke(hr, info);
    return std::nullopt;
  }

 private:
  IID iid_;
  ComPtr<IDispatch> sink_;
};

class ConnectionPoint final : public ComObject<ConnectionPoint, IConnectionPoint> {
 public:
  ConnectionPoint(host::ObjectRef source, REFIID iid) : source_(std::move(source)), iid_(iid) {}

  // cannot throw: copies an IID
  STDMETHODIMP GetConnectionInterface(IID* iid) override {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
  }
  // cannot throw: refuses
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
    return Guarded([&]() -> HRESULT {
      if (!sink || !cookie) return E_POINTER;
      *cookie = 0;
      ComPtr<IDispatch> dispatch;
      if (FAILED(sink->QueryInterface(IID_PPV_ARGS(dispatch.Receive()))))
        return CONNECT_E_CANNOTCONNECT;
      wchar_t text[64] = {};
      StringFromGUID2(iid_, text, 64);
      auto adapter = std::make_shared<SinkAdapter>(iid_, dispatch);
      auto subscription = source_->Subscribe(Narrow(text), adapter);
      if (!subscription.ok()) return CONNECT_E_CANNOTCONNECT;
      *cookie = next_cookie_++;
      connections_.push_back({*cookie, std::move(adapter), std::move(subscription.value())});
      return S_OK;
    });
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    return Guarded([&]() -> HRESULT {
      auto it = std::find_if(connections_.begin(), connections_.end(),
                             [&](const auto& c) { return c.cookie == cookie; });
      if (it == connections_.end()) return CONNECT_E_NOCONNECTION;
      it->subscription.End();
      connections_.erase(it);
      return S_OK;
    });
  }
  // cannot throw: refuses
  STDMETHODIMP EnumConnections(IEnumConnections** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  struct Connection {
    DWORD cookie;
    std::shared_ptr<SinkAdapter> adapter;
    host::Subscription subscription;
  };
  host::ObjectRef source_;
  IID iid_;
  std::vector<Connection> connections_;
  DWORD next_cookie_ = 1;
};

}  // namespace

namespace {
// The served objects that are out, by the simulated object they serve.
std::map<const host::Object*, SimDispatch*>& Served() {
  static std::map<const host::Object*, SimDispatch*> served;
  return served;
}
}  // namespace

SimDispatch::SimDispatch(host::ObjectRef object) : object_(std::move(object)) {
  Served()[object_.get()] = this;
}

SimDispatch::~SimDispatch() { Served().erase(object_.get()); }

ComPtr<SimDispatch> SimDispatch::Serve(const host::ObjectRef& object) {
  if (auto found = Served().find(object.get()); found != Served().end())
    return ComPtr<SimDispatch>(found->second);
  return New(object);
}

const ObjectBridge& ServerBridge() {
  static const Server bridge;
  return bridge;
}

void* SimDispatch::OtherInterface(REFIID riid) {
  return IsEqualIID(riid, kIID_SimDispatch) ? static_cast<IDispatch*>(this) : nullptr;
}

ServedFaults& ServerFaults() {
  static ServedFaults faults;
  return faults;
}

ServedCalls& ServerCalls() {
  static ServedCalls calls;
  return calls;
}

namespace {
constexpr LCID kEnglishUs = 1033;

// A simulated failure that Office's typed objects report as a result code of
// IDispatch itself rather than as an exception.
HRESULT FailureOf(const host::HostError& error, EXCEPINFO* info) {
  if (error == sim::host_errors::BadParamCount()) return DISP_E_BADPARAMCOUNT;
  if (error == sim::host_errors::ParamNotOptional()) return DISP_E_PARAMNOTOPTIONAL;
  FillExcepInfo(error, info);
  return DISP_E_EXCEPTION;
}
}  // namespace

STDMETHODIMP SimDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid,
                                        DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  ++ServerCalls().name_lookups;
  return Guarded([&]() -> HRESULT {
    if (lcid != kEnglishUs) return kLocaleRefused;
    if (count > 0 && !ServerFaults().name_lookup_member.empty() &&
        Narrow(names[0]) == ServerFaults().name_lookup_member) {
      return ServerFaults().name_lookup_result;
    }
    for (UINT i = 0; i < count; ++i) ids[i] = i == 0 ? Dispids().IdOf(names[0]) : DISPID_UNKNOWN;
    return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  });
}

STDMETHODIMP SimDispatch::Invoke(DISPID dispid, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* info, UINT*) {
  ++ServerCalls().invokes;
  return Guarded([&]() -> HRESULT {
    if (result) VariantInit(result);
    if (lcid != kEnglishUs) return kLocaleRefused;
    std::string member;
    if (dispid != DISPID_VALUE) {
      const std::string* name = Dispids().NameOf(dispid);
      if (!name) return DISP_E_MEMBERNOTFOUND;
      member = *name;
    }
    if (!member.empty() && member == ServerFaults().empty_exception_member) {
      if (info) *info = EXCEPINFO{};
      return DISP_E_EXCEPTION;
    }
    const UINT argc = params ? params->cArgs : 0;
    std::vector<host::Value> args;
    for (UINT i = argc; i-- > 0;)
      args.push_back(ValueFromVariant(params->rgvarg[i], ServerBridge()));

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (args.empty()) return DISP_E_BADPARAMCOUNT;
      auto put =
          object_->Put(member, args.back());  // the value is the named DISPID_PROPERTYPUT argument
      return put.ok() ? S_OK : FailureOf(put.error(), info);
    }
    auto got = object_->Get(member, args);
    if (!got.ok()) return FailureOf(got.error(), info);
    if (result) VariantFromValue(got.value(), ServerBridge()).MoveTo(result);
    return S_OK;
  });
}

// cannot throw: refuses
STDMETHODIMP SimDispatch::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP SimDispatch::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Guarded([&]() -> HRESULT {
    *out = ConnectionPoint::New(object_, riid).Detach();
    return S_OK;
  });
}

}  // namespace frambolist::win
