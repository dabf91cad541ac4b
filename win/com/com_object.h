#pragma once
// The reference counting that every COM object of ours shares, and the count
// of live objects that DllCanUnloadNow answers from. A ComObject is created
// with one reference (owned by the ComPtr that New returns) and deletes
// itself when the last one goes.

#include <windows.h>

#include <atomic>
#include <utility>

#include "com/com_ptr.h"

namespace frambolist::win {

// Live COM objects and server locks of this module.
std::atomic<long>& LiveObjectCount();
std::atomic<long>& ServerLockCount();

template <class Derived, class Interface>
class ComObject : public Interface {
 public:
  template <class... Args>
  static ComPtr<Derived> New(Args&&... args) {
    return ComPtr<Derived>::Attach(new Derived(std::forward<Args>(args)...));
  }

  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    const long left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return static_cast<ULONG>(left);
  }

 protected:
  ComObject() { ++LiveObjectCount(); }
  virtual ~ComObject() { --LiveObjectCount(); }

 private:
  std::atomic<long> refs_{1};
};

}  // namespace frambolist::win
