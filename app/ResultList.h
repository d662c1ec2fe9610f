// The main dialog's result list: its columns, rows, icons and display styles, and the
// Windows Installer product cache that supplies icons to the scans.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "scan/InstallerProduct.h"
#include "ui/UseShGetFileInfo.h"
#include "scan/ScanView.h"
#include "ui/ListTestCtrl.h"

namespace tarnock {

class CResultList : public IResultRows, public IIconListOwner {
public:
    explicit CResultList(ui::ListTestCtrl& list) : list_(list) {}
    CResultList(const CResultList&) = delete;
    CResultList& operator=(const CResultList&) = delete;

    // Five left-aligned columns (the last three hidden), full-row selection only, no text
    // background of its own.
    void InsertColumns();

    // Appends a row, its place text in the hidden fifth column. User-interface thread only:
    // scan workers hand their rows to the dialog in posted batches.
    using IResultRows::AddListRow;
    void AddListRow(const std::string& name, const std::string& info, const std::string& key,
                    const std::string& iconFile, int itemValue, const std::string& place) override;

    // Hands the system image lists, with the default program icon, to the list.
    void ResetImageLists();

    // 0 icon, 1 report, 3 list view; any other style changes nothing and returns false.
    // With writeSetting the style is stored in "DisplayStyle".
    bool ApplyDisplayStyle(int style, bool writeSetting);
    // Menu 181 at the mouse cursor, the current style checked; its commands go to `owner`.
    void ShowStyleMenu(HWND owner);
    // Commands 32781, 32782, 32783 of that menu; false for any other command.
    bool HandleStyleCommand(UINT command);

    static int StyleForCommand(UINT command);   // -1 for other commands
    static UINT CheckedStyleCommand(int style);  // 0 when no item is checked

    int DefaultIconLarge() const;
    int DefaultIconSmall() const;

    // IIconListOwner: the lookup adds .ico files to these lists.
    HWND IconListWindow() const override { return list_.Window(); }
    HIMAGELIST SmallIconList() const override { return smallImages_; }
    HIMAGELIST LargeIconList() const override { return largeImages_; }

private:
    ui::ListTestCtrl& list_;
    // The system's shared lists: never destroyed here.
    HIMAGELIST smallImages_ = nullptr;
    HIMAGELIST largeImages_ = nullptr;
    int defaultIconLarge_ = 0;
    int defaultIconSmall_ = 0;
};

}  // namespace tarnock
