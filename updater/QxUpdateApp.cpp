#include "updater/QxUpdateApp.h"

#include <commctrl.h>

#include "updater/QxUpdateDlg.h"
#include "updater/resource.h"

namespace tarnock::updater {

int ShowStateFor(std::string_view arguments) { return arguments == "hide" ? SW_HIDE : SW_SHOW; }

CQxUpdateApp::CQxUpdateApp(std::string_view arguments) : showState(ShowStateFor(arguments)) {}

bool CQxUpdateApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    SetAppName(ui::LoadResourceStringW(IDS_UPDATE_TITLE));
    CQxUpdateDlg dialog(showState, UpdatePlaces::ForThisProgram());
    dialog.DoModal();
    return false;
}

}  // namespace tarnock::updater
