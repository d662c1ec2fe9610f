// An off-screen drawing surface over a rectangle of a target device context; what is
// drawn into it reaches the target in one copy when it goes out of scope.
#pragma once

#include <windows.h>

#include "base/ScopedHandles.h"

namespace tarnock::ui {

class CMemDC {
public:
    // Callers draw with the rectangle's own coordinates.
    CMemDC(HDC target, const RECT& rect);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    HDC Get() const { return dc_.Get(); }
    const RECT& Rect() const { return rect_; }
    bool IsValid() const { return dc_.IsValid() && bitmap_.IsValid(); }

private:
    HDC target_;
    RECT rect_;
    ScopedMemoryDc dc_;
    ScopedBitmap bitmap_;
    HGDIOBJ previousBitmap_ = nullptr;
};

}  // namespace tarnock::ui
