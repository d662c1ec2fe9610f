// A control window whose messages pass through an object first (SetWindowSubclass).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace tarnock::ui {

class CSubclassedWindow {
public:
    CSubclassedWindow() = default;
    virtual ~CSubclassedWindow();
    CSubclassedWindow(const CSubclassedWindow&) = delete;
    CSubclassedWindow& operator=(const CSubclassedWindow&) = delete;

    // Binds the object to an existing window; PreSubclass runs right after.
    bool Attach(HWND window);
    void Detach();
    HWND Hwnd() const { return hwnd_; }

    // Notifications and owner-draw requests the parent dialog hands back to the control
    // that sent them. Return true when handled, with the result in `result`.
    virtual bool OnReflectedNotify(NMHDR* header, LRESULT& result);
    virtual bool OnReflectedDrawItem(DRAWITEMSTRUCT* item);

protected:
    virtual void PreSubclass() {}
    // Called for every message; DefaultProc passes a message on to the original procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    HWND hwnd_ = nullptr;
};

}  // namespace tarnock::ui
