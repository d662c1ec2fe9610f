// The main dialog's side of a removal: the worker's questions and messages are shown by the
// dialog on the user-interface thread (sent, so the worker waits for the answer); row
// deletions and rescans are posted to it.
#pragma once

#include <windows.h>

#include "removal/RemovalHost.h"
#include "removal/RemovalWorkers.h"

namespace tarnock {

// Private messages of the dialog for its removal workers.
inline constexpr UINT UM_REMOVAL_QUESTION = WM_APP + 0x110;   // lParam: const RemovalQuestion*; result: the button
inline constexpr UINT UM_REMOVAL_DELETEROW = WM_APP + 0x111;  // lParam: RemovalRow* owned by the receiver
inline constexpr UINT UM_REMOVAL_RESCAN = WM_APP + 0x112;     // wParam: the category
inline constexpr UINT UM_REMOVAL_UNDERWAY = WM_APP + 0x113;   // wParam: 1 begins, 0 ends; lParam: RemovalRow* owned by the receiver

struct RemovalQuestion {
    const wchar_t* text;
    UINT flags;  // MB_YESNO | MB_ICONQUESTION, or MB_OK | MB_ICONEXCLAMATION
};

class CDialogRemovalHost final : public IRemovalHost {
public:
    // `dialog` comes from the worker's start record: the worker never asks a window for it.
    CDialogRemovalHost(HWND dialog, CRemovalWorkers& workers) : dialog_(dialog), workers_(workers) {}

    bool AskYesNo(const std::wstring& text) override;
    void Tell(const std::wstring& text) override;
    bool AskRunWithAdministratorRights(const std::string& command, const std::string& source) override;
    void DeleteRow(const RemovalRow& row) override;
    void Rescan(int category) override;
    void AddChangeWaitEvent(HANDLE event) override;
    void RemoveChangeWaitEvent(HANDLE event) override;
    bool IsShuttingDown() const override { return workers_.ShuttingDown(); }
    void SetUnderWay(const RemovalRow& row, bool underWay) override;

private:
    HWND dialog_;
    CRemovalWorkers& workers_;
};

}  // namespace tarnock
