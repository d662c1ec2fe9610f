// The result list: a list view that paints flicker-free on white, shows the selected row
// in its own colours, sorts by a clicked column, reports clicks, double-clicks and item
// menu choices to the main dialog and hands dropped files to its parent.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "ui/HeaderTestCtrl.h"
#include "ui/framework/SubclassedWindow.h"

namespace tarnock::ui {

// The hidden column of a row that names the registry place of its entry (a PlaceText).
inline constexpr int kPlaceColumn = 4;

// Which items of the item menu (170) are usable for a row.
struct ItemMenuState {
    bool show = false;             // there is a selected row
    bool homepageEnabled = false;  // 32795: the information text is a plain "http:" address
    bool folderEnabled = false;    // 32807: not after an add-on scan (6)
    bool deleteEntryEnabled = false;  // 32809: only rows of an uninstall entry (not 6, 7 or 8)
};
ItemMenuState DecideItemMenu(bool hasSelection, std::string_view infoText, int lastScanType);

// The action number an item-menu command sends with UM_LISTACTION, or -1.
int ListActionForCommand(UINT command);

class ListTestCtrl : public CSubclassedWindow {
public:
    ListTestCtrl() = default;
    ~ListTestCtrl() override;

    void SetNotifyWindow(HWND window) { notifyWindow_ = window; }
    HWND NotifyWindow() const { return notifyWindow_; }
    int ViewStyle() const { return viewStyle_; }
    void SetViewStyle(int style) { viewStyle_ = style; }
    int LastScanType() const { return lastScanType_; }
    void SetLastScanType(int scanType) { lastScanType_ = scanType; }

    // Sorts rows first..last (-1: the last row) by the texts of `column`, in place.
    void Sort(int column, bool ascending, int first = 0, int last = -1);

    // The list window (null before attach and after destruction). Like every member of the
    // control, for the user-interface thread only.
    HWND Window() const { return window_; }

    // Row access in the list's 8-bit text.
    int ItemCount() const;
    int FirstSelectedRow() const;
    std::string ItemText(int row, int column) const;
    int ColumnCount() const;

    // The direction flag of the next column click, shared by every list of the process.
    static bool NextSortAscending() { return sortAscending_; }

    bool OnReflectedNotify(NMHDR* header, LRESULT& result) override;

protected:
    void PreSubclass() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
    void ShowItemMenu(LPARAM position);
    void SendAction(int action);
    void SendSelection();
    void ForwardDroppedFiles(HDROP drop);
    void ExchangeRows(int i, int j, int columns);

    CHeaderTestCtrl header_;
    COLORREF selectedText_ = RGB(255, 255, 255);
    COLORREF selectedBackground_ = RGB(101, 144, 193);
    int viewStyle_ = 1;
    int lastScanType_ = 0;
    HWND notifyWindow_ = nullptr;
    HWND window_ = nullptr;

    static bool sortAscending_;
    static bool drawnRowWasSelected_;
};

}  // namespace tarnock::ui
