#include "com/errors.h"

#include <optional>

#include "com/com_ptr.h"
#include "com/strings.h"

namespace frambolist::win {

namespace {

std::string SystemMessage(HRESULT hr) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (n > 0 && text) {
    message = Narrow(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
      message.pop_back();
  }
  LocalFree(text);
  return message.empty() ? "Automation error" : message;
}

// What Visual Basic makes of the dispatch errors that late binding meets.
std::optional<host::HostError> DispatchError(HRESULT hr) {
  switch (hr) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
      return host::errors::MemberNotSupported();
    case DISP_E_TYPEMISMATCH:
      return host::errors::TypeMismatch();
    case DISP_E_OVERFLOW:
      return host::errors::Overflow();
    case DISP_E_BADPARAMCOUNT:
      return host::HostError{450, "Wrong number of arguments or invalid property assignment"};
    case DISP_E_PARAMNOTOPTIONAL:
      return host::HostError{449, "Argument not optional"};
    default:
      return std::nullopt;
  }
}

// A failing IDispatch call that is no exception of the server's.
host::HostError ErrorFromDispatchResult(HRESULT hr) {
  if (auto e = DispatchError(hr)) return *e;
  return {host::ErrorNumberFromResult(static_cast<uint32_t>(hr)), SystemMessage(hr)};
}

}  // namespace

host::HostError ErrorFromInvoke(HRESULT hr, EXCEPINFO& info) {
  if (hr != DISP_E_EXCEPTION) return ErrorFromDispatchResult(hr);
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  Bstr source = Bstr::Attach(info.bstrSource);
  Bstr description = Bstr::Attach(info.bstrDescription);
  Bstr help = Bstr::Attach(info.bstrHelpFile);
  info.bstrSource = info.bstrDescription = info.bstrHelpFile = nullptr;
  // A server that fills in neither wCode nor scode still failed: the failure
  // is DISP_E_EXCEPTION itself, never a number 0 that reads as success.
  const HRESULT code = info.wCode != 0      ? MAKE_HRESULT(1, 0x0A, info.wCode)
                       : FAILED(info.scode) ? info.scode
                                            : hr;
  host::HostError error{host::ErrorNumberFromResult(static_cast<uint32_t>(code)),
                        description.Utf8()};
  if (error.description.empty()) error.description = SystemMessage(code);
  return error;
}

host::HostError ErrorFromNameLookup(HRESULT hr) { return ErrorFromDispatchResult(hr); }

host::HostError ErrorFromResult(HRESULT hr, IUnknown* source, REFIID iid) {
  host::HostError error{host::ErrorNumberFromResult(static_cast<uint32_t>(hr)), {}};
  ComPtr<ISupportErrorInfo> supports;
  if (source) source->QueryInterface(IID_PPV_ARGS(supports.Receive()));
  if (supports && supports->InterfaceSupportsErrorInfo(iid) == S_OK) {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Receive()) == S_OK && info) {
      Bstr description;
      if (SUCCEEDED(info->GetDescription(description.Receive())))
        error.description = description.Utf8();
    }
  }
  if (error.description.empty()) error.description = SystemMessage(hr);
  return error;
}

void FillExcepInfo(const host::HostError& error, EXCEPINFO* info) {
  if (!info) return;
  *info = EXCEPINFO{};
  if (error.number > 0 && error.number <= 0xFFFF) {
    info->wCode = static_cast<WORD>(error.number);
  } else {
    info->scode = static_cast<SCODE>(host::ResultFromErrorNumber(error.number));
  }
  info->bstrDescription = Bstr(Widen(error.description)).Release();
}

HRESULT ReturnError(const host::HostError& error, REFIID iid) {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.Receive()))) {
    create->SetGUID(iid);
    std::wstring description = Widen(error.description);
    create->SetDescription(description.data());
    if (auto info = create.Query<IErrorInfo>()) SetErrorInfo(0, info.get());
  }
  return static_cast<HRESULT>(host::ResultFromErrorNumber(error.number));
}

}  // namespace frambolist::win
