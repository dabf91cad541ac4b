// Size editing: a height or width typed into its box resizes the selection,
// keeping its proportions while the aspect lock is on, and the other box then
// shows the other dimension as the host left it.

#include <cmath>

#include "connectors/connector.h"
#include "connectors/error_policy.h"
#include "connectors/throwing_conversions.h"
#include "connectors/toolbar_layout.h"
#include "procs/shape_edits.h"
#include "procs/shown_value.h"
#include "procs/typed_number.h"
#include "procs/units.h"

namespace frambolist::connectors {

using host::Value;

void Connector::TxHeight_Change(const Value& /*Ctrl*/) { EditSize(Dimension::Height); }
void Connector::TxWidth_Change(const Value& /*Ctrl*/) { EditSize(Dimension::Width); }

float Connector::ReadOtherDimension(Dimension other, float previous) {
  const char* property = other == Dimension::Width ? "Width" : "Height";
  auto selection = [&] { return HostApplication().Obj("ActiveWindow").Obj("Selection"); };
  if (!traits_.tolerant_other_dimension) {
    const Value range =
        procs::SelectedRange(selection(), traits_.child_shape_ranges).ValueOrThrow();
    return SingleOf(host::Dispatch::FromValue(range).Get(property));
  }
  // Word: the in-line picture, then the range, whichever answers; the range
  // wins when both do, and a failing read leaves the value it had.
  float value = previous;
  // InlineShapes takes no index: Item(1) is a call of its own.
  auto range_read = [&]() -> host::Outcome<Value> {
    auto window_selection = HostApplication().GetPath({{"ActiveWindow"}, {"Selection"}});
    if (!window_selection.ok()) return window_selection.error();
    auto range = procs::SelectedRange(host::Dispatch::FromValue(window_selection.value()),
                                      traits_.child_shape_ranges);
    if (!range.ok()) return range.error();
    return host::Dispatch::FromValue(range.value()).GetPath({{property}});
  };
  for (auto read : {HostApplication().GetPath({{"ActiveWindow"},
                                               {"Selection"},
                                               {"InlineShapes"},
                                               {"Item", {Value(int16_t{1})}},
                                               {property}}),
                    range_read()}) {
    if (!read.ok()) continue;
    if (auto single = read.value().ToSingle(); single.ok()) value = single.value();
  }
  return value;
}

void Connector::EditSize(Dimension own) {
  const host::WithEvents& edited = own == Dimension::Height ? TxHeight : TxWidth;
  const host::WithEvents& other_box = own == Dimension::Height ? TxWidth : TxHeight;
  const Dimension other = own == Dimension::Height ? Dimension::Width : Dimension::Height;

  EndQuietly([&] {
    const platform::NumberFormat format = platform_.locale.NumberFormat();
    const std::string text = TextOf(edited->Get("Text"));
    if (text.empty() || !procs::IsNumericText(text, format)) {
      edited->Put("Text", Value("0"));
      return;
    }
    auto typed = procs::TextToSingle(text, format);
    if (!typed.ok()) return;  // beyond the single range: end quietly

    const bool lock = LongOf(ButAspect->Get("FaceId")) == kFaceIdLockOn;
    const float points = procs::UnitToPoints(typed.value());
    // A length that fits a single but not once in points (10^37 inches) must
    // not reach the document as an infinity.
    if (!std::isfinite(points)) return;

    // The first read is no longer passed on, but it still decides: in Excel
    // and PowerPoint a failing read (no shape selected) ends a height edit
    // before anything is written, and Word keeps its value when the read
    // after the edit fails. With the lock on, Excel and PowerPoint skip it
    // for a width edit.
    const bool read_first = traits_.tolerant_other_dimension || own == Dimension::Height || !lock;
    float other_length = 0.0f;
    if (read_first) other_length = ReadOtherDimension(other, other_length);

    // Only the edited dimension is written, lock or not: the range answers
    // one length for several shapes (its first shape's), and writing that
    // back as "the current length" would give every shape the first one's.
    // With the lock on the host derives the other; with it off each shape
    // keeps its own.
    if (own == Dimension::Height) {
      procs::ApplySize(HostApplication(), lock, points, std::nullopt, platform_.message_box,
                       traits_.child_shape_ranges);
    } else {
      procs::ApplySize(HostApplication(), lock, std::nullopt, points, platform_.message_box,
                       traits_.child_shape_ranges);
    }

    other_length = ReadOtherDimension(other, other_length);
    other_box->Put("Text", Value(procs::ShownValue(procs::PointsToUnit(other_length), format)));
  });
}

}  // namespace frambolist::connectors
