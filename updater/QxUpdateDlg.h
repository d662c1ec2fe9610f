// The updater's window: checks once, offers the update, downloads it with a progress bar
// and starts the verified setup program.
#pragma once

#include <cstdint>
#include <string>

#include "base/ScopedHandles.h"
#include "ui/framework/Dialog.h"
#include "updater/AutoUpdater.h"

namespace tarnock::updater {

class CQxUpdateDlg : public ui::CDialog {
public:
    static constexpr UINT_PTR kCheckTimer = 100;
    static constexpr UINT_PTR kCloseTimer = 200;

    // `showState` (SW_HIDE or SW_SHOW) is the application's; the dialog shows itself
    // in silent mode when an update is offered and writes SW_SHOW back.
    CQxUpdateDlg(int& showState, UpdatePlaces places);

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape act as the Close button, also during the download.
    void OnOK() override { OnClose(); }
    void OnCancel() override { OnClose(); }

private:
    void OnCheckTimer();
    void OnUpdate();
    void OnClose();
    void OnDetails();
    void OnProgress(WPARAM kind, LPARAM value);
    std::optional<LRESULT> OnEraseBackground(HDC dc);
    void SetStateText(UINT stringId);
    void EnableActions(bool enable);
    void Finish();

    RECT clientRect_{};
    int downloading_ = 0;
    ScopedIcon bigIcon_;
    ScopedIcon smallIcon_;
    CAutoUpdater updater_;
    ScopedBitmap background_;
    HWND progress_ = nullptr;
    int& showState_;
    std::string base_;
    bool progressAnnounced_ = false;
    std::uint64_t progressTotal_ = 0;
    std::uint64_t progressReceived_ = 0;
};

}  // namespace tarnock::updater
