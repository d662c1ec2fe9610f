#include "ui/UseShGetFileInfo.h"

#include <shellapi.h>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"

namespace tarnock {

HIMAGELIST CUseShGetFileInfo::GetSystemImageList(bool small) {
    SHFILEINFOA info{};
    const UINT flags = SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : 0);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("c:\\", 0, &info, sizeof(info), flags));
}

std::string CUseShGetFileInfo::CleanIconPath(std::string_view path) {
    std::string text(path);
    // "file.exe,0": the part after the last comma is an icon number, not part of the file.
    const std::size_t comma = text.rfind(',');
    if (comma != std::string::npos && comma > 0) text.resize(comma);
    text = RemoveChar(text, '"');
    return ReplaceAll(text, "\\\\", "\\");
}

int CUseShGetFileInfo::GetIconIndex(const std::string& path, bool small) {
    const std::string file = CleanIconPath(path);
    if (!PathExists(file)) return -1;

    const HWND list = owner_ ? owner_->IconListWindow() : nullptr;
    if (file.size() >= 3 && ToLowerAnsi(file.substr(file.size() - 3)) == "ico" && list != nullptr) {
        ScopedIcon icon(static_cast<HICON>(
            LoadImageA(nullptr, file.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION)));
        const HIMAGELIST smallList = owner_->SmallIconList();
        const HIMAGELIST largeList = owner_->LargeIconList();
        int index = -1;
        if (icon) {
            // The lists copy the icon; ours is destroyed on return.
            if (smallList) ImageList_ReplaceIcon(smallList, -1, icon.Get());
            if (largeList) index = ImageList_ReplaceIcon(largeList, -1, icon.Get());
        }
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallList));
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeList));
        return index;
    }

    // With the attributes given the shell does not open the file: the icon is the one of
    // the file's type.
    SHFILEINFOA info{};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (small ? SHGFI_SMALLICON : 0);
    SHGetFileInfoA(file.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);
    return info.iIcon;
}

}  // namespace tarnock
