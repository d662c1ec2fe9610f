// The user's consent to the deletion ranking: the stored value "rank", the question
// that switches it and the text of the main-menu item that opens that question.
#pragma once

#include <windows.h>

#include <string>

namespace tarnock {

inline constexpr wchar_t kRankMenuRefuse[] = L"삭제 순위 프로그램 참여 거부";
inline constexpr wchar_t kRankMenuAccept[] = L"삭제 순위 프로그램 참여 승낙";
inline constexpr wchar_t kRankCaption[] = L"삭제순위 프로그램";

// The stored "rank" (0 when absent or unreadable) / stores `value`; returns `value`.
int ReadRankConsent();
int WriteRankConsent(int value);

// Menu item text and question for the current flag (any non-zero value takes part).
const wchar_t* RankMenuText(int rankConsent);
std::wstring RankQuestion(int rankConsent);

// Asks the question owned by `owner`; on Yes flips the flag, thanks the user and stores the
// new value. Returns the flag as it is afterwards (unchanged on No).
int RunRankConsentDialog(HWND owner, int rankConsent);

}  // namespace tarnock
