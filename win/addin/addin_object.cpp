#include "addin/addin_object.h"

#include <cwchar>

#include "com/dispatch_object.h"
#include "com/errors.h"
#include "com/guard.h"

namespace frambolist::win {

STDMETHODIMP AddinObject::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IDTExtensibility2)) {
    *out = static_cast<IDTExtensibility2*>(this);
  } else if (IsEqualIID(riid, IID_ISupportErrorInfo)) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP AddinObject::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, IID_IDTExtensibility2) ? S_OK : S_FALSE;
}

STDMETHODIMP AddinObject::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                       SAFEARRAY** /*custom*/) {
  return Guarded([&]() -> HRESULT {
    const host::Value application(Application ? DispatchObject::Wrap(Application) : host::ObjectRef());
    const host::Value add_in(AddInInst ? DispatchObject::Wrap(AddInInst) : host::ObjectRef());
    auto failure = connector_->AddinInstance_OnConnection(application, ConnectMode, add_in);
    if (failure) return ReturnError(*failure, IID_IDTExtensibility2);
    return S_OK;
  });
}

STDMETHODIMP AddinObject::OnBeginShutdown(SAFEARRAY** /*custom*/) {
  return Guarded([&] {
    connector_->AddinInstance_OnBeginShutdown();
    return S_OK;
  });
}

STDMETHODIMP AddinObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  static constexpr struct {
    const wchar_t* name;
    DISPID id;
  } kMethods[] = {{L"OnConnection", kDispidOnConnection},
                  {L"OnDisconnection", kDispidOnDisconnection},
                  {L"OnAddInsUpdate", kDispidOnAddInsUpdate},
                  {L"OnStartupComplete", kDispidOnStartupComplete},
                  {L"OnBeginShutdown", kDispidOnBeginShutdown}};
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (const auto& m : kMethods) {
    if (count > 0 && _wcsicmp(names[0], m.name) == 0) ids[0] = m.id;
  }
  if (count == 0 || ids[0] == DISPID_UNKNOWN || count > 1) hr = DISP_E_UNKNOWNNAME;
  return hr;
}

STDMETHODIMP AddinObject::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* info, UINT*) {
  if (result) VariantInit(result);
  if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
  const UINT argc = params ? params->cArgs : 0;
  // The argument `n` from the left, or null; rgvarg holds them last first.
  auto arg = [&](UINT n) -> VARIANT* { return n < argc ? &params->rgvarg[argc - 1 - n] : nullptr; };
  auto dispatch_of = [](VARIANT* v) -> IDispatch* {
    if (!v) return nullptr;
    if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
    if (V_VT(v) == (VT_DISPATCH | VT_BYREF)) return *V_DISPATCHREF(v);
    return nullptr;
  };
  HRESULT hr = S_OK;
  switch (dispid) {
    case kDispidOnConnection: {
      if (argc < 3) return DISP_E_BADPARAMCOUNT;
      VARIANT mode;
      VariantInit(&mode);
      if (FAILED(VariantChangeType(&mode, arg(1), 0, VT_I4))) return DISP_E_TYPEMISMATCH;
      hr = OnConnection(dispatch_of(arg(0)), static_cast<ext_ConnectMode>(V_I4(&mode)), dispatch_of(arg(2)), nullptr);
      break;
    }
    case kDispidOnDisconnection:
    case kDispidOnAddInsUpdate:
    case kDispidOnStartupComplete: return S_OK;
    case kDispidOnBeginShutdown: hr = OnBeginShutdown(nullptr); break;
    default: return DISP_E_MEMBERNOTFOUND;
  }
  if (FAILED(hr)) {
    FillExcepInfo(ErrorFromResult(hr, static_cast<IDTExtensibility2*>(this), IID_IDTExtensibility2), info);
    return DISP_E_EXCEPTION;
  }
  return S_OK;
}

}  // namespace frambolist::win
