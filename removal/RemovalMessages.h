// The Korean texts the removal shows, shared by the removal command and the list actions.
#pragma once

namespace tarnock::messages {

inline constexpr wchar_t kSelectRow[] = L"리스트를 선택하셔야죠!";
inline constexpr wchar_t kCloseBrowsers[] = L"실행중인 모든 브라우져를 닫으셔야 삭제가능합니다.\n삭제를 진행하시겠습니까?";
inline constexpr wchar_t kAlreadyRemoved[] =
    L"이미삭제되었거나 수동으로 파일들이 삭제되어있는거 같습니다.\n해당정보(레지스트리)를 삭제하시겠습니까?";
inline constexpr wchar_t kDeleted[] = L"삭제완료되었습니다.";
inline constexpr wchar_t kDeleteFailed[] = L"삭제 실패하였습니다.";
inline constexpr wchar_t kCancelled[] = L"취소되었습니다.";
inline constexpr wchar_t kFileNotFound[] = L"해당파일을 찾을수 없습니다.  직접 찾아보시겠습니까?";
// Action 6; %s is the key name.
inline constexpr wchar_t kDeleteListEntryFormat[] = L"본기능은 목록만을 삭제하게됩니다.\n레지스트리 [%s]을 삭제하시겠습니까?";
// A process that still shows a window after it was asked to close; %s is its file name.
inline constexpr wchar_t kStillOpenFormat[] =
    L"[%s] 프로그램이 아직 실행중입니다. 저장하지 않은 작업이 있을 수 있습니다.\n"
    L"프로그램을 강제로 종료하고 삭제를 계속하시겠습니까?\n(아니오를 누르면 삭제를 취소합니다.)";
inline constexpr wchar_t kUnreadableCommand[] = L"제거 명령(UninstallString)을 읽을 수 없어 삭제하지 못했습니다.";
// The uninstaller's processes have all ended and the entry is still registered.
inline constexpr wchar_t kUninstallerEnded[] =
    L"제거 프로그램이 끝났지만 프로그램이 제거되지 않았습니다.\n아무것도 삭제하지 않았습니다.";
// The entry the row names was not found (any more): nothing was removed; the list is rebuilt.
inline constexpr wchar_t kEntryMissing[] =
    L"목록의 항목을 찾을 수 없어 아무것도 삭제하지 않았습니다.\n목록을 다시 읽습니다.";
// The entry's name holds a character that this system's code page cannot show.
inline constexpr wchar_t kNameNotInCodePage[] =
    L"항목 이름에 이 시스템의 문자 집합으로 나타낼 수 없는 문자가 있어 삭제하지 않았습니다.\n"
    L"Windows의 \"프로그램 추가/제거\"에서 제거하십시오.";
// The signature database no longer holds the product of the row (it was replaced).
inline constexpr wchar_t kProductChanged[] =
    L"서명 데이터베이스가 바뀌어 이 항목을 삭제하지 않았습니다.\n목록을 다시 읽습니다.";
// Before the names of the removals whose uninstallers run.
inline constexpr wchar_t kUnderWay[] = L"삭제 중: ";
inline constexpr wchar_t kBadEntryName[] = L"항목 이름이 올바르지 않아 삭제하지 않았습니다.";
inline constexpr wchar_t kNoControlCache[] =
    L"ActiveX 컨트롤을 제거하는 시스템 파일(OCCACHE.DLL)을 찾을 수 없어 삭제하지 못했습니다.";
inline constexpr wchar_t kControlStays[] = L"ActiveX 컨트롤이 제거되지 않았습니다.";
// A key the system keeps in use until the next restart.
inline constexpr wchar_t kKeyLocked[] = L"해당키를 삭제할수가 없습니다.\n리부팅후 재삭제 시도하셔야 할거 같습니다.";
inline constexpr wchar_t kBackupFailed[] = L"삭제할 정보를 백업하지 못해 아무것도 삭제하지 않았습니다.";

}  // namespace tarnock::messages
