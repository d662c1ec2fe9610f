// The result list's column header, painted with the bitmap skin 144 and centred texts.
#pragma once

#include "ui/framework/SubclassedWindow.h"

namespace tarnock::ui {

class CHeaderTestCtrl : public CSubclassedWindow {
public:
    CHeaderTestCtrl() = default;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC target);
};

}  // namespace tarnock::ui
