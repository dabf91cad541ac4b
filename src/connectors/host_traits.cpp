#include "connectors/host_traits.h"

namespace frambolist::connectors {

namespace {
// PowerPoint: "Nothing appropriate is currently selected."
constexpr int32_t kPowerPointDisabling[] = {-2147188160};
// Word: 424 while the insertion point is in text (ShapeRange is Nothing), and
// E_ACCESSDENIED.
constexpr int32_t kWordDisabling[] = {424, -2147024891};

constexpr HostTraits kPowerPoint{
    .connection_policy = ConnectionPolicy::kResumeWithMessage,
    .test_read_and_enable = true,
    .disabling_errors = kPowerPointDisabling,
    .inline_picture_values = false,
    .tolerant_other_dimension = false,
    .child_shape_ranges = true,
    .bars_in_template = false,
    .ribbon_id = "Microsoft.PowerPoint.Presentation",
    .ribbon_per_window_from = 14,  // PowerPoint 2010
};
constexpr HostTraits kExcel{
    .connection_policy = ConnectionPolicy::kStopAtFirstFailure,
    .test_read_and_enable = false,
    .disabling_errors = {},
    .inline_picture_values = false,
    .tolerant_other_dimension = false,
    .child_shape_ranges = false,
    .bars_in_template = false,
    .ribbon_id = "Microsoft.Excel.Workbook",
    .ribbon_per_window_from = 15,  // Excel 2013
};
constexpr HostTraits kWord{
    .connection_policy = ConnectionPolicy::kResumeSilently,
    .test_read_and_enable = true,
    .disabling_errors = kWordDisabling,
    .inline_picture_values = true,
    .tolerant_other_dimension = true,
    .child_shape_ranges = true,
    .bars_in_template = true,
    .ribbon_id = "Microsoft.Word.Document",
    .ribbon_per_window_from = 12,  // Word 2007
};
}  // namespace

const HostTraits& TraitsOf(HostKind host) {
  switch (host) {
    case HostKind::PowerPoint:
      return kPowerPoint;
    case HostKind::Excel:
      return kExcel;
    case HostKind::Word:
      return kWord;
  }
  return kPowerPoint;
}

}  // namespace frambolist::connectors
