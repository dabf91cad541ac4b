#pragma once
// The user's number format, as far as the add-in reads and writes numbers:
// the decimal and group separators (each may be more than one byte, as
// Windows allows). The Windows binding fills it from the user's regional
// settings, the host program from its `locale` command; nothing else in the
// core reads a locale.

#include <string>

namespace frambolist::platform {

struct NumberFormat {
  std::string decimal = ".";
  std::string group = ",";
};

}  // namespace frambolist::platform
