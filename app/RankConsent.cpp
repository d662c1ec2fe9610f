#include "app/RankConsent.h"

#include "base/Settings.h"
#include "ui/framework/Application.h"

namespace tarnock {

int ReadRankConsent() { return settings::Read(settings::kRank); }

int WriteRankConsent(int value) {
    settings::Write(settings::kRank, value);  // a failed write only lasts for this run
    return value;
}

const wchar_t* RankMenuText(int rankConsent) { return rankConsent != 0 ? kRankMenuRefuse : kRankMenuAccept; }

std::wstring RankQuestion(int rankConsent) {
    if (rankConsent != 0) {
        return std::wstring(L"현재 사용자 프로그램 삭제 순위(rank) 프로젝트에 참여 하고 계십니다.\n") +
               L"본 프로젝트를 취소 하시겠습니까?";
    }
    return std::wstring(L"고객님 PC에서 Tarnock를 통해서 삭제시도 하신 프로그램의 \"이름\" 만을\n") +
           L"Tarnock 서버에 전송합니다.고객님 PC의 다른 어떠한 정보를 수집하지 않습니다.\n" +
           L"삭제된 프로그램의 순위를 통한 Tarnock 이용자간의 정보 공유 및 사용자 환경개선\n" +
           L"프로젝트에 참여 하시겠습니까?\n";
}

int RunRankConsentDialog(HWND owner, int rankConsent) {
    const std::wstring question = RankQuestion(rankConsent);
    if (MessageBoxW(owner, question.c_str(), kRankCaption, MB_YESNO) != IDYES) return rankConsent;
    int value = 0;
    if (rankConsent != 0) {
        ui::AppMessageBox(L"취소되었습니다. 감사합니다.");
    } else {
        value = 1;
        ui::AppMessageBox(L"참여해 주셔서 감사합니다.");
    }
    return WriteRankConsent(value);
}

}  // namespace tarnock
