// Icons for the result list: the system's shared image lists and the image index of a
// row's icon source file.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

namespace tarnock {

// What the icon lookup needs from the window that shows the icons: the list control and
// its two image lists, which receive icons loaded from .ico files.
class IIconListOwner {
public:
    virtual ~IIconListOwner() = default;
    virtual HWND IconListWindow() const = 0;
    virtual HIMAGELIST SmallIconList() const = 0;
    virtual HIMAGELIST LargeIconList() const = 0;
};

class CUseShGetFileInfo {
public:
    explicit CUseShGetFileInfo(IIconListOwner* owner = nullptr) : owner_(owner) {}
    virtual ~CUseShGetFileInfo() = default;

    // The system image list of small (true) or large icons.
    HIMAGELIST GetSystemImageList(bool small);
    // The image index for the file, or -1 when it does not exist. An .ico file is added to
    // the owner's lists and its index in the large list returned.
    int GetIconIndex(const std::string& path, bool small);

    // The path as the existence test sees it: an icon-number suffix after the last comma
    // cut off, quotes removed, doubled backslashes made single.
    static std::string CleanIconPath(std::string_view path);

private:
    IIconListOwner* owner_;
};

}  // namespace tarnock
