#pragma once
// A connector as the COM object a host creates: IDTExtensibility2 (vtable and
// IDispatch) over the core's Connector, with error info for the failure that
// Excel's connection reports. Besides the interface's five methods, its
// IDispatch answers the read-only property CurrentUnit, the add-in's display
// unit, for the test host program (Office never asks for it). In Office 2007
// and later it is also the ribbon's IRibbonExtensibility.

#include <memory>

#include "com/extensibility.h"
#include "com/com_object.h"
#include "com/no_type_info.h"
#include "connectors/connector.h"

namespace frambolist::win {

class AddinObject final
    : public ComObject<AddinObject, IDTExtensibility2, IRibbonExtensibility, ISupportErrorInfo> {
 public:
  explicit AddinObject(std::shared_ptr<connectors::Connector> connector)
      : connector_(std::move(connector)) {}
  // The host's last release. A handler of the connector's that is still
  // running (in a modal window) keeps it until it returns, and makes no
  // further call into the host.
  ~AddinObject() override { connector_->HostReleased(); }

  // IDispatch
  // cannot throw: writes a zero
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return NoTypeInfoCount(count); }
  // cannot throw: writes a null
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return NoTypeInfo(info); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* info, UINT* arg_error) override;

  // IDTExtensibility2
  STDMETHODIMP OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                            IDispatch* AddInInst, SAFEARRAY** custom) override;
  // The toolbar stays; the connector stops receiving events.
  STDMETHODIMP OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) override;
  // cannot throw: does nothing
  STDMETHODIMP OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  // cannot throw: does nothing
  STDMETHODIMP OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  STDMETHODIMP OnBeginShutdown(SAFEARRAY** custom) override;

  // IRibbonExtensibility (Office 2007 and later). Its IDispatch is the one
  // above, which also finds and calls the callbacks that the XML names; a
  // callback answers S_OK whatever its handler met.
  STDMETHODIMP GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  HRESULT InvokeRibbonCallback(DISPID dispid, DISPPARAMS* params, VARIANT* result);

  std::shared_ptr<connectors::Connector> connector_;
};

}  // namespace frambolist::win
