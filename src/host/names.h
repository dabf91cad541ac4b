#pragma once
// Automation names (members, ProgIds, class identifiers) compare without
// regard to letter case, as IDispatch and the registry compare them. ASCII
// only: the names the add-in and the hosts use are.

#include <algorithm>
#include <string_view>

namespace frambolist::host {

inline char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

// Orders names as EqualsIgnoringCase tells them apart, for maps keyed by name.
struct LessIgnoringCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return FoldCase(x) < FoldCase(y); });
  }
};

}  // namespace frambolist::host
