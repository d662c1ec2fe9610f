#include "app/RemovalHost.h"

#include <memory>

#include "base/TextUtil.h"

namespace tarnock {

bool CDialogRemovalHost::AskYesNo(const std::wstring& text) {
    if (IsShuttingDown()) return false;
    const RemovalQuestion question{text.c_str(), MB_YESNO | MB_ICONQUESTION};
    return SendMessageW(dialog_, UM_REMOVAL_QUESTION, 0, reinterpret_cast<LPARAM>(&question)) == IDYES;
}

bool CDialogRemovalHost::AskRunWithAdministratorRights(const std::string& command, const std::string& source) {
    if (IsShuttingDown()) return false;
    // The command and its place are shown whole, so the user sees what would run and who
    // could have written it; No is the default button.
    const std::wstring text = L"다음 명령은 현재 사용자가 바꿀 수 있는 곳에 등록되어 있어 사용자 권한으로 실행해야 하지만,\n"
                              L"바탕 화면 셸을 통해 실행할 수 없었습니다.\n\n명령: " +
                              WideFromAnsi(command) + L"\n위치: " + WideFromAnsi(source) +
                              L"\n\n이 명령을 Tarnock의 관리자 권한으로 실행하시겠습니까?";
    const RemovalQuestion question{text.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2};
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
