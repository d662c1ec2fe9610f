#include "ui/Help.h"

#include <mshtml.h>
#include <oleauto.h>

#include "base/TextUtil.h"
#include "resource.h"
#include "resources/ArtGeometry.h"
#include "ui/BrowserHost.h"

namespace tarnock::ui {

namespace {

// The close mark painted on the skin, in skin pixels, inclusive.
constexpr RECT kCloseMark{art::kHelpCloseLeft, art::kHelpCloseTop, art::kHelpCloseRight, art::kHelpCloseBottom};

}  // namespace

void UseNewestBrowserMode() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') name = p + 1;
    ScopedKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        return;
    const DWORD mode = 11001;  // the newest document mode, whatever the page declares
    RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode), sizeof(mode));
}

CHelp::CHelp(HWND owner) : CBDialog(IDD_HELP, owner), host_(std::make_unique<CBrowserHost>()) {
    OnMessage(WM_LBUTTONDOWN, [this](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        DefaultHandling(WM_LBUTTONDOWN, wParam, lParam);
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (InCloseMark(point)) {
            EndDialog(IDOK);
            return 0;
        }
        // Pressing the painted frame moves the window as a caption would.
        ClientToScreen(Hwnd(), &point);
        PostMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
        return 0;
    });
    // The control goes while its site window still exists.
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        CloseBrowser();
        return std::nullopt;
    });
}

CHelp::~CHelp() { CloseBrowser(); }

bool CHelp::InCloseMark(POINT point) const {
    // The skin is centred when the window is larger than it (a larger dialog font), and the
    // mark moves with it; on the window the skin was made for, both offsets are 0.
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const SIZE skin = BackgroundSize();
    const int x = point.x - (skin.cx > 0 && skin.cx < client.right ? (client.right - skin.cx) / 2 : 0);
    const int y = point.y - (skin.cy > 0 && skin.cy < client.bottom ? (client.bottom - skin.cy) / 2 : 0);
    return x >= kCloseMark.left && x <= kCloseMark.right && y >= kCloseMark.top && y <= kCloseMark.bottom;
}

void CHelp::CloseBrowser() {
    if (host_) host_->Close();
}

BOOL CHelp::OnInitDialog() {
    SetDrawMode(1);
    SetBackground(IDB_HELP_BACKGROUND);
    browser_ = Item(IDC_BROWSER);
    UseNewestBrowserMode();
    if (!CBrowserHost::CanShowPages() ||
        !host_->Create(browser_, [this] { OnDocumentComplete(); }, allowAddress, openElsewhere)) {
        EndDialog(IDABORT);
        return TRUE;
    }
    ScopedVariant address(WideFromAnsi(url).c_str());
    ScopedVariant empty;
    host_->Browser()->Navigate2(address.Get(), empty.Get(), empty.Get(), empty.Get(), empty.Get());
    return TRUE;
}

void CHelp::OnDocumentComplete() {
    IWebBrowser2* browser = host_->Browser();
    if (browser == nullptr) return;
    ComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(document.Put())) || !document) return;
    ComPtr<IHTMLDocument2> html;
    if (FAILED(document.As(html))) return;
    ComPtr<IHTMLElement> body;
    if (FAILED(html->get_body(body.Put())) || !body) return;
    ComPtr<IHTMLBodyElement> bodyElement;
    if (FAILED(body.As(bodyElement))) return;
    // Scroll bars always, inside the fixed window.
    const ScopedBstr yes(L"yes");
    bodyElement->put_scroll(yes.Get());
}

bool CHelp::PreTranslateMessage(MSG& msg) {
    const bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
    if (key && browser_ != nullptr && IsChild(browser_, msg.hwnd) && host_->TranslateAccelerator(msg)) return true;
    return CBDialog::PreTranslateMessage(msg);
}

}  // namespace tarnock::ui
