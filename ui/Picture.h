// A picture stored as a whole BMP image file (custom resource or memory), drawn
// stretched into any rectangle.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/ScopedHandles.h"

namespace tarnock::ui {

class CPicture {
public:
    CPicture() = default;
    virtual ~CPicture() = default;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    void Free();
    // True when a picture was decoded; a failed load leaves the object empty.
    bool LoadFromResource(UINT id, const char* type);
    bool LoadFromMemory(const void* bytes, std::size_t count);
    // Stretches the whole picture onto `rect`; false when nothing is loaded.
    bool Draw(HDC dc, const RECT& rect) const;

    bool IsLoaded() const { return bitmap_.IsValid(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int DataSize() const { return dataSize_; }
    // The decoded picture as a 32-bit top-down bitmap (for partial, transparent copies).
    HBITMAP Bitmap() const { return bitmap_.Get(); }

private:
    ScopedBitmap bitmap_;
    int height_ = 0;
    int dataSize_ = 0;
    int width_ = 0;
};

}  // namespace tarnock::ui
