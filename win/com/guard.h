#pragma once
// The one place where a C++ exception is turned into an HRESULT. Every COM
// entry point of ours runs its body through Guarded, so nothing ever escapes
// into the host.

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

}  // namespace frambolist::win
