#include "updater/UpdateInfoDlg.h"

#include "base/TextUtil.h"
#include "updater/resource.h"

namespace tarnock::updater {

namespace {

// The single-line fields drop the line end the page leaves at the end of each value.
std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

}  // namespace

std::string DescriptionText(std::string_view pageValue) {
    return ReplaceAll(WithoutLineEnd(std::string(pageValue)), "<br>", "\r\n");
}

CUpdateInfo::CUpdateInfo(HWND parent, std::string version, std::string date, std::string fileName,
                         std::string fileSize, std::string description)
    : CDialog(IDD_UPDATE_INFO, parent),
      version_(std::move(version)),
      date_(std::move(date)),
      fileName_(std::move(fileName)),
      fileSize_(std::move(fileSize)),
      description_(std::move(description)) {}

BOOL CUpdateInfo::OnInitDialog() {
    const std::pair<int, const std::string*> fields[] = {
        {IDC_INFO_VERSION, &version_},   {IDC_INFO_DATE, &date_}, {IDC_INFO_FILENAME, &fileName_},
        {IDC_INFO_FILESIZE, &fileSize_}, {IDC_INFO_DESCRIPTION, &description_},
    };
    for (const auto& [id, text] : fields) {
        const std::string shown = id == IDC_INFO_DESCRIPTION ? *text : WithoutLineEnd(*text);
        SetDlgItemTextW(Hwnd(), id, WideFromAnsi(shown).c_str());
    }
    return TRUE;
}

}  // namespace tarnock::updater
