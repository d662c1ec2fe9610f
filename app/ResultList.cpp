#include "app/ResultList.h"

#include <iterator>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/Settings.h"
#include "resource.h"

namespace tarnock {

namespace {

struct ColumnSpec {
    const wchar_t* title;
    int width;
};
// Columns 2 (the identifying key), 3 (the icon file) and 4 (the registry place of the
// entry) carry data only.
constexpr ColumnSpec kColumns[] = {{L"이름", 260}, {L"정보", 260}, {L"", 0}, {L"", 0}, {L"", 0}};
static_assert(std::size(kColumns) == ui::kPlaceColumn + 1);

void SetSubItemText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// Appends the default program icon, sized for the list, and returns its index.
int AppendDefaultIcon(HIMAGELIST images) {
    if (images == nullptr) return -1;
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    ScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DEFAULT_PROGRAM), IMAGE_ICON, cx, cy, 0)));
    return icon ? ImageList_ReplaceIcon(images, -1, icon.Get()) : -1;
}

}  // namespace

void CResultList::InsertColumns() {
    const HWND list = list_.Window();
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);  // mask 0: exactly this
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
    int index = 0;
    for (const ColumnSpec& columnSpec : kColumns) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columnSpec.width;
        column.pszText = const_cast<wchar_t*>(columnSpec.title);
        column.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
        ++index;
    }
}

void CResultList::AddListRow(const std::string& name, const std::string& info, const std::string& key,
                             const std::string& iconFile, int itemValue, const std::string& place) {
    const HWND list = list_.Window();
    if (list == nullptr) return;

    CUseShGetFileInfo lookup(this);
    int image = lookup.GetIconIndex(iconFile, false);
    if (image < 1) image = list_.ViewStyle() == 0 ? defaultIconLarge_ : defaultIconSmall_;

    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(name.c_str());
    item.iImage = image;
    item.lParam = itemValue;
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    SetSubItemText(list, row, 1, info);
    SetSubItemText(list, row, 2, key);
    SetSubItemText(list, row, 3, iconFile);
    SetSubItemText(list, row, ui::kPlaceColumn, place);
}

void CResultList::ResetImageLists() {
    const HWND list = list_.Window();
    if (list == nullptr) return;

    CUseShGetFileInfo lookup(nullptr);
    const HIMAGELIST smallImages = lookup.GetSystemImageList(true);
    const HIMAGELIST largeImages = lookup.GetSystemImageList(false);
    // The default icon is appended once per system list, not again on every scan.
    const bool sameLists = smallImages == smallImages_ && largeImages == largeImages_;
    smallImages_ = smallImages;
    largeImages_ = largeImages;
    if (!sameLists || defaultIconSmall_ < 0 || defaultIconLarge_ < 0) {
        defaultIconSmall_ = AppendDefaultIcon(smallImages_);
        defaultIconLarge_ = AppendDefaultIcon(largeImages_);
    }
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImages_));
}

int CResultList::DefaultIconLarge() const { return defaultIconLarge_; }

int CResultList::DefaultIconSmall() const { return defaultIconSmall_; }

bool CResultList::ApplyDisplayStyle(int style, bool writeSetting) {
    if (style != 0 && style != 1 && style != 3) return false;
    const HWND list = list_.Window();
    if (list != nullptr) {
        const LONG_PTR windowStyle = GetWindowLongPtrW(list, GWL_STYLE);
        SetWindowLongPtrW(list, GWL_STYLE, (windowStyle & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | style);
    }
    list_.SetViewStyle(style);
    // A failed write is not reported: the style still changes for this run.
    if (writeSetting) settings::Write(settings::kDisplayStyle, style);
    return true;
}

int CResultList::StyleForCommand(UINT command) {
    switch (command) {
        case ID_STYLE_ICON: return 0;
        case ID_STYLE_REPORT: return 1;
        case ID_STYLE_LIST: return 3;
        default: return -1;
    }
}

UINT CResultList::CheckedStyleCommand(int style) {
    switch (style) {
        case 0: return ID_STYLE_ICON;
        case 1: return ID_STYLE_REPORT;
        case 3: return ID_STYLE_LIST;
        default: return 0;
    }
}

bool CResultList::HandleStyleCommand(UINT command) {
    const int style = StyleForCommand(command);
    return style >= 0 && ApplyDisplayStyle(style, true);
}

void CResultList::ShowStyleMenu(HWND owner) {
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_STYLE_MENU)));
    const HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (popup == nullptr) return;
    if (const UINT checked = CheckedStyleCommand(list_.ViewStyle())) CheckMenuItem(popup, checked, MF_BYCOMMAND | MF_CHECKED);
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
}

}  // namespace tarnock
