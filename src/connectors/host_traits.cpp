#include "connectors/host_traits.h"

#include "host/events.h"

namespace frambolist::connectors {

namespace {
// PowerPoint: "Nothing appropriate is currently selected."
constexpr int32_t kPowerPointDisabling[] = {-2147188160};
// Word: 424 while the insertion point is in text (ShapeRange is Nothing), and
// E_ACCESSDENIED.
constexpr int32_t kWordDisabling[] = {424, -2147024891};

constexpr HostTraits kPowerPoint{HostKind::PowerPoint,
                                 host::event_interfaces::kPowerPointApplication,
                                 ConnectionPolicy::kResumeWithMessage,
                                 true,
                                 kPowerPointDisabling,
                                 false,
                                 false};
constexpr HostTraits kExcel{HostKind::Excel,
                            host::event_interfaces::kExcelApplication,
                            ConnectionPolicy::kStopAtFirstFailure,
                            false,
                            {},
                            false,
                            false};
constexpr HostTraits kWord{HostKind::Word,
                           host::event_interfaces::kWordApplication,
                           ConnectionPolicy::kResumeSilently,
                           true,
                           kWordDisabling,
                           true,
                           true};
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
