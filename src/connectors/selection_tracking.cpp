// Selection tracking: the boxes show the selection's width, height and
// rotation whenever the host reports a new selection.

#include "connectors/connector.h"
#include "connectors/error_policy.h"
#include "connectors/host_values.h"
#include "procs/shown_value.h"
#include "procs/units.h"

namespace frambolist::connectors {

using host::Dispatch;
using host::Value;

void Connector::TrackSelection(const Dispatch& selection) {
  const platform::NumberFormat format = platform_.locale.NumberFormat();
  // Every read starts again from the selection.
  auto shape_range = [&] {
    if (traits_.host == HostKind::Excel) {
      return HostApplication().Obj("ActiveWindow").Obj("Selection").Obj("ShapeRange");
    }
    return selection.Obj("ShapeRange");
  };
  auto show_length = [&](const host::WithEvents& box, const Value& points) {
    box->Put("Text", Value(procs::ShownValue(procs::PointsToUnit(SingleOf(points)), format)));
  };

  // Word: the first in-line picture's size replaces the range's. Its read
  // fails whenever no picture is selected, so it goes without an exception.
  auto show_inline_length = [&](const host::WithEvents& box,
                                const char* property) -> std::optional<host::HostError> {
    auto points = selection.GetPath({{"InlineShapes"}, {"Item", {Value(int16_t{1})}}, {property}});
    if (!points.ok()) return points.error();
    return EndQuietly([&] { show_length(box, points.value()); });
  };

  std::optional<host::HostError> failure = EndQuietly([&] {
    if (traits_.test_read_and_enable) {
      shape_range().Get("Name");  // only a test: fails before the toolbar changes
      for (const host::WithEvents* box : {&TxWidth, &TxHeight, &TxRotate})
        (*box)->Put("Enabled", Value(true));
    }
    show_length(TxWidth, shape_range().Get("Width"));
    show_length(TxHeight, shape_range().Get("Height"));
  });
  if (!failure && traits_.inline_picture_values) failure = show_inline_length(TxWidth, "Width");
  if (!failure && traits_.inline_picture_values) failure = show_inline_length(TxHeight, "Height");
  if (!failure) {
    failure = EndQuietly([&] {
      TxRotate->Put("Text",
                    Value(procs::ShownValue(SingleOf(shape_range().Get("Rotation")), format)));
    });
  }

  // The boxes keep their text either way: a disabled box shows its last value.
  if (IsOneOf(failure, traits_.disabling_errors)) {
    EndQuietly([&] {
      for (const host::WithEvents* box : {&TxWidth, &TxHeight, &TxRotate})
        (*box)->Put("Enabled", Value(false));
    });
  }
}

}  // namespace frambolist::connectors
