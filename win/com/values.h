#pragma once
// host::Value to VARIANT and back. Objects cross through a bridge: the add-in
// wraps the hosts' IDispatch objects as host::Objects; the Windows host
// program serves its simulated objects as IDispatch.

#include <windows.h>
#include <oleauto.h>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "host/value.h"

namespace frambolist::win {

class ObjectBridge {
 public:
  // Null where the object cannot cross (the VARIANT then holds Nothing).
  virtual ComPtr<IDispatch> ToDispatch(const host::ObjectRef& object) const = 0;
  virtual host::ObjectRef ToObject(IDispatch* dispatch) const = 0;

 protected:
  ~ObjectBridge() = default;
};

// By-reference VARIANTs are read through; kinds the add-in never meets
// (currency, dates, 64-bit integers) arrive as doubles where they convert.
host::Value ValueFromVariant(const VARIANT& v, const ObjectBridge& bridge);
Variant VariantFromValue(const host::Value& value, const ObjectBridge& bridge);

}  // namespace frambolist::win
