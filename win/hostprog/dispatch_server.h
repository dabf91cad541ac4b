#pragma once
// The simulated hosts served over COM: each host::Object of the simulation
// is handed to the add-in as an IDispatch with connection points, firing the
// Office DISPIDs, so the add-in meets them exactly as it meets Office.

#include <ocidl.h>

#include "com/com_object.h"
#include "com/no_type_info.h"
#include "com/values.h"
#include "host/object.h"

namespace frambolist::win {

class SimDispatch final : public ComObject<SimDispatch, IDispatch>, public IConnectionPointContainer {
 public:
  explicit SimDispatch(host::ObjectRef object) : object_(std::move(object)) {}
  const host::ObjectRef& object() const { return object_; }

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ComObject::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return ComObject::Release(); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return NoTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return NoTypeInfo(info); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* info, UINT* arg_error) override;

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

 private:
  host::ObjectRef object_;
};

// The bridge the host program uses: its objects go out as SimDispatch, and
// come back unwrapped.
const ObjectBridge& ServerBridge();

}  // namespace frambolist::win
