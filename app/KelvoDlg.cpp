#include "app/KelvoDlg.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <iterator>
#include <utility>

#include "app/AboutDlg.h"
#include "app/BackupFolder.h"
#include "app/KelvoApp.h"
#include "app/MessageFilter.h"
#include "app/ResultList.h"
#include "app/RankConsent.h"
#include "app/WebActions.h"
#include "db/DbCtrl.h"
#include "base/Settings.h"
#include "base/TextUtil.h"
#include "resource.h"
#include "resources/ArtGeometry.h"
#include "scan/CategoryScan.h"
#include "ui/HButton.h"
#include "ui/ListTestCtrl.h"
#include "ui/VexButton.h"
#include "ui/framework/Application.h"
#include "ui/framework/MessageLoop.h"

namespace tarnock {

namespace {

// The thirteen image buttons in their set-up order, with their strips.
struct VexSpec {
    int id;
    UINT strip;
};
constexpr VexSpec kVexButtons[] = {
    {IDC_REMOVE, IDB_REMOVE},   {IDC_EXIT, IDB_EXIT},   {IDC_SPYWARE, IDB_SPYWARE},         {IDC_TOOLBAR, IDB_TOOLBAR},
    {IDC_MESSENGER, IDB_MESSENGER}, {IDC_P2P, IDB_P2P}, {IDC_ALLPROGRAMS, IDB_ALLPROGRAMS}, {IDC_BHO, IDB_BHO},
    {IDC_STARTUP, IDB_STARTUP}, {IDC_ACTIVEX, IDB_ACTIVEX}, {IDC_COPYRIGHT, IDB_COPYRIGHT}, {IDC_INFO, IDB_INFO},
    {IDC_SEARCH, IDB_SEARCH},
};

struct CategoryTip {
    int id;
    const wchar_t* text;
};
constexpr CategoryTip kCategoryTips[] = {
    {IDC_SPYWARE, L"스파이웨어 악성코드 치료 프로그램 검색합니다"},
    {IDC_TOOLBAR, L"툴바 프로그램을 검색합니다"},
    {IDC_MESSENGER, L"메신져 프로그램을 검색합니다"},
    {IDC_P2P, L"P2P, 웹하드 프로그램을 검색합니다"},
    {IDC_ALLPROGRAMS, L"전체 프로그램을 검색합니다 (검색시간이 오래 걸릴수 있습니다)"},
    {IDC_BHO, L"BHO를 검색합니다"},
    {IDC_STARTUP, L"시작 프로그램을 검색합니다"},
    {IDC_ACTIVEX, L"ActiveX 를 검색합니다"},
    {IDC_COPYRIGHT, L"정품소프트웨어를 사용합시다"},
};

// The hover buttons in their set-up order; the icon index refers to buttonIcons_.
struct HoverSpec {
    int id;
    int icon;
    const wchar_t* tip;
};
constexpr UINT kButtonIconIds[5] = {IDI_INFO, IDI_MENU, IDI_WEBSITE, IDI_UPDATE, IDI_STYLE};
constexpr HoverSpec kHoverButtons[] = {
    {IDC_ABOUT, 0, L"Tarnock 정보입니다."},
    {IDC_UPDATE, 3, L"업데이트를 확인합니다."},
    {IDC_MENU, 1, L"메뉴를 OPEN합니다."},
    {IDC_WEBSITE, 2, nullptr},  // the maker's web address
    {IDC_STYLE, 4, L"디스플레이방식을 변경합니다."},
};

HICON LoadIconResource(UINT id, int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

// The target path of a shell shortcut, or "" when `file` is not a loadable shortcut.
std::string ResolveShortcutTarget(const std::string& file) {
    ScopedComInit com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return {};
    ComPtr<IPersistFile> persist;
    if (FAILED(link.As(persist))) return {};
    const std::wstring wide = WideFromAnsi(file);
    if (wide.empty() || wide.size() >= MAX_PATH) return {};  // no silently shortened path
    if (FAILED(persist->Load(wide.c_str(), STGM_READ))) return {};
    char target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return {};
    target[MAX_PATH - 1] = '\0';
    return target;
}

constexpr UINT UM_SCANROWS = WM_APP + 0x100;  // lParam: ScanRowBatch* owned by the receiver

}  // namespace

// ---------------------------------------------------------------------------------------
// The dialog

struct CkelvoDlg::Controls {
    ui::ListTestCtrl list;
    CResultList rows{list};
    ui::CVexButton vex[std::size(kVexButtons)];
    ui::CHButton hover[std::size(kHoverButtons)];

