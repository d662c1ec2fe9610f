#include "ui/MemDC.h"

namespace tarnock::ui {

CMemDC::CMemDC(HDC target, const RECT& rect) : target_(target), rect_(rect), dc_(CreateCompatibleDC(target)) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!dc_ || width <= 0 || height <= 0) return;
    bitmap_.Reset(CreateCompatibleBitmap(target, width, height));
    if (!bitmap_) return;
    previousBitmap_ = SelectObject(dc_.Get(), bitmap_.Get());
    // The surface's origin sits at the rectangle's top-left corner.
    SetWindowOrgEx(dc_.Get(), rect.left, rect.top, nullptr);
}

CMemDC::~CMemDC() {
    if (!IsValid()) return;
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, dc_.Get(), rect_.left,
           rect_.top, SRCCOPY);
    // The bitmap must leave the DC before it can be deleted.
    SelectObject(dc_.Get(), previousBitmap_);
    bitmap_.Reset();
}

}  // namespace tarnock::ui
