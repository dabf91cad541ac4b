#pragma once
// The Office add-in connection interface (IDTExtensibility2, from the "Add-In
// Designer" type library): a dual interface whose vtable follows IDispatch's
// in this order. The hosts call it through the vtable.

#include <windows.h>
#include <oaidl.h>

namespace frambolist::win {

// {B65AD801-ABAF-11D0-BB8B-00A0C90F2744}
inline constexpr IID IID_IDTExtensibility2 = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};

enum ext_ConnectMode : int32_t {
  ext_cm_AfterStartup = 0,
  ext_cm_Startup = 1,
  ext_cm_External = 2,
  ext_cm_CommandLine = 3,
};
enum ext_DisconnectMode : int32_t {
  ext_dm_HostShutdown = 0,
  ext_dm_UserClosed = 1,
};

struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application,
                                                 ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                                 SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode,
                                                    SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

// Its DISPIDs, for callers that go through IDispatch.
enum ExtensibilityDispid : DISPID {
  kDispidOnConnection = 1,
  kDispidOnDisconnection = 2,
  kDispidOnAddInsUpdate = 3,
  kDispidOnStartupComplete = 4,
  kDispidOnBeginShutdown = 5,
};

// The add-in's own read-only property, for the test host program.
inline constexpr DISPID kDispidCurrentUnit = 0x100;

// Office 2007 and later ask a connected add-in for its ribbon through this
// dual interface ("Microsoft Office" type library), and then find and call
// the callbacks that the XML names through its IDispatch.
struct IRibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) = 0;
};

// The ribbon callbacks' DISPIDs: this one plus the callback's place in
// RibbonSurface::CallbackNames(), apart from the interfaces' own.
inline constexpr DISPID kDispidFirstRibbonCallback = 0x200;

}  // namespace frambolist::win

// The same IID for __uuidof (ComObject's QueryInterface, ComPtr::Query and
// IID_PPV_ARGS), as the SDK headers declare theirs.
__CRT_UUID_DECL(frambolist::win::IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x46)
__CRT_UUID_DECL(frambolist::win::IDTExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B, 0x00,
                0xA0, 0xC9, 0x0F, 0x27, 0x44)
