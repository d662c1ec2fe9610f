// A text button drawn like a web link: a small icon, the caption (underlined and recoloured
// while the mouse is over it) and a tool-tip. It sizes itself around its centre to fit.
#pragma once

#include <windows.h>

#include "ui/framework/SubclassedWindow.h"

namespace tarnock::ui {

class CHButton : public CSubclassedWindow {
public:
    CHButton() = default;

    void SetHoverColour(COLORREF colour, int use);
    void SetUnderlineMode(int mode);
    void SetIcon(HICON icon);  // not owned
    void SetToolTipText(const wchar_t* text, bool activate);

    bool IsHovering() const { return hover_; }
    HWND ToolTip() const { return toolTip_; }

    bool OnReflectedDrawItem(DRAWITEMSTRUCT* item) override;

protected:
    void PreSubclass() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Repaint();
    void EnsureToolTip();
    void Draw(const DRAWITEMSTRUCT& item);

    COLORREF backgroundColour_ = RGB(255, 255, 255);
    COLORREF textColour_ = RGB(0, 0, 10);
    COLORREF hoverColour_ = 0;
    int useHoverColour_ = 0;
    int underlineMode_ = 1;  // 1 always, 2 while hovering, other never
    bool hasIcon_ = false;
    HICON icon_ = nullptr;
    int iconSize_ = 16;
    bool hover_ = false;
    HWND toolTip_ = nullptr;  // a child of the button: destroyed with it
};

}  // namespace tarnock::ui
