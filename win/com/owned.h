#pragma once
// Move-only owners of the Win32 resources the dialogs create, as ComPtr owns
// interfaces: each frees its handle when it goes, so a throw between the
// creation and the end of its use leaks nothing.

#include <windows.h>

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

using OwnedFont = Owned<HFONT, FontTraits>;
using OwnedGlobalMemory = Owned<HGLOBAL, GlobalMemoryTraits>;

}  // namespace frambolist::win
