#include "ui/Picture.h"

#include <ole2.h>

#include <cstring>

#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "ui/framework/Application.h"

namespace tarnock::ui {

namespace {

constexpr wchar_t kNoMemory[] = L"Can not allocate enough memory\t";

// The loader's own English message box, owned by the application's main window.
void Report(const std::wstring& text) {
    const CApplication* app = CApplication::Current();
    MessageBoxExW(app ? app->MainWindow() : nullptr, text.c_str(), L"CPicture Error", MB_OK | MB_ICONHAND,
                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

// The system's English text for a failed file open, at most 255 characters.
std::wstring FileErrorText(DWORD error, const char* path) {
    wchar_t buffer[256] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), buffer, 256, nullptr);
    if (length == 0)
        length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer,
                                256, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"The file could not be opened.";
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    text = WideFromAnsi(path) + L": " + text;
    if (text.size() > 255) text.resize(255);
    return text;
}

int HimetricToPixels(OLE_XSIZE_HIMETRIC himetric) { return MulDiv(himetric, 96, 2540); }

// Image files larger than this are not pictures this program shows.
constexpr LONGLONG kMaxFileSize = 64LL * 1024 * 1024;

}  // namespace

void CPicture::Free() {
    picture_.Reset();
    height_ = 0;
    dataSize_ = 0;
    width_ = 0;
}

bool CPicture::Decode(const void* bytes, std::size_t count) {
    if (bytes == nullptr || count == 0 || count > static_cast<std::size_t>(kMaxFileSize)) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count);
    if (block == nullptr) {
        Report(kNoMemory);
        return false;
    }
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        Report(kNoMemory);
        return false;
    }
    std::memcpy(target, bytes, count);
    GlobalUnlock(block);
    ComPtr<IStream> stream;
    // The stream owns the block from here on and frees it when released.
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.Put()))) {
        GlobalFree(block);
        return false;
    }
    const HRESULT result =
        OleLoadPicture(stream.Get(), static_cast<LONG>(count), FALSE, IID_IPicture, picture_.PutVoid());
    if (result == E_NOINTERFACE) {
        picture_.Reset();
        Report(L"IPicture interface is not supported\t");
        return false;
    }
    if (FAILED(result)) picture_.Reset();
    return static_cast<bool>(picture_);
}

bool CPicture::TakeSizes() {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (!picture_ || FAILED(picture_->get_Width(&width)) || FAILED(picture_->get_Height(&height))) {
        Free();
        return false;
    }
    width_ = HimetricToPixels(width);
    height_ = HimetricToPixels(height);
    return true;
}

bool CPicture::LoadFromMemory(const void* bytes, std::size_t count) {
    Free();
    dataSize_ = static_cast<int>(count);
    if (!Decode(bytes, count)) {
        Free();
        return false;
    }
    const int size = dataSize_;
    if (!TakeSizes()) return false;
    dataSize_ = size;
    return true;
}

bool CPicture::LoadFromResource(UINT id, const char* type) {
    Free();
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        Report(L"FindResource() Failed\t");
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) {
        Report(L"LoadResource() Failed\t");
        return false;
    }
    const void* data = LockResource(loaded);
    if (data == nullptr) {
        Report(L"LockResource() Failed\t");
        return false;
    }
    return LoadFromMemory(data, SizeofResource(module, found));
}

bool CPicture::LoadFromFile(const char* path) {
    Free();
    ScopedHandle file(CreateFileA(path ? path : "", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Report(FileErrorText(GetLastError(), path ? path : ""));
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileSize) return false;
    std::vector<BYTE> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read == 0)
        return false;
    return LoadFromMemory(bytes.data(), read);
}

bool CPicture::Draw(HDC dc, const RECT& rect) {
    if (dc == nullptr || !picture_) return false;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    // Source from the bottom edge with a negative height: the picture comes out upright.
    const HRESULT result = picture_->Render(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                            0, height, width, -height, &rect);
    if (FAILED(result)) {
        // Set before the box: its modal loop repaints, and those repaints fail too.
        if (!renderFailureReported_) {
            renderFailureReported_ = true;
            Report(kNoMemory);
        }
        return false;
    }
    return true;
}

}  // namespace tarnock::ui
