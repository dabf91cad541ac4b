// Selection tracking: the boxes show the selection's width, height and
// rotation whenever the host reports a new selection, and again on a command
// bars update when what they would show has changed (the user resized or
// rotated the shape, undid an edit, or chose another unit).

#include "connectors/connector.h"
#include "connectors/error_policy.h"
#include "connectors/throwing_conversions.h"
#include "procs/shape_edits.h"
#include "procs/shown_value.h"
#include "procs/units.h"

namespace frambolist::connectors {

using host::Dispatch;
using host::Value;

namespace {
constexpr int32_t kWordCommandFailed = 4198;  // "Command failed"
}  // namespace

// All reads, no writes: what the handler would show.
ShownSelection Connector::ReadSelection(const Dispatch* selection) {
  const platform::NumberFormat format = platform_.locale.NumberFormat();
  auto length_text = [&](const Value& points) {
    return procs::ShownValue(procs::PointsToUnit(SingleOf(points)), format);
  };
  ShownSelection view;
  Dispatch range;
  // The reads that fail whenever nothing fitting is selected (the range,
  // and in PowerPoint and Word the test of its Name) go without an
  // exception: an update repeats them many times a second.
  // Excel's events pass no selection that has shapes: the active window's has.
  auto got = selection
                 ? procs::SelectedRange(*selection, traits_.child_shape_ranges)
                 : HostApplication().GetPath({{"ActiveWindow"}, {"Selection"}, {"ShapeRange"}});
  std::optional<host::HostError> failure;
  // Word: with in-line pictures only, the range answers nothing (4198); the
  // first picture is what the boxes show, and it takes no rotation.
  bool inline_only = false;
  if (got.ok()) {
    range = Dispatch::FromValue(got.value());
    if (traits_.test_read_and_enable) {
      // Only a test: fails before the toolbar changes.
      if (auto name = range.GetPath({{"Name"}}); !name.ok()) failure = name.error();
      inline_only = traits_.inline_picture_values && selection && failure &&
                    failure->number == kWordCommandFailed;
      if (inline_only) failure.reset();
      view.enables = !failure;
    }
  } else {
    failure = got.error();
  }
  if (!failure && !inline_only) {
    failure = EndQuietly([&] {
      view.texts.emplace_back(&TxWidth, length_text(range.Get("Width")));
      view.texts.emplace_back(&TxHeight, length_text(range.Get("Height")));
    });
  }

  // Word: the first in-line picture's size replaces the range's. Its read
  // fails whenever no picture is selected, so it goes without an exception.
  if (!failure && traits_.inline_picture_values && selection) {
    auto picture = selection->GetPath({{"InlineShapes"}, {"Item", {Value(int16_t{1})}}});
    if (!picture.ok()) {
      failure = picture.error();
    } else {
      failure = EndQuietly([&] {
        const Dispatch shown = Dispatch::FromValue(picture.value());
        view.texts.emplace_back(&TxWidth, length_text(shown.Get("Width")));
        view.texts.emplace_back(&TxHeight, length_text(shown.Get("Height")));
      });
    }
  }
  if (!failure) {
    failure = EndQuietly([&] {
      const float rotation = inline_only ? 0.0f : SingleOf(range.Get("Rotation"));
      view.texts.emplace_back(&TxRotate, procs::ShownValue(rotation, format));
    });
  }
  view.disables = IsOneOf(failure, traits_.disabling_errors);
  return view;
}

void Connector::ShowSelection(const ShownSelection& view) {
  KeepingTemplateSaved([&] { WriteSelection(view); });
}

void Connector::WriteSelection(const ShownSelection& view) {
  auto set_enabled = [&](bool enabled) {
    for (const host::WithEvents* box : {&TxWidth, &TxHeight, &TxRotate})
      (*box)->Put("Enabled", Value(enabled));
  };
  // Kept before anything is written; a refresh that fails part-way is
  // forgotten, so that the next update shows it again.
  shown_ = view;
  const std::optional<host::HostError> failure = EndQuietly([&] {
    if (view.enables) set_enabled(true);
    for (const auto& [box, text] : view.texts) (*box)->Put("Text", Value(text));
  });
  if (failure) shown_.reset();

  // The boxes keep their text either way: a disabled box shows its last value.
  if (failure ? IsOneOf(failure, traits_.disabling_errors) : view.disables) {
    if (EndQuietly([&] { set_enabled(false); })) shown_.reset();
  }
}

void Connector::TrackSelection(const Dispatch* selection) {
  // The ribbon keeps the boxes per window: the event's is the active one.
  if (ribbon_) EndQuietly([&] { NoteActiveWindow(HostApplication().Obj("ActiveWindow")); });
  ShowSelection(ReadSelection(selection));
}

void Connector::RefreshOnUpdate() {
  // Raised many times a second while the user works: most updates change
  // nothing, and then they write nothing.
  Dispatch window, selection;
  if (EndQuietly([&] {
        window = HostApplication().Obj("ActiveWindow");
        selection = window.Obj("Selection");
      }))
    return;  // no window: no selection handler would run either
  NoteActiveWindow(window);
  ShownSelection view = ReadSelection(&selection);
  if (shown_ != view) ShowSelection(view);
}

}  // namespace frambolist::connectors
