// An owner-drawn push button painted from a strip of four equal frames (normal, hover,
// pressed, inactive) with one transparent colour. An inactive button shows its fourth
// frame and ignores clicks without being disabled, so its tool-tip still shows.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "ui/Picture.h"
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
    // Safe from any thread: only a flag and a repaint request.
    void SetActive();
    void SetInactive();
    bool IsInactive() const { return inactive_.load(); }

    bool OnReflectedDrawItem(DRAWITEMSTRUCT* item) override;

protected:
    void PreSubclass() override { window_ = Hwnd(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawFrame(HDC dc, int frame) const;

    CPicture image_;
    int frameWidth_ = 0;
    COLORREF transparentColour_ = RGB(255, 0, 255);
    std::atomic<bool> inactive_{false};
    // Kept for the repaint requests of other threads; a request to a destroyed window just fails.
    std::atomic<HWND> window_{nullptr};
    bool tracking_ = false;
    bool hover_ = false;
    HWND toolTip_ = nullptr;  // destroyed with the button, which owns it
    HCURSOR cursor_ = nullptr;
    bool ownCursor_ = false;
};

}  // namespace tarnock::ui
