#pragma once
// The simulated hosts served over COM: each host::Object of the simulation
// is handed to the add-in as an IDispatch with connection points, firing the
// Office DISPIDs, so the add-in meets them exactly as it meets Office.

#include <ocidl.h>

#include "com/com_object.h"
#include "com/no_type_info.h"
#include "com/values.h"
#include <string>

#include "host/object.h"

namespace frambolist::win {

class SimDispatch final : public ComObject<SimDispatch, IDispatch, IConnectionPointContainer> {
 public:
  // One served object per simulated object while it is out, as Office hands
  // out one COM object per window: a client that compares IUnknowns (COM's
  // identity rule) tells the windows apart, and a window from itself.
  static ComPtr<SimDispatch> Serve(const host::ObjectRef& object);
  const host::ObjectRef& object() const { return object_; }

  // Besides IDispatch and IConnectionPointContainer: a private IID by which
  // the host program recognises its own objects coming back.
  void* OtherInterface(REFIID riid);

  // cannot throw: writes a zero
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return NoTypeInfoCount(count); }
  // cannot throw: writes a null
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return NoTypeInfo(info); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* info, UINT* arg_error) override;

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

 private:
  friend ComObject;
  explicit SimDispatch(host::ObjectRef object);
  ~SimDispatch() override;

  host::ObjectRef object_;
};

// The bridge the host program uses: its objects go out as SimDispatch, and
// come back unwrapped.
const ObjectBridge& ServerBridge();

// Failures of the IDispatch layer itself that Office's objects can show and
// the simulation's own faults cannot express. Every served object also
// refuses a locale other than 1033 (0x80028018, as an Excel without that
// locale's language pack does).
struct ServedFaults {
  // GetIDsOfNames of this member fails with `name_lookup_result`.
  std::string name_lookup_member;
  HRESULT name_lookup_result = S_OK;
  // Invoke of this member answers DISP_E_EXCEPTION with an empty EXCEPINFO.
  std::string empty_exception_member;
};
ServedFaults& ServerFaults();

// The late-bound calls the served objects have answered, for the figures of
// calls per action (each costs a round trip into Office).
struct ServedCalls {
  long name_lookups = 0;  // GetIDsOfNames
  long invokes = 0;       // Invoke
};
ServedCalls& ServerCalls();
inline constexpr HRESULT kLocaleRefused = static_cast<HRESULT>(0x80028018);

}  // namespace frambolist::win