    ui::CVexButton* Vex(int id) {
        for (std::size_t i = 0; i < std::size(kVexButtons); ++i)
            if (kVexButtons[i].id == id) return &vex[i];
        return nullptr;
    }
};

ui::ListTestCtrl& CkelvoDlg::ListCtrl() const { return controls_->list; }

CkelvoDlg::CkelvoDlg() : CDialog(IDD_TARNOCK_DIALOG), controls_(std::make_unique<Controls>()) {
    windowIcon_.Reset(LoadIconResource(IDI_MAINFRAME, 32));

    const char* commandLine = GetCommandLineA();
    if (commandLine && *commandLine && ParseCommandLine(commandLine) == 1) scanType = 10;

    BindControl(IDC_RESULT_LIST, controls_->list);
    for (std::size_t i = 0; i < std::size(kVexButtons); ++i) BindControl(kVexButtons[i].id, controls_->vex[i]);
    for (std::size_t i = 0; i < std::size(kHoverButtons); ++i) BindControl(kHoverButtons[i].id, controls_->hover[i]);

    // Category buttons: the signature categories and the quick listings run at once.
    const std::pair<int, int> synchronous[] = {{IDC_SPYWARE, 1}, {IDC_TOOLBAR, 2}, {IDC_MESSENGER, 3}, {IDC_P2P, 4},
                                               {IDC_BHO, 6},     {IDC_STARTUP, 7}, {IDC_COPYRIGHT, 9}};
    for (const auto& [id, type] : synchronous) {
        OnCommand(id, [this, type = type] {
            scanType = type;
            RunScan();
        });
    }
    OnCommand(IDC_ALLPROGRAMS, [this] { RunScan(5); });
    OnCommand(IDC_ACTIVEX, [this] { RunScan(8); });
    // The remove button has the OK identifier, so Enter starts a removal like a click.
    OnCommand(IDC_REMOVE, [this] { StartRemovalWorker(); });
    OnCommand(IDC_EXIT, [this] { EndDialog(IDCANCEL); });
    OnCommand(IDC_INFO, [this] {
        const std::string name = SelectedRowText(0);
        if (!name.empty()) ShowOpinionPage(name);
    });
    OnCommand(IDC_SEARCH, [this] {
        if (controls_->list.FirstSelectedRow() < 0) return;
        web::OpenAddress(web::SearchAddress(SelectedRowText(0)));
    });
    OnCommand(IDC_UPDATE, [this] { StartUpdater(); });
    OnCommand(IDC_ABOUT, [this] { ShowAbout(); });
    OnCommand(IDC_MENU, [this] { ShowMainMenu(); });
    OnCommand(IDC_WEBSITE, [] { web::OpenAddress(web::HomepageAddress()); });
    OnCommand(IDC_STYLE, [this] { ShowStyleMenu(); });
    for (UINT id : {ID_STYLE_ICON, ID_STYLE_REPORT, ID_STYLE_LIST})
        OnCommand(id, [this, id] { controls_->rows.HandleStyleCommand(id); });
    OnCommand(ID_MENU_RANKPAGE, [] { web::OpenAddress(web::RankPageAddress()); });
    OnCommand(ID_MENU_RANKCONSENT, [this] { OnRankConsent(); });
    OnCommand(ID_MENU_BACKUPFOLDER, [this] { OpenBackupFolder(Hwnd()); });
    OnCommand(ID_MENU_AUTOUPDATE, [this] { SetAutoUpdate(1); });
    OnCommand(ID_MENU_MANUALUPDATE, [this] { SetAutoUpdate(0); });

    OnMessage(WM_PAINT, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (!IsIconic(Hwnd())) return std::nullopt;
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(Hwnd(), &paint);
        SendMessageW(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client{};
        GetClientRect(Hwnd(), &client);
        const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, dragIcon_.Get());
        EndPaint(Hwnd(), &paint);
        return 0;
    });
    OnMessage(WM_QUERYDRAGICON, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        return reinterpret_cast<LRESULT>(dragIcon_.Get());
    });
    OnMessage(WM_ERASEBKGND, [this](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client{};
        GetClientRect(Hwnd(), &client);
        if (!background_.Draw(dc, client)) FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    });
    OnMessage(WM_CTLCOLORSTATIC, [](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    });
    OnMessage(WM_NCHITTEST, [this](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        const LRESULT hit = DefWindowProcW(Hwnd(), WM_NCHITTEST, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit;
    });
    OnMessage(WM_LBUTTONDOWN, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(Hwnd(), &point);
        PostMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
        return std::nullopt;
    });
    OnMessage(WM_COPYDATA, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    });
    OnMessage(UM_LISTACTION, [this](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        return OnListAction(static_cast<int>(wParam), static_cast<int>(lParam));
    });
    OnMessage(UM_LISTSELECTION, [this](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        return OnListSelection(static_cast<int>(wParam), static_cast<int>(lParam));
    });
    OnMessage(UM_SCANROWS, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> { return OnScanRows(lParam); });
    RegisterRemovalHandlers();
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        OnDestroy();
        return std::nullopt;
    });
}

