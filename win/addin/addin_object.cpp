#include "addin/addin_object.h"

#include <cwchar>
#include <vector>

#include "com/dispatch_object.h"
#include "com/errors.h"
#include "com/guard.h"
#include "com/strings.h"
#include "com/variant.h"
#include "host/names.h"
#include "procs/units.h"

namespace frambolist::win {

// cannot throw: compares interface IDs
STDMETHODIMP AddinObject::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, IID_IDTExtensibility2) ? S_OK : S_FALSE;
}

STDMETHODIMP AddinObject::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                       IDispatch* AddInInst, SAFEARRAY** /*custom*/) {
  return Guarded([&]() -> HRESULT {
    // The host may release this object from inside a message box of the
    // connection; the connector stays for the length of the call.
    const auto connector = connector_;
    const host::Value application(Application ? DispatchObject::Wrap(Application)
                                              : host::ObjectRef());
    const host::Value add_in(AddInInst ? DispatchObject::Wrap(AddInInst) : host::ObjectRef());
    auto failure = connector->AddinInstance_OnConnection(application, ConnectMode, add_in);
    if (failure) return ReturnError(*failure, IID_IDTExtensibility2);
    return S_OK;
  });
}

STDMETHODIMP AddinObject::OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** /*custom*/) {
  return Guarded([&] {
    connector_->AddinInstance_OnDisconnection(RemoveMode);
    return S_OK;
  });
}

STDMETHODIMP AddinObject::OnBeginShutdown(SAFEARRAY** /*custom*/) {
  return Guarded([&] {
    connector_->AddinInstance_OnBeginShutdown();
    return S_OK;
  });
}

STDMETHODIMP AddinObject::GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) {
  if (!RibbonXml) return E_POINTER;
  *RibbonXml = nullptr;
  return Guarded([&] {
    const std::string id = RibbonID ? Narrow(RibbonID, SysStringLen(RibbonID)) : std::string();
    *RibbonXml = Bstr(Widen(connector_->GetCustomUI(id))).Release();
    return S_OK;
  });
}

// Runs inside Invoke's guard. Arguments arrive last first; Office keeps what
// it passed, so they are read, not owned.
HRESULT AddinObject::InvokeRibbonCallback(DISPID dispid, DISPPARAMS* params, VARIANT* result) {
  const auto callbacks = connectors::RibbonSurface::CallbackNames();
  const auto index = static_cast<size_t>(dispid - kDispidFirstRibbonCallback);
  if (index >= callbacks.size()) return DISP_E_MEMBERNOTFOUND;
  const UINT argc = params ? params->cArgs : 0;
  std::vector<host::Value> args;
  for (UINT i = argc; i-- > 0;) args.push_back(ValueFromVariant(params->rgvarg[i], ClientBridge()));
  // The host may release this object while a dialog of the callback is up.
  const auto connector = connector_;
  auto answer = connector->RibbonCallback(callbacks[index], args);
  if (!answer.ok()) {
    return answer.error() == host::errors::WrongArgumentCount() ? DISP_E_BADPARAMCOUNT
                                                                : DISP_E_MEMBERNOTFOUND;
  }
  if (result) VariantFromValue(answer.value(), ClientBridge()).MoveTo(result);
  return S_OK;
}

STDMETHODIMP AddinObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  static constexpr struct {
    const char* name;
    DISPID id;
  } kMembers[] = {
      {"OnConnection", kDispidOnConnection},       {"OnDisconnection", kDispidOnDisconnection},
      {"OnAddInsUpdate", kDispidOnAddInsUpdate},   {"OnStartupComplete", kDispidOnStartupComplete},
      {"OnBeginShutdown", kDispidOnBeginShutdown}, {"CurrentUnit", kDispidCurrentUnit}};
  if (!names || !ids) return E_POINTER;
  return Guarded([&]() -> HRESULT {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count > 0 && names[0]) {
      const std::string name = Narrow(names[0]);  // allocates
      for (const auto& m : kMembers) {
        if (host::EqualsIgnoringCase(name, m.name)) ids[0] = m.id;
      }
      const auto callbacks = connectors::RibbonSurface::CallbackNames();
      for (size_t i = 0; i < callbacks.size(); ++i) {
        if (host::EqualsIgnoringCase(name, callbacks[i]))
          ids[0] = kDispidFirstRibbonCallback + static_cast<DISPID>(i);
      }
    }
    return count == 1 && ids[0] != DISPID_UNKNOWN ? S_OK : DISP_E_UNKNOWNNAME;
  });
}

STDMETHODIMP AddinObject::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* info, UINT*) {
  return Guarded([&]() -> HRESULT {
    if (result) VariantInit(result);
    if (dispid == kDispidCurrentUnit) {
      if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
      if (!result) return E_POINTER;
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = Bstr(Widen(procs::NameOf(procs::CurrentUnit))).Release();
      return S_OK;
    }
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (dispid >= kDispidFirstRibbonCallback) return InvokeRibbonCallback(dispid, params, result);
    const UINT argc = params ? params->cArgs : 0;
    // The argument `n` from the left, or null; rgvarg holds them last first.
    auto arg = [&](UINT n) -> VARIANT* {
      return n < argc ? &params->rgvarg[argc - 1 - n] : nullptr;
    };
    auto dispatch_of = [](VARIANT* v) -> IDispatch* {
      if (!v) return nullptr;
      if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
      if (V_VT(v) == (VT_DISPATCH | VT_BYREF)) return *V_DISPATCHREF(v);
      return nullptr;
    };
    auto long_of = [](VARIANT* v, LONG& out) {
      Variant converted;
      if (!v || FAILED(VariantChangeType(converted.ptr(), v, 0, VT_I4))) return false;
      out = V_I4(converted.ptr());
      return true;
    };
    HRESULT hr = S_OK;
    LONG mode = 0;
    switch (dispid) {
      case kDispidOnConnection:
        if (argc < 3) return DISP_E_BADPARAMCOUNT;
        if (!long_of(arg(1), mode)) return DISP_E_TYPEMISMATCH;
        hr = OnConnection(dispatch_of(arg(0)), static_cast<ext_ConnectMode>(mode),
                          dispatch_of(arg(2)), nullptr);
        break;
      case kDispidOnDisconnection:
        if (argc < 1) return DISP_E_BADPARAMCOUNT;
        if (!long_of(arg(0), mode)) return DISP_E_TYPEMISMATCH;
        hr = OnDisconnection(static_cast<ext_DisconnectMode>(mode), nullptr);
        break;
      case kDispidOnAddInsUpdate:
      case kDispidOnStartupComplete:
        return S_OK;
      case kDispidOnBeginShutdown:
        hr = OnBeginShutdown(nullptr);
        break;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (FAILED(hr)) {
      FillExcepInfo(
          ErrorFromResult(hr, static_cast<IDTExtensibility2*>(this), IID_IDTExtensibility2), info);
      return DISP_E_EXCEPTION;
    }
    return S_OK;
  });
}

}  // namespace frambolist::win
