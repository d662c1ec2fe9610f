#include "ui/Picture.h"

#include <cstdlib>
#include <cstring>

namespace tarnock::ui {

void CPicture::Free() {
    bitmap_.Reset();
    height_ = 0;
    dataSize_ = 0;
    width_ = 0;
}

bool CPicture::LoadFromResource(UINT id, const char* type) {
    Free();
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return false;
    const void* data = LockResource(loaded);
    if (data == nullptr) return false;
    return LoadFromMemory(data, SizeofResource(module, found));
}

bool CPicture::LoadFromMemory(const void* bytes, std::size_t count) {
    Free();
    dataSize_ = static_cast<int>(count);
    const auto* data = static_cast<const BYTE*>(bytes);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (bytes == nullptr || count < sizeof(file) + sizeof(info)) return false;
    std::memcpy(&file, data, sizeof(file));
    std::memcpy(&info, data + sizeof(file), sizeof(info));
    if (file.bfType != 0x4D42 || info.biSize < sizeof(info) || info.biWidth <= 0 || info.biHeight == 0 ||
        info.biPlanes != 1 || info.biCompression != BI_RGB)
        return false;
    const int bits = info.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    const long long width = info.biWidth;
    const long long height = std::llabs(static_cast<long long>(info.biHeight));
    if (width > 16384 || height > 16384) return false;
    const long long stride = ((width * bits + 31) / 32) * 4;
    const long long paletteEntries = bits <= 8 ? (info.biClrUsed ? info.biClrUsed : (1LL << bits)) : 0;
    if (paletteEntries > 256) return false;
    const long long headerEnd = static_cast<long long>(sizeof(file)) + info.biSize + paletteEntries * 4;
    if (headerEnd > static_cast<long long>(count) || file.bfOffBits < headerEnd ||
        file.bfOffBits + stride * height > static_cast<long long>(count))
        return false;

    // The header and palette as the file has them, for the conversion below.
    const auto* sourceInfo = reinterpret_cast<const BITMAPINFO*>(data + sizeof(file));
    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = static_cast<LONG>(width);
    target.bmiHeader.biHeight = -static_cast<LONG>(height);
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    ScopedBitmap converted(CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!converted) return false;
    ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    {
        ScopedSelect select(dc.Get(), converted.Get());
        if (StretchDIBits(dc.Get(), 0, 0, static_cast<int>(width), static_cast<int>(height), 0, 0,
                          static_cast<int>(width), static_cast<int>(height), data + file.bfOffBits, sourceInfo,
                          DIB_RGB_COLORS, SRCCOPY) == 0)
            return false;
    }
    bitmap_ = std::move(converted);
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    return true;
}

bool CPicture::Draw(HDC dc, const RECT& rect) const {
    if (dc == nullptr || !bitmap_) return false;
    ScopedMemoryDc source(CreateCompatibleDC(dc));
    if (!source) return false;
    ScopedSelect select(source.Get(), bitmap_.Get());
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    const BOOL drawn = StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                  source.Get(), 0, 0, width_, height_, SRCCOPY);
    SetStretchBltMode(dc, previousMode);
    return drawn != FALSE;
}

}  // namespace tarnock::ui
