#include "removal/ActiveXRemoval.h"

#include "removal/RemovalMessages.h"

namespace tarnock {

namespace {

constexpr wchar_t kFileRefused[] =
    L"ActiveX 컨트롤의 파일이 다운로드한 프로그램 폴더(Downloaded Program Files) 밖에 있어 삭제하지 않았습니다.";

}  // namespace

RemovalOutcome RemoveActiveXFromRow(
    IRemovalHost& host, const RemovalRow& row, const std::function<void(const std::string&)>& report,
    const std::function<ActiveXRemoval(const std::string&, const std::string&)>& remove) {
    const std::string& classText = row.Info();
    const ActiveXRemoval result = remove(classText, row.PlaceText());
    switch (result) {
        case ActiveXRemoval::BadName:
        case ActiveXRemoval::NotRegistered:
            host.Tell(messages::kBadEntryName);
            return RemovalOutcome::Cancelled;
        case ActiveXRemoval::FileRefused: host.Tell(kFileRefused); return RemovalOutcome::Cancelled;
        case ActiveXRemoval::BackupFailed: host.Tell(messages::kBackupFailed); return RemovalOutcome::Cancelled;
        case ActiveXRemoval::Stays:
            if (report) report("CLSID\\" + classText);
            host.Tell(messages::kControlStays);
            return RemovalOutcome::RowKept;
        case ActiveXRemoval::Removed: break;
    }
    if (report) report("CLSID\\" + classText);
    host.DeleteRow(row);
    return RemovalOutcome::RowRemoved;
}

}  // namespace tarnock
