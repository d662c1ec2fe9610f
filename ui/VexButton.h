// An owner-drawn push button painted from a strip of four equal frames (normal, hover,
// pressed, inactive) with one transparent colour. An inactive button shows its fourth
// frame and ignores clicks without being disabled, so its tool-tip still shows.
#pragma once

#include <windows.h>

#include <string>

#include "ui/VexBmp.h"
#include "ui/framework/SubclassedWindow.h"

namespace tarnock::ui {

class CVexButton : public CSubclassedWindow {
public:
    CVexButton() = default;

    // Loads the strip from the custom resource `id` of type `typeName` and sizes the button
    // to one frame, keeping its top-left corner.
    void Setup(const char* typeName, COLORREF transparentColour, UINT id);
    void SetToolTip(const std::wstring& text);
    void SetOwnCursor(HCURSOR cursor);
    void SetActive();
    void SetInactive();
    bool IsInactive() const { return inactive_; }
    int FrameWidth() const { return image_.FrameWidth(); }
    int ImageHeight() const { return image_.ImageHeight(); }

    bool OnReflectedDrawItem(DRAWITEMSTRUCT* item) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawFrame(HDC dc, int frame);

    CVexBmp image_;
    COLORREF transparentColour_ = RGB(255, 0, 255);
    bool inactive_ = false;
    bool tracking_ = false;
    bool hover_ = false;
    HWND toolTip_ = nullptr;  // destroyed with the button, which owns it
    HCURSOR cursor_ = nullptr;
    bool ownCursor_ = false;
};

}  // namespace tarnock::ui