CkelvoDlg::~CkelvoDlg() = default;

BOOL CkelvoDlg::OnInitDialog() {
    if (auto* app = ui::CApplication::Current()) app->SetMainWindow(Hwnd());
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon_.Get()));
    SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon_.Get()));
    SetWindowTextW(Hwnd(), ui::LoadResourceStringW(IDS_WINDOW_TITLE).c_str());
    background_.LoadFromResource(IDB_BACKGROUND, "BMP");
    SetupControls();

    rankConsent = ReadRankConsent();
    listWindow_ = controls_->list.Hwnd();
    controls_->list.SetNotifyWindow(Hwnd());
    DragAcceptFiles(listWindow_, TRUE);
    AllowHandOverMessages({Hwnd(), listWindow_});

    // 0, 1 and 3 switch the view and are written back; anything else keeps the report view.
    if (const CkelvoApp* app = CkelvoApp::Current()) controls_->rows.ApplyDisplayStyle(app->displayStyle, true);

    LoadInstallerProducts(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Installer\\Products\\");
    RunScan();
    return TRUE;
}

void CkelvoDlg::SetupControls() {
    for (std::size_t i = 0; i < std::size(kVexButtons); ++i) controls_->vex[i].Setup("BMP", RGB(255, 0, 255), kVexButtons[i].strip);
    controls_->Vex(IDC_INFO)->SetToolTip(L"프로그램 정보를 보여줍니다.");
    controls_->Vex(IDC_REMOVE)->SetToolTip(L"Tarnock로 밀어 버립니다.");
    controls_->Vex(IDC_EXIT)->SetToolTip(L"Tarnock를 종료합니다.");
    const HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
    for (const CategoryTip& tip : kCategoryTips) {
        ui::CVexButton* button = controls_->Vex(tip.id);
        button->SetToolTip(tip.text);
        button->SetOwnCursor(hand);
    }

    for (int i = 0; i < 5; ++i) buttonIcons_[i].Reset(LoadIconResource(kButtonIconIds[i], 16));
    dragIcon_.Reset(LoadIconResource(IDI_INFO, 32));
    for (std::size_t i = 0; i < std::size(kHoverButtons); ++i) {
        ui::CHButton& button = controls_->hover[i];
        button.SetIcon(buttonIcons_[kHoverButtons[i].icon].Get());
        button.SetUnderlineMode(2);
        button.SetHoverColour(0xFF8032, 1);
        const std::string home = web::HomepageAddress();
        const std::wstring tip = kHoverButtons[i].tip ? kHoverButtons[i].tip
                                 : home.empty()       ? std::wstring(L"제작사 홈페이지")
                                                      : WideFromAnsi(home);
        button.SetToolTipText(tip.c_str(), true);
    }

    controls_->rows.InsertColumns();
}

// ---------------------------------------------------------------------------------------
// Rows and scans

void CkelvoDlg::AddListRow(const std::string& name, const std::string& info, const std::string& key,
                           const std::string& iconFile, int itemValue, const std::string& place) {
    controls_->rows.AddListRow(name, info, key, iconFile, itemValue, place);
}

void CkelvoDlg::ResetImageLists() { controls_->rows.ResetImageLists(); }

