#include "app/WebActions.h"

#include "base/DesktopShell.h"
#include "base/TextUtil.h"
#include "ui/Help.h"
#include "ui/framework/Application.h"

namespace tarnock::web {

namespace {

std::string ConfigurationFile() {
    const PathParts parts = SplitPath(ModulePath());
    return parts.drive + parts.directory + "Tarnock.ini";
}

std::string Below(const char* site, const std::string& pathAndQuery) {
    const std::string base = SiteSetting(site);
    return base.empty() ? std::string() : base + pathAndQuery;
}

void ShowNotConfigured() {
    ui::AppMessageBox(L"웹 사이트 주소가 설정되어 있지 않습니다.\nTarnock.ini 파일의 [Site] 항목을 확인해 주십시오.");
}

}  // namespace

std::string SiteSetting(const char* name) {
    char value[2048] = {};
    GetPrivateProfileStringA("Site", name, "", value, sizeof(value), ConfigurationFile().c_str());
    std::string text = TrimWhitespace(value);
    while (!text.empty() && text.back() == '/') text.pop_back();
    return text;
}

std::string HomepageAddress() { return Below("Maker", "/"); }
std::string RankPageAddress() { return Below("Maker", "/main.php?exe=rank"); }
std::string OpinionAddress(const std::string& name) {
    return Below("Maker", "/tarnock/proctag.html?page=1&tag=" + UrlEncode(name));
}
std::string SearchAddress(const std::string& name) {
    return Below("Search", "/search.naver?query=" + UrlEncode(name));
}

std::string SafeAddress(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const bool unsafe = byte <= 0x20 || byte >= 0x7F || byte == '"' || byte == '<' || byte == '>' ||
                            byte == '\\' || byte == '^' || byte == '`' || byte == '{' || byte == '|' || byte == '}';
        if (!unsafe) {
            out += c;
            continue;
        }
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    return out;
}

std::string AddressOrigin(std::string_view address) {
    if (!IsWebAddress(address)) return {};
    const std::size_t hostStart = address.find("://") + 3;
    const std::size_t end = address.find_first_of("/?#\\", hostStart);
    const std::string_view authority = address.substr(hostStart, end == std::string_view::npos ? end : end - hostStart);
    if (authority.empty() || authority.find('@') != std::string_view::npos) return {};
    return ToLowerAnsi(address.substr(0, hostStart)) + ToLowerAnsi(authority);
}

bool IsMakerSiteAddress(std::string_view address) {
    const std::string maker = AddressOrigin(SiteSetting("Maker"));
    return !maker.empty() && AddressOrigin(address) == maker;
}

void OpenAddress(const std::string& address) {
    if (address.empty()) {
        ShowNotConfigured();
        return;
    }
    // Never with this program's rights: the user's shell and browser handle the address.
    OpenWebAddressAsUser(SafeAddress(address));
}

void OpenHomepageText(const std::string& text) {
    if (text.compare(0, 5, "http:") != 0) return;
    OpenAddress(text);
}

void ShowOpinionPage(HWND owner, const std::string& name) {
    const std::string address = OpinionAddress(name);
    if (address.empty()) {
        ShowNotConfigured();
        return;
    }
    ui::CHelp help(owner);
    help.url = SafeAddress(address);
    help.allowAddress = [](const std::wstring& shown) { return IsMakerSiteAddress(AnsiFromWide(shown)); };
    help.openElsewhere = [](const std::wstring& other) { OpenAddress(AnsiFromWide(other)); };
    // Without a browser engine the dialog ends at once; the user gets the page anyway.
    if (help.DoModal() == IDABORT) OpenAddress(address);
}

}  // namespace tarnock::web
