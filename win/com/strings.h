#pragma once
// UTF-8 (the core's strings) to UTF-16 (Windows') and back, and an owning
// BSTR.

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace frambolist::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
inline std::string Narrow(const wchar_t* utf16, size_t length) {
  return Narrow(std::wstring_view(utf16, length));
}

// Owns one BSTR. Passing get() lends it (the callee must not free it);
// Release() hands ownership on (to a VARIANT or an out-parameter).
class Bstr {
 public:
  Bstr() = default;
  // Throws std::bad_alloc when the string cannot be allocated: an empty
  // string in its place would pass a wrong value on as if it were right.
  explicit Bstr(std::wstring_view text)
      : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!b_) throw std::bad_alloc();
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  ~Bstr() { SysFreeString(b_); }

  static Bstr Attach(BSTR owned) {
    Bstr b;
    b.b_ = owned;
    return b;
  }
  BSTR get() const { return b_; }
  BSTR* Receive() {
    SysFreeString(std::exchange(b_, nullptr));
    return &b_;
  }
  BSTR Release() { return std::exchange(b_, nullptr); }
  std::string Utf8() const { return b_ ? Narrow(b_, SysStringLen(b_)) : std::string(); }

 private:
  BSTR b_ = nullptr;
};

}  // namespace frambolist::win