void CkelvoDlg::BeginScan() {
    SetRowButtonsActive(false);
    ResetImageLists();
    SendMessageA(listWindow_, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(listWindow_, WM_SETREDRAW, FALSE, 0);
}

void CkelvoDlg::EndScan(int type) {
    SendMessageA(listWindow_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listWindow_, nullptr, TRUE);
    controls_->list.SetLastScanType(type);
    HideLoadingWindow();
}

int CkelvoDlg::RunScan() { return RunScan(scanType); }

int CkelvoDlg::RunScan(int type) {
    scanType = type;
    if (type == 5 || type == 8) {
        StartThreadedScan(type);
        return 0;
    }
    scanGenerations_->Begin();  // a threaded scan still running is superseded
    // Every scan has its own database object; the product cache is only read after start-up.
    CDbCtrl database;
    return RunCategoryScan(type, CommandFolders(), InstallerProducts(), database, *this);
}

int CkelvoDlg::ParseCommandLine(const std::string& text) {
    std::vector<std::string> folders;
    int result = 0;
    // Quoted arguments: quote-blank-quote separates them; the other quotes go.
    const std::string joined = RemoveChar(ReplaceAll(text, "\" \"", "|"), '"');
    const std::vector<std::string> tokens = SplitList(joined);
    // The first token is the program itself (or the drop marker) and is not examined.
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        result = 1;
        const std::string target = ResolveShortcutTarget(TrimWhitespace(tokens[i]));
        if (target.empty() || Contains(target, "\\Internet Explorer\\") || Contains(target, "\\WINDOWS\\")) continue;
        const PathParts parts = SplitPath(target);
        std::string folder = parts.drive + parts.directory;
        if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
        folders.push_back(folder);
    }
    commandFolders = std::move(folders);
    return result;
}

std::vector<std::string> CkelvoDlg::CommandFolders() const {
    return commandFolders;
}

int CkelvoDlg::LoadInstallerProducts(HKEY root, const char* path) {
    char nameBuffer[MAX_PATH] = {};
    return tarnock::LoadInstallerProducts(root, path, nameBuffer, *installerProducts_);
}

// ---------------------------------------------------------------------------------------
// Workers

void CkelvoDlg::StartThreadedScan(int type) {
    scanType = type;
    auto snapshot = std::make_unique<ScanSnapshot>();
    snapshot->scanType = type;
    snapshot->generation = scanGenerations_->Begin();
    snapshot->generations = scanGenerations_;
    snapshot->commandFolders = CommandFolders();
    snapshot->installerProducts = installerProducts_;
    const HWND window = Hwnd();
    snapshot->deliver = [window](ScanRowBatch* batch) {
        return PostMessageW(window, UM_SCANROWS, 0, reinterpret_cast<LPARAM>(batch)) != FALSE;
    };

    ShowLoadingWindow();
    BeginScan();
    if (!StartScanWorker(std::move(snapshot))) EndScan(type);
}

std::optional<LRESULT> CkelvoDlg::OnScanRows(LPARAM parameter) {
    const std::unique_ptr<ScanRowBatch> batch(reinterpret_cast<ScanRowBatch*>(parameter));
    if (batch == nullptr || destroying_ || !scanGenerations_->Accepts(*batch)) return 0;
    for (const ScanRow& row : batch->rows)
        AddListRow(row.name, row.info, row.key, row.iconFile, row.itemValue, row.place);
    if (batch->last) EndScan(batch->scanType);
    return 0;
}

void CkelvoDlg::ShowLoadingWindow() {
    loadingWindow.reset();
    auto window = std::make_unique<ui::CLoading>(Hwnd());
    if (!window->Create(Hwnd())) return;
    ShowWindow(window->Hwnd(), SW_SHOWNORMAL);
    RECT list{};
    GetWindowRect(listWindow_, &list);
    const int x = list.left + (list.right - list.left) / 2 - art::kSplashWidth / 2;
    const int y = list.top + (list.bottom - list.top) / 2 - art::kSplashHeight / 2;
    MoveWindow(window->Hwnd(), x, y, art::kSplashWidth, art::kSplashHeight, TRUE);
    loadingWindow = std::move(window);
}

void CkelvoDlg::HideLoadingWindow() {
    if (loadingWindow && loadingWindow->Hwnd()) ShowWindow(loadingWindow->Hwnd(), SW_HIDE);
}

void CkelvoDlg::StartRemovalWorker() { RemoveSelected(); }

void CkelvoDlg::OnDestroy() {
    destroying_ = true;
    scanGenerations_->Begin();  // running scans stop listing and their rows are dropped
    // Removal waits end and their questions are answered No; the workers get 2 s to finish.
    ui::loop::WaitDispatching(removals_->BeginShutdown(), 2000);
    // Batches posted before the scans saw the new generation are freed, not left behind.
    MSG pending;
    while (PeekMessageW(&pending, Hwnd(), UM_SCANROWS, UM_SCANROWS, PM_REMOVE))
        delete reinterpret_cast<ScanRowBatch*>(pending.lParam);
    DropPendingRemovalMessages();
    loadingWindow.reset();
    if (auto* app = ui::CApplication::Current()) app->SetMainWindow(nullptr);
}

