#pragma once
// A host object reached through IDispatch: the add-in's side of the host
// object model inside Office. Names are resolved with GetIDsOfNames once per
// wrapper and kept while it lives: the add-in holds the application, the
// command bars and its controls for the whole connection, so an event pays
// one Invoke per member on them (Office's objects have fixed DISPIDs, from
// their type libraries). Calls go under locale 1033 as Visual
// Basic for Applications passes it (Excel refuses a locale whose language
// pack is missing with 0x80028018), properties are written with
// DISPID_PROPERTYPUT, omitted arguments go as DISP_E_PARAMNOTFOUND, and
// events arrive through a sink advised on the object's connection point.

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "com/com_ptr.h"
#include "com/values.h"
#include "host/object.h"

namespace frambolist::win {

class DispatchObject final : public host::Object {
 public:
  // A counted reference to a new wrapper of `dispatch`.
  static host::ObjectRef Wrap(IDispatch* dispatch);

  void AddRef() noexcept override { ++refs_; }
  void Release() noexcept override {
    if (--refs_ == 0) delete this;
  }
  host::Outcome<host::Value> Get(std::string_view member,
                                 std::span<const host::Value> args) override;
  host::Outcome<void> Put(std::string_view member, const host::Value& value) override;
  host::Outcome<host::Value> Call(std::string_view member,
                                  std::span<const host::Value> args) override;
  host::Outcome<host::Subscription> Subscribe(std::string_view interface_id,
                                              std::shared_ptr<host::EventSink> sink) override;

  IDispatch* dispatch() const { return dispatch_.get(); }
  // COM's identity rule: the object's IUnknown, asked once.
  const void* Identity() const noexcept override {
    if (!identity_) identity_ = dispatch_.Query<IUnknown>();
    return identity_ ? static_cast<const void*>(identity_.get()) : this;
  }

 private:
  explicit DispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {}
  ~DispatchObject() = default;
  host::Outcome<host::Value> Invoke(std::string_view member, WORD flags,
                                    std::span<const host::Value> args);

  // The member's DISPID, from GetIDsOfNames the first time.
  host::Outcome<DISPID> IdOf(std::string_view member);

  ComPtr<IDispatch> dispatch_;
  mutable ComPtr<IUnknown> identity_;
  std::atomic<long> refs_{1};
  std::vector<std::pair<std::string, DISPID>> dispids_;  // a few members an object
};

// The bridge the add-in uses: host objects are IDispatch objects.
const ObjectBridge& ClientBridge();

}  // namespace frambolist::win
