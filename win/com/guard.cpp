#include "com/guard.h"

#include <cstdio>

namespace frambolist::win {

void ReportStoppedFailure(const std::source_location& entry, const char* what) noexcept {
  char line[1024];
  std::snprintf(line, sizeof line, "Frambolist: %s: %s\n", entry.function_name(),
                what ? what : "unknown exception");
  wchar_t wide[1024];
  if (MultiByteToWideChar(CP_UTF8, 0, line, -1, wide,
                          static_cast<int>(sizeof wide / sizeof wide[0])) > 0)
    OutputDebugStringW(wide);
}

}  // namespace frambolist::win
