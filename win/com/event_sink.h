#pragma once
// The add-in's event sink on a host's connection point: an IDispatch that
// answers for the event interface, turns the host's DISPIDs into event names
// and hands the arguments (in order, by-reference ones written back) to the
// core's sink. A failure the handler lets through goes back to the host as
// DISP_E_EXCEPTION; unknown DISPIDs are ignored with S_OK.

#include <windows.h>
#include <oleauto.h>

#include <memory>

#include "com/com_object.h"
#include "com/no_type_info.h"
#include "host/events.h"

namespace frambolist::win {

class EventSinkDispatch final : public ComObject<EventSinkDispatch, IDispatch> {
 public:
  // Shares the sink: a host may call this object after the add-in has let go.
  EventSinkDispatch(REFIID iid, std::shared_ptr<host::EventSink> sink)
      : iid_(iid), sink_(std::move(sink)) {}

  // Besides IDispatch: the event interface it was made for.
  void* OtherInterface(REFIID riid) {
    return IsEqualIID(riid, iid_) ? static_cast<IDispatch*>(this) : nullptr;
  }
  // cannot throw: writes a zero
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return NoTypeInfoCount(count); }
  // cannot throw: writes a null
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return NoTypeInfo(info); }
  // cannot throw: refuses
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* info, UINT* arg_error) override;

 private:
  IID iid_;
  std::shared_ptr<host::EventSink> sink_;
};

}  // namespace frambolist::win