// ---------------------------------------------------------------------------------------
// Commands and messages

void CkelvoDlg::SetRowButtonsActive(bool active) {
    for (int id : {IDC_INFO, IDC_REMOVE, IDC_SEARCH}) {
        ui::CVexButton* button = controls_->Vex(id);
        if (active) button->SetActive();
        else button->SetInactive();
    }
}

LRESULT CkelvoDlg::OnListSelection(int selected, int) {
    SetRowButtonsActive(selected != 0);
    return 0;
}

LRESULT CkelvoDlg::OnListAction(int action, int row) {
    switch (action) {
        case 0:
        case 1:
            ShowOpinionPage(controls_->list.ItemText(row, 0));
            break;
        case 2:
            StartRemovalWorker();
            break;
        case 3:
            // Only a plain web address: the text may be a file path or any other command.
            web::OpenHomepageText(controls_->list.ItemText(row, 1));
            break;
        case 4:
            web::OpenAddress(web::SearchAddress(controls_->list.ItemText(row, 0)));
            break;
        case 5:
            OpenRowFolder(row);
            break;
        case 6:
            DeleteListEntryOnly(row);
            break;
        default:
            break;
    }
    return 0;
}

void CkelvoDlg::ShowOpinionPage(const std::string& name) { web::ShowOpinionPage(Hwnd(), name); }

std::string CkelvoDlg::SelectedRowText(int column) const {
    const int row = controls_->list.FirstSelectedRow();
    return row < 0 ? std::string() : controls_->list.ItemText(row, column);
}

std::optional<LRESULT> CkelvoDlg::OnCopyData(const COPYDATASTRUCT* data) {
    if (data == nullptr || data->dwData != 1) return std::nullopt;
    std::string text;
    if (data->lpData != nullptr && data->cbData > 0) {
        text.assign(static_cast<const char*>(data->lpData), data->cbData);
        // A sender that counted its terminator must not leave a zero inside the last argument.
        text.resize(std::strlen(text.c_str()));
    }
    ParseCommandLine(text);
    scanType = 10;
    RunScan();
    return std::nullopt;
}

void CkelvoDlg::ShowMainMenu() {
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    if (popup == nullptr) return;
    SetMenuDefaultItem(popup, 0, TRUE);
    ModifyMenuW(popup, ID_MENU_RANKCONSENT, MF_BYCOMMAND | MF_STRING, ID_MENU_RANKCONSENT, RankMenuText(rankConsent));
    const CkelvoApp* app = CkelvoApp::Current();
    const bool automatic = app && app->autoUpdate == 1;
    CheckMenuItem(popup, automatic ? ID_MENU_AUTOUPDATE : ID_MENU_MANUALUPDATE, MF_BYCOMMAND | MF_CHECKED);
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(Hwnd());  // so that a click elsewhere closes the menu
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, Hwnd(), nullptr);
}

void CkelvoDlg::ShowStyleMenu() {
    SetForegroundWindow(Hwnd());  // so that a click elsewhere closes the menu
    controls_->rows.ShowStyleMenu(Hwnd());
}

void CkelvoDlg::StartUpdater() {
    const std::string updater = CkelvoApp::GetUpdaterPath();
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof(execute);
    // No item-list invocation (mask 0x0C): without an item list it adds nothing on Windows,
    // and Wine's shell then drops the request and its parameters.
    execute.fMask = 0;
    execute.lpVerb = "open";
    execute.lpFile = updater.c_str();
    execute.lpParameters = "show";  // the updater decides from it that it runs visibly
    execute.nShow = 0;
    ShellExecuteExA(&execute);
}

void CkelvoDlg::ShowAbout() {
    CAboutDlg about(Hwnd());
    about.DoModal();
}

void CkelvoDlg::OnRankConsent() { rankConsent = RunRankConsentDialog(Hwnd(), rankConsent); }

void CkelvoDlg::SetAutoUpdate(int value) {
    settings::Write(settings::kAutoUpdate, value);
    if (auto* app = CkelvoApp::Current()) app->autoUpdate = value;
}

}  // namespace tarnock
