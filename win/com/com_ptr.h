#pragma once
// An owning interface pointer. The only places in the Windows binding that
// call AddRef and Release are this template and ComObject (com_object.h).
// Ownership: construction from a raw pointer adds a reference; Attach adopts
// one the caller already owns (an out-parameter); Detach hands ours on.

#include <unknwn.h>

#include <utility>

namespace frambolist::win {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  static ComPtr Attach(T* owned) {
    ComPtr c;
    c.p_ = owned;
    return c;
  }
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (auto* p = std::exchange(p_, nullptr)) p->Release();
  }
  // For out-parameters: releases what we hold and lends the slot.
  T** Receive() {
    Reset();
    return &p_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // The interface U of the same object, or null; its IID comes from the
  // type, so the two cannot disagree.
  template <class U>
  ComPtr<U> Query() const {
    ComPtr<U> out;
    if (p_) p_->QueryInterface(__uuidof(U), out.ReceiveVoid());
    return out;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace frambolist::win
