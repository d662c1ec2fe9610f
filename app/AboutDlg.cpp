#include "app/AboutDlg.h"

#include "base/FileVersionInfo.h"
#include "base/TextUtil.h"
#include "resource.h"
#include "ui/framework/Application.h"

namespace tarnock {

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog() {
    // The title string ends with a blank, so two blanks stand before the dash.
    const std::wstring line =
        ui::LoadResourceStringW(IDS_WINDOW_TITLE) + L" - " + WideFromAnsi(FormatFileVersion(ModulePath().c_str()));
    SetDlgItemTextW(Hwnd(), IDC_ABOUT_VERSION, line.c_str());
    SetDlgItemTextW(Hwnd(), IDC_ABOUT_TEXT, ui::LoadResourceStringW(IDS_ABOUT_TEXT).c_str());
    // The focus on the button, so the description is not shown selected.
    SetFocus(Item(IDOK));
    return FALSE;
}

}  // namespace tarnock
