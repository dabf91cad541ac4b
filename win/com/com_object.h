#pragma once
// What every COM object of ours shares: QueryInterface over the interfaces
// it lists, reference counting, and the count of live objects that
// DllCanUnloadNow answers from. A ComObject is created with one reference
// (owned by the ComPtr that New returns) and deletes itself when the last
// one goes.
//
//   class Sink final : public ComObject<Sink, IDispatch, IConnectionPointContainer>
//
// answers IUnknown and (when the first interface derives from it) IDispatch
// with the first interface, and each listed interface by its __uuidof. An
// object that answers an interface known only at run time (an event sink's
// event interface) gives it from its own OtherInterface(iid).

#include <windows.h>

#include <atomic>
#include <type_traits>
#include <utility>

#include "com/com_ptr.h"

namespace frambolist::win {

// Live COM objects and server locks of this module.
std::atomic<long>& LiveObjectCount();
std::atomic<long>& ServerLockCount();

template <class Derived, class First, class... Others>
class ComObject : public First, public Others... {
 public:
  template <class... Args>
  static ComPtr<Derived> New(Args&&... args) {
    return ComPtr<Derived>::Attach(new Derived(std::forward<Args>(args)...));
  }

  // cannot throw: compares interface IDs and counts
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = Find(iid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  // cannot throw: counts
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  // cannot throw: counts, and our destructors do not throw
  STDMETHODIMP_(ULONG) Release() override {
    const long left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return static_cast<ULONG>(left);
  }

 protected:
  ComObject() { ++LiveObjectCount(); }
  virtual ~ComObject() { --LiveObjectCount(); }

  // Hidden by a Derived that answers an interface known only at run time.
  void* OtherInterface(REFIID) { return nullptr; }

 private:
  template <class Interface>
  void* Match(REFIID iid) {
    return IsEqualIID(iid, __uuidof(Interface)) ? static_cast<Interface*>(this) : nullptr;
  }
  void* Find(REFIID iid) {
    auto* first = static_cast<First*>(this);
    if (IsEqualIID(iid, IID_IUnknown)) return first;
    if constexpr (std::is_base_of_v<IDispatch, First>) {
      if (IsEqualIID(iid, IID_IDispatch)) return first;
    }
    void* found = Match<First>(iid);
    ((found = found ? found : Match<Others>(iid)), ...);
    return found ? found : static_cast<Derived*>(this)->OtherInterface(iid);
  }

  std::atomic<long> refs_{1};
};

}  // namespace frambolist::win
