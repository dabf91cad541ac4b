#pragma once
// The one owner of every Win32 handle kind the binding holds (fonts, global
// memory, registry keys, safe arrays), as ComPtr owns interfaces: move-only,
// it frees its handle when it goes, so a throw between the creation and the
// end of its use leaks nothing. A kind is one Traits with its Free.

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace frambolist::win {

template <class Handle, class Traits>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~Owned() { Reset(); }

  Handle get() const { return handle_; }
  // For out-parameters: frees what is held and lends the slot.
  Handle* Receive() {
    Reset();
    return &handle_;
  }
  explicit operator bool() const { return handle_ != nullptr; }
  // Hands ownership on (to an API that frees the handle itself).
  Handle Release() { return std::exchange(handle_, nullptr); }
  void Reset() {
    if (handle_) Traits::Free(std::exchange(handle_, nullptr));
  }

 private:
  Handle handle_ = nullptr;
};

struct FontTraits {
  static void Free(HFONT font) { DeleteObject(font); }
};
struct GlobalMemoryTraits {
  static void Free(HGLOBAL memory) { GlobalFree(memory); }
};

struct RegistryKeyTraits {
  static void Free(HKEY key) { RegCloseKey(key); }
};
struct SafeArrayTraits {
  static void Free(SAFEARRAY* array) { SafeArrayDestroy(array); }
};

using OwnedFont = Owned<HFONT, FontTraits>;
using OwnedGlobalMemory = Owned<HGLOBAL, GlobalMemoryTraits>;
using OwnedRegistryKey = Owned<HKEY, RegistryKeyTraits>;
using OwnedSafeArray = Owned<SAFEARRAY*, SafeArrayTraits>;

}  // namespace frambolist::win
