#pragma once
// The product's web page, from the build setting FRAMBOLIST_WEB_HOST.

#include <string>
#include <string_view>

#ifndef FRAMBOLIST_WEB_HOST
#define FRAMBOLIST_WEB_HOST "frambolist.example.org"
#endif

namespace frambolist::forms {

inline constexpr std::string_view kWebHost = FRAMBOLIST_WEB_HOST;
inline std::string WebPageAddress() { return "https://" + std::string(kWebHost) + "/"; }

}  // namespace frambolist::forms
