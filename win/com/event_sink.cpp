#include "com/event_sink.h"

#include <vector>

#include "com/dispatch_object.h"
#include "com/errors.h"
#include "com/event_table.h"
#include "com/guard.h"

namespace frambolist::win {

STDMETHODIMP EventSinkDispatch::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                       VARIANT* result, EXCEPINFO* info, UINT*) {
  return Guarded([&]() -> HRESULT {
    if (result) VariantInit(result);
    const EventEntry* event = FindEvent(iid_, dispid);
    if (!event) return S_OK;
    // A caller may pass no DISPPARAMS at all for an event without arguments
    // (the command bars' update): that is no arguments, not no event.
    DISPPARAMS none{};
    DISPPARAMS& given = params ? *params : none;
    // rgvarg holds the last argument first.
    std::vector<host::Value> args;
    for (UINT i = given.cArgs; i-- > 0;)
      args.push_back(ValueFromVariant(given.rgvarg[i], ClientBridge()));
    auto failure = sink_->OnEvent(event->name, args);
    // By-reference booleans (CancelDefault) go back to the host.
    for (UINT i = 0; i < given.cArgs; ++i) {
      VARIANT& v = given.rgvarg[given.cArgs - 1 - i];
      if (V_VT(&v) == (VT_BOOL | VT_BYREF) && V_BOOLREF(&v) && args[i].is<bool>()) {
        *V_BOOLREF(&v) = args[i].as<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
      }
    }
    if (failure) {
      FillExcepInfo(*failure, info);
      return DISP_E_EXCEPTION;
    }
    return S_OK;
  });
}

}  // namespace frambolist::win
