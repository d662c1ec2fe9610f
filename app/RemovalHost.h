// The main dialog's side of a removal: the worker's questions and messages are shown by the
// dialog on the user-interface thread (sent, so the worker waits for the answer); row
// deletions and rescans are posted to it.
#pragma once

#include <windows.h>

#include <atomic>

#include "removal/RemovalHost.h"

namespace tarnock {

class CEventList;

// Private messages of the dialog for its removal workers.
inline constexpr UINT UM_REMOVAL_QUESTION = WM_APP + 0x110;   // lParam: const RemovalQuestion*; result: the button
inline constexpr UINT UM_REMOVAL_DELETEROW = WM_APP + 0x111;  // lParam: RemovalRow* owned by the receiver
inline constexpr UINT UM_REMOVAL_RESCAN = WM_APP + 0x112;     // wParam: the category

struct RemovalQuestion {
    const wchar_t* text;
    UINT flags;  // MB_YESNO | MB_ICONQUESTION, or MB_OK | MB_ICONEXCLAMATION
};

class CDialogRemovalHost final : public IRemovalHost {
public:
    CDialogRemovalHost(HWND dialog, CEventList& changeWaitEvents, const std::atomic<bool>& shuttingDown)
        : dialog_(dialog), changeWaitEvents_(changeWaitEvents), shuttingDown_(shuttingDown) {}

    bool AskYesNo(const std::wstring& text) override;
    void Tell(const std::wstring& text) override;
    bool AskRunWithAdministratorRights(const std::string& command, const std::string& source) override;
    void DeleteRow(const RemovalRow& row) override;
    void Rescan(int category) override;
    void AddChangeWaitEvent(HANDLE event) override;
    void RemoveChangeWaitEvent(HANDLE event) override;
    bool IsShuttingDown() const override { return shuttingDown_.load(); }

private:
    HWND dialog_;
    CEventList& changeWaitEvents_;
    const std::atomic<bool>& shuttingDown_;
};

}  // namespace tarnock
