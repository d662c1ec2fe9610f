#include "updater/QxUpdateDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "base/TextUtil.h"
#include "resources/ArtGeometry.h"
#include "ui/framework/Application.h"
#include "updater/TarnockStopper.h"
#include "updater/UpdateInfoDlg.h"
#include "updater/resource.h"

namespace tarnock::updater {

namespace {

// The close mark painted on the skin, in client pixels (inclusive).
constexpr RECT kCloseMark = {art::kUpdaterCloseLeft, art::kUpdaterCloseTop, art::kUpdaterCloseRight,
                              art::kUpdaterCloseBottom};
// A slow or silent server must not keep the updater open for long.
constexpr DWORD kNetworkTimeoutMs = 20000;

}  // namespace

CQxUpdateDlg::CQxUpdateDlg(int& showState, UpdatePlaces places)
    : CDialog(IDD_UPDATE_DIALOG), updater_(std::move(places)), showState_(showState) {
    base_ = ReadUpdateBase(updater_.Places().programFolder);
    updater_.SetTimeouts(kNetworkTimeoutMs);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    bigIcon_.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_UPDATE_ICON), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_UPDATE_ICON), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));

    OnMessage(UM_DOWNLOADPROGRESS, [this](WPARAM w, LPARAM l) -> std::optional<LRESULT> {
        OnProgress(w, l);
        return 0;
    });
    OnMessage(WM_TIMER, [this](WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (w == kCheckTimer) {
            OnCheckTimer();
            return 0;
        }
        if (w == kCloseTimer) {
            KillTimer(Hwnd(), kCloseTimer);
            Finish();
            return 0;
        }
        return std::nullopt;
    });
    // Silent mode: nothing the dialog manager does may show the window.
    OnMessage(WM_WINDOWPOSCHANGING, [this](WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (showState_ == SW_HIDE) reinterpret_cast<WINDOWPOS*>(l)->flags &= ~SWP_SHOWWINDOW;
        return std::nullopt;
    });
    OnMessage(WM_ERASEBKGND, [this](WPARAM w, LPARAM) { return OnEraseBackground(reinterpret_cast<HDC>(w)); });
    // The skin shows through the texts.
    for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG}) {
        OnMessage(message, [](WPARAM w, LPARAM) -> std::optional<LRESULT> {
            const HDC dc = reinterpret_cast<HDC>(w);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        });
    }
    OnMessage(WM_LBUTTONDOWN, [this](WPARAM, LPARAM l) -> std::optional<LRESULT> {
        const POINT point = {static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        if (point.x >= kCloseMark.left && point.x <= kCloseMark.right && point.y >= kCloseMark.top &&
            point.y <= kCloseMark.bottom) {
            OnClose();
            return 0;
        }
        return std::nullopt;
    });
    OnCommand(IDC_UPDATE, [this] { OnUpdate(); });
    OnCommand(IDC_CLOSE, [this] { OnClose(); });
    OnCommand(IDC_DETAILS, [this] { OnDetails(); });
}

BOOL CQxUpdateDlg::OnInitDialog() {
    SetWindowTextW(Hwnd(), ui::LoadResourceStringW(IDS_UPDATE_TITLE).c_str());
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    progress_ = Item(IDC_PROGRESS);
    SendMessageW(progress_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetStateText(IDS_STATE_CHECKING);
    EnableActions(false);
    SetTimer(Hwnd(), kCheckTimer, 1000, nullptr);
    background_.Reset(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_UPDATE_SKIN), IMAGE_BITMAP, 0, 0, 0)));

    GetClientRect(Hwnd(), &clientRect_);
    // Curved corners; the window owns the region after SetWindowRgn.
    ScopedRegion region(CreateRoundRectRgn(0, 0, clientRect_.right + 1, clientRect_.bottom + 1,
                                            art::kUpdaterCornerEllipse, art::kUpdaterCornerEllipse));
    if (region && SetWindowRgn(Hwnd(), region.Get(), TRUE)) region.Release();
    if (showState_ == SW_HIDE) ShowWindow(Hwnd(), SW_HIDE);
    SetFocus(Item(IDC_CLOSE));
    return FALSE;
}

