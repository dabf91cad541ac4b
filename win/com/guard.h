#pragma once
// The one place where a C++ exception is turned into a result the caller
// understands. Every entry point of ours (COM methods and exports through
// Guarded, window procedures and other system callbacks through
// GuardedCallback) runs its body here, so nothing ever escapes into the
// host; scripts/check-entry-points.py fails a build in which one does not.
//
// A failure stopped here leaves one line on the debugger's channel
// (OutputDebugString: a debugger, DebugView, or Wine's debug channels show it),
// naming the entry point and the exception, so that one met in the field
// can be told apart. Nothing else is logged.

#include <windows.h>

#include <exception>
#include <new>
#include <source_location>

namespace frambolist::win {

// "Frambolist: ENTRY: WHAT" on the debugger's channel, without allocating.
void ReportStoppedFailure(const std::source_location& entry, const char* what) noexcept;

template <class Body>
HRESULT Guarded(Body&& body,
                const std::source_location entry = std::source_location::current()) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc& e) {
    ReportStoppedFailure(entry, e.what());
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    ReportStoppedFailure(entry, e.what());
    return E_UNEXPECTED;
  } catch (...) {
    ReportStoppedFailure(entry, "unknown exception");
    return E_UNEXPECTED;
  }
}

// For a callback the system calls (a window procedure, an enumeration
// callback): a failure answers `failed()` instead.
template <class Body, class Failed>
auto GuardedCallback(Body&& body, Failed&& failed,
                     const std::source_location entry = std::source_location::current()) noexcept
    -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception& e) {
    ReportStoppedFailure(entry, e.what());
    return failed();
  } catch (...) {
    ReportStoppedFailure(entry, "unknown exception");
    return failed();
  }
}

}  // namespace frambolist::win
