#pragma once
// An owning VARIANT: cleared on destruction and before reuse. The VARIANT
// lives inside the wrapper rather than being derived from.

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace frambolist::win {

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  // No copies: VariantCopy can fail, and nothing needs one.
  Variant(const Variant&) = delete;
  Variant(Variant&& o) noexcept : Variant() { std::swap(v_, o.v_); }
  Variant& operator=(Variant&& o) noexcept {
    std::swap(v_, o.v_);
    return *this;
  }
  ~Variant() { VariantClear(&v_); }

  const VARIANT& get() const { return v_; }
  VARIANT* ptr() { return &v_; }
  // For out-parameters: cleared, then lent.
  VARIANT* Receive() {
    VariantClear(&v_);
    return &v_;
  }
  // Hands the content on to `out` (uninitialised or cleared); this is left empty.
  void MoveTo(VARIANT* out) {
    *out = v_;
    VariantInit(&v_);
  }

 private:
  VARIANT v_;
};

// A VARIANT we only read, for the conversion functions that MinGW-w64's
// oleauto.h declares without const (VariantCopyInd, VariantChangeType): a
// shallow copy, which they read and which is never cleared, so the
// original's content is neither written nor released.
class VariantInput {
 public:
  explicit VariantInput(const VARIANT& v) : copy_(v) {}
  VariantInput(const VariantInput&) = delete;
  VariantInput& operator=(const VariantInput&) = delete;
  VARIANT* ptr() { return &copy_; }

 private:
  VARIANT copy_;
};

}  // namespace frambolist::win
