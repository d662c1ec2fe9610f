// A picture decoded by the system's picture service (IPicture through OleLoadPicture)
// from a whole image file in a custom resource, a file or memory, drawn stretched into any
// rectangle. Failures are reported to the user in English message boxes.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstddef>

#include "base/ScopedHandles.h"

namespace tarnock::ui {

class CPicture {
public:
    CPicture() = default;
    virtual ~CPicture() { Free(); }
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    void Free();
    // True when a picture was decoded; every load frees the previous picture first, and a
    // failed load leaves the object empty. `path` is 8-bit code-page text.
    bool LoadFromResource(UINT id, const char* type);
    bool LoadFromFile(const char* path);
    bool LoadFromMemory(const void* bytes, std::size_t count);
    // Stretches the whole picture, upright, onto `rect`; false when nothing is loaded or the
    // picture cannot be rendered. A render failure is reported once per object, because
    // the callers draw on every repaint.
    bool Draw(HDC dc, const RECT& rect);

    bool IsLoaded() const { return static_cast<bool>(picture_); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int DataSize() const { return dataSize_; }
    IPicture* Picture() const { return picture_.Get(); }

private:
    bool Decode(const void* bytes, std::size_t count);
    bool TakeSizes();

    ComPtr<IPicture> picture_;
    int height_ = 0;
    int dataSize_ = 0;
    int width_ = 0;
    bool renderFailureReported_ = false;
};

}  // namespace tarnock::ui
