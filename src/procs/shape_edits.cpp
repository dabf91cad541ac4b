#include "procs/shape_edits.h"

#include <cmath>

#include "host/single_precision.h"

namespace frambolist::procs {

namespace {

using host::Dispatch;
using host::HostFailure;
using host::Value;

constexpr int32_t kCommandFailed = 4198;  // Word, for a range of in-line pictures only

float Single(const Value& value) { return value.ToSingle().ValueOrThrow(); }

// current × new ÷ reference, product first, in double, rounded once.
float Proportional(float current, float wanted, float reference) {
  const float result = host::RoundToSingle(static_cast<double>(current) * wanted / reference);
  // A picture 0 points wide or high has no proportions to keep; writing the
  // infinity (or NaN) that the division gives would corrupt the document.
  if (!std::isfinite(result)) throw HostFailure{host::errors::Overflow()};
  return result;
}

void SizeFirstInlinePicture(const Dispatch& App, bool Lock, const std::optional<float>& NewHeight,
                            const std::optional<float>& NewWidth) {
  // `InlineShapes(1)`: the collection, then its Item, as two calls; a typed
  // Office object refuses an index given to InlineShapes itself.
  const Dispatch picture =
      App.Obj("ActiveWindow").Obj("Selection").Obj("InlineShapes").Obj("Item", {Value(int16_t{1})});
  picture.Put("LockAspectRatio", Value(Lock));
  if (Lock && NewWidth) {
    const float height =
        Proportional(Single(picture.Get("Height")), *NewWidth, Single(picture.Get("Width")));
    picture.Put("Height", Value(height));
    picture.Put("Width", Value(*NewWidth));
  } else if (Lock && NewHeight) {
    const float width =
        Proportional(Single(picture.Get("Width")), *NewHeight, Single(picture.Get("Height")));
    picture.Put("Width", Value(width));
    picture.Put("Height", Value(*NewHeight));
  } else {
    if (NewWidth) picture.Put("Width", Value(*NewWidth));
    if (NewHeight) picture.Put("Height", Value(*NewHeight));
  }
}

Dispatch SelectionRange(const Dispatch& App, bool child_ranges) {
  return Dispatch::FromValue(
      SelectedRange(App.Obj("ActiveWindow").Obj("Selection"), child_ranges).ValueOrThrow());
}

}  // namespace

host::Outcome<Value> SelectedRange(const Dispatch& selection, bool child_ranges) {
  if (child_ranges) {
    auto has_child = selection.GetPath({{"HasChildShapeRange"}});
    if (!has_child.ok()) return has_child.error();
    if (auto child = has_child.value().ToBool(); child.ok() && child.value())
      return selection.GetPath({{"ChildShapeRange"}});
  }
  return selection.GetPath({{"ShapeRange"}});
}

void ApplySize(const Dispatch& App, bool Lock, const std::optional<float>& NewHeight,
               const std::optional<float>& NewWidth, platform::OkMessageBox& message_box,
               bool child_ranges) {
  try {
    const Dispatch range = SelectionRange(App, child_ranges);
    range.Put("LockAspectRatio", Value(Lock));
    if (Lock) {
      // With the lock just set, the host scales the other dimension itself.
      if (NewWidth)
        range.Put("Width", Value(*NewWidth));
      else if (NewHeight)
        range.Put("Height", Value(*NewHeight));
    } else {
      if (NewWidth) range.Put("Width", Value(*NewWidth));
      if (NewHeight) range.Put("Height", Value(*NewHeight));
    }
  } catch (const HostFailure& failure) {
    if (failure.error.number == kCommandFailed) {
      SizeFirstInlinePicture(App, Lock, NewHeight, NewWidth);
      return;
    }
    message_box.Show(failure.error.description);
  }
}

void ApplyRotation(const Dispatch& App, const float& angle, bool child_ranges) {
  try {
    SelectionRange(App, child_ranges).Put("Rotation", Value(angle));
  } catch (const HostFailure&) {
    // No active window, no shape range (cells, text, nothing selected), or an
    // angle the host refuses: the toolbar simply stays as it was.
  }
}

void ToggleAspectLock(const Dispatch& Ctrl) {
  try {
    auto caption = Ctrl.Get("Caption").ToText();
    if (!caption.ok()) return;
    Ctrl.Put("Caption", Value(caption.value() == "Lock Aspect" ? "Unlock Aspect" : "Lock Aspect"));
  } catch (const HostFailure&) {
  }
}

}  // namespace frambolist::procs
