#include "app/WebActions.h"

#include <windows.h>
#include <shellapi.h>

namespace tarnock::web {

std::string HomepageAddress() { return std::string(kMakerSite) + "/"; }
std::string RankPageAddress() { return std::string(kMakerSite) + "/main.php?exe=rank"; }
std::string OpinionAddress(const std::string& name) {
    return std::string(kMakerSite) + "/tarnock/proctag.html?page=1&tag=" + name;
}
std::string SearchAddress(const std::string& name) { return std::string(kSearchSite) + "/search.naver?query=" + name; }

void OpenAddress(const std::string& address) {
    ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace tarnock::web
