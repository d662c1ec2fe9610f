// The small borderless window shown over the result list while a long scan runs.
#pragma once

#include "ui/Picture.h"
#include "ui/framework/Dialog.h"

namespace tarnock::ui {

class CLoading : public CDialog {
public:
    explicit CLoading(HWND parent);

protected:
    BOOL OnInitDialog() override;

private:
    CPicture image_;
};

}  // namespace tarnock::ui
