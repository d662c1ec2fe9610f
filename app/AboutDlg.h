// The About box: program name and version, a short description.
#pragma once

#include "ui/framework/Dialog.h"

namespace tarnock {

class CAboutDlg : public ui::CDialog {
public:
    explicit CAboutDlg(HWND parent = nullptr);

protected:
    BOOL OnInitDialog() override;
};

}  // namespace tarnock
