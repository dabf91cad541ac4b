#include "com/values.h"

#include "com/strings.h"

namespace frambolist::win {

host::Value ValueFromVariant(const VARIANT& v, const ObjectBridge& bridge) {
  if (V_VT(&v) & VT_BYREF) {
    Variant plain;
    if (FAILED(VariantCopyInd(plain.ptr(), VariantInput(v).ptr()))) return {};
    return ValueFromVariant(plain.get(), bridge);
  }
  switch (V_VT(&v)) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_BOOL:
      return host::Value(V_BOOL(&v) != VARIANT_FALSE);
    case VT_I2:
      return host::Value(static_cast<int16_t>(V_I2(&v)));
    case VT_I4:
      return host::Value(static_cast<int32_t>(V_I4(&v)));
    case VT_INT:
      return host::Value(static_cast<int32_t>(V_INT(&v)));
    case VT_R4:
      return host::Value(V_R4(&v));
    case VT_R8:
      return host::Value(V_R8(&v));
    case VT_BSTR:
      return host::Value(V_BSTR(&v) ? Narrow(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : std::string());
    case VT_DISPATCH:
      return host::Value(V_DISPATCH(&v) ? bridge.ToObject(V_DISPATCH(&v)) : host::ObjectRef());
    case VT_UNKNOWN: {
      ComPtr<IDispatch> dispatch;
      if (V_UNKNOWN(&v)) V_UNKNOWN(&v)->QueryInterface(IID_PPV_ARGS(dispatch.Receive()));
      return host::Value(dispatch ? bridge.ToObject(dispatch.get()) : host::ObjectRef());
    }
    case VT_ERROR:
      if (V_ERROR(&v) == DISP_E_PARAMNOTFOUND) return host::Value(host::Missing{});
      return {};
    default: {
      Variant wide;
      if (SUCCEEDED(VariantChangeType(wide.ptr(), VariantInput(v).ptr(), 0, VT_R8)))
        return host::Value(V_R8(&wide.get()));
      return {};
    }
  }
}

Variant VariantFromValue(const host::Value& value, const ObjectBridge& bridge) {
  Variant out;
  VARIANT* v = out.ptr();
  std::visit(
      [&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, host::Missing>) {
          V_VT(v) = VT_ERROR;
          V_ERROR(v) = DISP_E_PARAMNOTFOUND;
        } else if constexpr (std::is_same_v<T, bool>) {
          V_VT(v) = VT_BOOL;
          V_BOOL(v) = x ? VARIANT_TRUE : VARIANT_FALSE;  // True is all bits set
        } else if constexpr (std::is_same_v<T, int16_t>) {
          V_VT(v) = VT_I2;
          V_I2(v) = x;
        } else if constexpr (std::is_same_v<T, int32_t>) {
          V_VT(v) = VT_I4;
          V_I4(v) = x;
        } else if constexpr (std::is_same_v<T, float>) {
          V_VT(v) = VT_R4;
          V_R4(v) = x;
        } else if constexpr (std::is_same_v<T, double>) {
          V_VT(v) = VT_R8;
          V_R8(v) = x;
        } else if constexpr (std::is_same_v<T, std::string>) {
          V_VT(v) = VT_BSTR;
          V_BSTR(v) = Bstr(Widen(x)).Release();
        } else if constexpr (std::is_same_v<T, host::ObjectRef>) {
          V_VT(v) = VT_DISPATCH;
          V_DISPATCH(v) = x ? bridge.ToDispatch(x).Detach() : nullptr;
        }
      },
      value.storage());
  return out;
}

}  // namespace frambolist::win
