#pragma once
// How the shared handlers behave in each host, as data: the handlers are
// written once and consult these where the hosts part ways. (What a host has
// of its own, its application reference and events, is its connector
// subclass.)

#include <cstdint>
#include <span>
#include <string_view>

namespace frambolist::connectors {

enum class HostKind { PowerPoint, Excel, Word };

enum class ConnectionPolicy {
  kResumeWithMessage,   // PowerPoint
  kStopAtFirstFailure,  // Excel
  kResumeSilently,      // Word
};

struct HostTraits {
  ConnectionPolicy connection_policy;

  // Selection tracking: PowerPoint and Word test-read the selection's
  // ShapeRange.Name and enable the boxes first; these numbers disable them.
  bool test_read_and_enable;
  std::span<const int32_t> disabling_errors;
  // Word: the first in-line picture's size replaces the range's.
  bool inline_picture_values;

  // Size editing: Word reads the other dimension from the in-line picture and
  // then the range, ignoring failures, and always; Excel and PowerPoint read
  // the range only, and skip the read for a width edit with the lock on.
  bool tolerant_other_dimension;

  // PowerPoint and Word: a shape selected inside a group is the selection's
  // ChildShapeRange (its ShapeRange is the whole group); Excel has none.
  bool child_shape_ranges;

  // Word keeps command bars in its customization context (the Normal
  // template by default), and a change to a bar marks it changed.
  bool bars_in_template;

  // The id by which Office 2007 and later ask for the ribbon of the host's
  // document windows, and the first version in which each window draws a
  // ribbon of its own (before it, the windows share one).
  std::string_view ribbon_id;
  int ribbon_per_window_from;
};

const HostTraits& TraitsOf(HostKind host);

}  // namespace frambolist::connectors
