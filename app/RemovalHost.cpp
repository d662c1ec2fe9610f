#include "app/RemovalHost.h"

#include <memory>


namespace tarnock {

bool CDialogRemovalHost::AskYesNo(const std::wstring& text) {
    if (IsShuttingDown()) return false;
    const RemovalQuestion question{text.c_str(), MB_YESNO | MB_ICONQUESTION};
    return SendMessageW(dialog_, UM_REMOVAL_QUESTION, 0, reinterpret_cast<LPARAM>(&question)) == IDYES;
}

void CDialogRemovalHost::Tell(const std::wstring& text) {
    if (IsShuttingDown()) return;
    const RemovalQuestion message{text.c_str(), MB_OK | MB_ICONEXCLAMATION};
    SendMessageW(dialog_, UM_REMOVAL_QUESTION, 0, reinterpret_cast<LPARAM>(&message));
}

void CDialogRemovalHost::DeleteRow(const RemovalRow& row) {
    auto copy = std::make_unique<RemovalRow>(row);
    if (PostMessageW(dialog_, UM_REMOVAL_DELETEROW, 0, reinterpret_cast<LPARAM>(copy.get()))) copy.release();
}

void CDialogRemovalHost::SetUnderWay(const RemovalRow& row, bool underWay) {
    auto copy = std::make_unique<RemovalRow>(row);
    if (PostMessageW(dialog_, UM_REMOVAL_UNDERWAY, underWay ? 1 : 0, reinterpret_cast<LPARAM>(copy.get())))
        copy.release();
}

void CDialogRemovalHost::Rescan(int category) { PostMessageW(dialog_, UM_REMOVAL_RESCAN, category, 0); }

void CDialogRemovalHost::AddChangeWaitEvent(HANDLE event) { workers_.ChangeWaitEvents().Add(event); }

void CDialogRemovalHost::RemoveChangeWaitEvent(HANDLE event) { workers_.ChangeWaitEvents().Remove(event); }

}  // namespace tarnock