std::optional<LRESULT> CQxUpdateDlg::OnEraseBackground(HDC dc) {
    if (!background_) return TRUE;
    BITMAP info{};
    GetObjectW(background_.Get(), sizeof(info), &info);
    ScopedMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory || info.bmWidth <= 0 || info.bmHeight <= 0) return TRUE;
    ScopedSelect select(memory.Get(), background_.Get());
    RECT client{};
    GetClientRect(Hwnd(), &client);
    for (int y = 0; y < client.bottom; y += info.bmHeight) {
        for (int x = 0; x < client.right; x += info.bmWidth)
            BitBlt(dc, x, y, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    }
    return TRUE;
}

void CQxUpdateDlg::SetStateText(UINT stringId) {
    SetDlgItemTextW(Hwnd(), IDC_STATE_TEXT, ui::LoadResourceStringW(stringId).c_str());
    // The text is drawn transparently: the skin under it must be painted again first.
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CQxUpdateDlg::EnableActions(bool enable) {
    EnableWindow(Item(IDC_UPDATE), enable);
    EnableWindow(Item(IDC_DETAILS), enable);
}

void CQxUpdateDlg::Finish() {
    KillTimer(Hwnd(), kCheckTimer);
    KillTimer(Hwnd(), kCloseTimer);
    EndDialog(IDCANCEL);
}

void CQxUpdateDlg::OnCheckTimer() {
    KillTimer(Hwnd(), kCheckTimer);
    CAutoUpdater::SetNotifyWindow(Hwnd());
    const int result = updater_.CheckForUpdate(base_);
    if (result != UPDATE_OK) {
        SetStateText(IDS_STATE_UP_TO_DATE);
        SetTimer(Hwnd(), kCloseTimer, 2000, nullptr);
        return;
    }
    const int width = clientRect_.right - clientRect_.left;
    const int height = clientRect_.bottom - clientRect_.top;
    if (showState_ == SW_HIDE) {
        const int left = GetSystemMetrics(SM_CXFULLSCREEN) / 2 - width / 2;
        const int top = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - height / 2;
        SetWindowPos(Hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        showState_ = SW_SHOW;
        ShowWindow(Hwnd(), SW_SHOW);
    }
    SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetStateText(IDS_STATE_OFFERED);
    EnableActions(true);
    SetFocus(Item(IDC_UPDATE));
}

void CQxUpdateDlg::OnUpdate() {
    if (downloading_) return;
    SetStateText(IDS_STATE_DOWNLOADING);
    downloading_ = 1;
    SetFocus(Item(IDC_CLOSE));
    EnableActions(false);
    const int result = updater_.DownloadAndInstall(base_);
    // Tarnock is stopped only now, with a verified setup in place that will replace it; the
    // engine holds the setup against writers while Tarnock closes.
    if (result == UPDATE_OK && !updater_.cancelRequested) {
        // The window is served while Tarnock closes; a cancel meanwhile starts nothing.
        StopTarnockIn(updater_.Places().programFolder);
        if (!updater_.cancelRequested) updater_.StartInstalledSetup();
    }
    Finish();
}

void CQxUpdateDlg::OnClose() {
    updater_.cancelRequested = 1;
    Finish();
}

void CQxUpdateDlg::OnDetails() {
    CUpdateInfo details(Hwnd(), updater_.GetValue("Version"), updater_.GetValue("UpdateDate"),
                        updater_.GetValue("FileName"), updater_.GetValue("FileSize"),
                        DescriptionText(updater_.GetValue("UpdateDesc")));
    details.DoModal();
}

void CQxUpdateDlg::OnProgress(WPARAM kind, LPARAM value) {
    if (!progressAnnounced_) {
        progressAnnounced_ = true;
        progressTotal_ = value > 0 ? static_cast<std::uint64_t>(value) : 0;
    }
    if (kind != 0 || value <= 0) return;
    progressReceived_ += static_cast<std::uint64_t>(value);
    // Without an announced size the bar stays where it is.
    if (progressTotal_ == 0) return;
    const std::uint64_t percent = std::min<std::uint64_t>(progressReceived_ * 100 / progressTotal_, 100);
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

}  // namespace tarnock::updater
