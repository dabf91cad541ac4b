#pragma once
// Failures across IDispatch, in both directions, numbered by the host model's
// one rule (ErrorNumberFromResult).

#include <windows.h>
#include <oleauto.h>

#include "host/host_error.h"

namespace frambolist::win {

// A failing Invoke: DISP_E_EXCEPTION reads the EXCEPINFO (wCode, else scode;
// deferred fill-in first; its strings are freed here); any other result
// reads as Visual Basic reads it.
// An EXCEPINFO with neither filled in is still a failure: DISP_E_EXCEPTION.
host::HostError ErrorFromInvoke(HRESULT hr, EXCEPINFO& info);
// A failing GetIDsOfNames: an unknown name is 438, as Visual Basic reports
// it; any other failure (a refused locale, no memory) is numbered by the rule.
host::HostError ErrorFromNameLookup(HRESULT hr);
// A failing vtable call: the thread's error object when `source` offers one
// for `iid`, else the system's message for the code.
host::HostError ErrorFromResult(HRESULT hr, IUnknown* source, REFIID iid);

// The reverse: fills an EXCEPINFO for DISP_E_EXCEPTION (an automation number
// goes into wCode, anything else into scode as a failure code).
void FillExcepInfo(const host::HostError& error, EXCEPINFO* info);
// Sets the thread's error object to `error` and returns its result code.
HRESULT ReturnError(const host::HostError& error, REFIID iid);

}  // namespace frambolist::win
