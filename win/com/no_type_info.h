#pragma once
// The IDispatch members our objects answer alike: they are late-bound only
// and carry no type information.

#include <oaidl.h>

namespace frambolist::win {

inline HRESULT NoTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

inline HRESULT NoTypeInfo(ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

}  // namespace frambolist::win
