// The small borderless window shown over the result list while a long scan runs. It takes
// no input of its own: Enter and Escape neither close it nor reach the main window.
#pragma once

#include "ui/Picture.h"
#include "ui/framework/Dialog.h"

namespace tarnock::ui {

class CLoading : public CDialog {
public:
    explicit CLoading(HWND parent);

    bool PreTranslateMessage(MSG& msg) override;

protected:
    BOOL OnInitDialog() override;

private:
    CPicture image_;
};

}  // namespace tarnock::ui
