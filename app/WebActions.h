// The web pages that buttons, the main menu and the item actions open. The hosts are
// configuration; the paths and queries after them are fixed.
#pragma once

#include <string>

namespace tarnock::web {

inline constexpr char kMakerSite[] = "http://www.olmatic.co.kr";
inline constexpr char kSearchSite[] = "http://search.naver.com";

std::string HomepageAddress();
std::string RankPageAddress();
// The name is appended exactly as the list shows it (8-bit text, no percent-encoding).
std::string OpinionAddress(const std::string& name);
std::string SearchAddress(const std::string& name);

// ShellExecuteA "open" with SW_SHOW; the result is ignored.
void OpenAddress(const std::string& address);

}  // namespace tarnock::web
