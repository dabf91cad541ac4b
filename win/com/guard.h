#pragma once
// The one place where a C++ exception is turned into a result the caller
// understands. Every entry point of ours (COM methods and exports through
// Guarded, window procedures and other system callbacks through
// GuardedCallback) runs its body here, so nothing ever escapes into the
// host; scripts/check-entry-points.py fails a build in which one does not.

#include <windows.h>

#include <new>

namespace frambolist::win {

template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// For a callback the system calls (a window procedure, an enumeration
// callback): a failure answers `failed()` instead.
template <class Body, class Failed>
auto GuardedCallback(Body&& body, Failed&& failed) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    return failed();
  }
}

}  // namespace frambolist::win
