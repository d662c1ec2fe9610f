// Move-only owners for the Windows handles the program uses. Every handle that is
// opened or created is held by one of these, so no path can leak it.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <oleauto.h>
#include <userenv.h>
#include <wininet.h>
#include <bcrypt.h>
#include <utility>

namespace tarnock {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const noexcept { return handle_; }
    bool IsValid() const noexcept { return Traits::IsValid(handle_); }
    explicit operator bool() const noexcept { return IsValid(); }

    // For APIs that return the handle through an out-parameter.
    Handle* Put() noexcept {
        Reset();
        return &handle_;
    }
    Handle Release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    void Reset(Handle h = Traits::Empty()) noexcept {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = Traits::Empty();
};

struct KeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct KernelTraits {  // both null and INVALID_HANDLE_VALUE mean "no handle"
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};
struct MemoryDcTraits {  // a DC made with CreateCompatibleDC
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};
struct InternetTraits {  // a WinINet session, connection or request
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { InternetCloseHandle(h); }
};
struct LocalMemoryTraits {  // memory the system allocated with LocalAlloc for the caller
    using Handle = HLOCAL;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { LocalFree(h); }
};
struct CryptAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { BCryptCloseAlgorithmProvider(h, 0); }
};
struct CryptKeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { BCryptDestroyKey(h); }
};
struct CryptHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { BCryptDestroyHash(h); }
};
template <typename T>
struct GdiTraits {
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

// An environment block of CreateEnvironmentBlock (userenv; linked where it is used).
struct EnvironmentBlockTraits {
    using Handle = void*;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyEnvironmentBlock(h); }
};

using ScopedKey = UniqueHandle<KeyTraits>;
using ScopedHandle = UniqueHandle<KernelTraits>;
using ScopedFind = UniqueHandle<FindTraits>;
using ScopedModule = UniqueHandle<ModuleTraits>;
using ScopedIcon = UniqueHandle<IconTraits>;
using ScopedMenu = UniqueHandle<MenuTraits>;
using ScopedMemoryDc = UniqueHandle<MemoryDcTraits>;
using ScopedInternet = UniqueHandle<InternetTraits>;
using ScopedLocalMemory = UniqueHandle<LocalMemoryTraits>;
using ScopedCryptAlgorithm = UniqueHandle<CryptAlgorithmTraits>;
using ScopedCryptKey = UniqueHandle<CryptKeyTraits>;
using ScopedCryptHash = UniqueHandle<CryptHashTraits>;
using ScopedBitmap = UniqueHandle<GdiTraits<HBITMAP>>;
using ScopedFont = UniqueHandle<GdiTraits<HFONT>>;
using ScopedBrush = UniqueHandle<GdiTraits<HBRUSH>>;
using ScopedPen = UniqueHandle<GdiTraits<HPEN>>;
using ScopedRegion = UniqueHandle<GdiTraits<HRGN>>;
using ScopedEnvironmentBlock = UniqueHandle<EnvironmentBlockTraits>;

// Selects a GDI object into a DC and puts the previous one back on destruction.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window DC from GetDC, released with ReleaseDC.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// COM initialisation for one scope; uninitialises only when the call succeeded.
class ScopedComInit {
public:
    explicit ScopedComInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept : result_(CoInitializeEx(nullptr, model)) {}
    ~ScopedComInit() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;
    bool Succeeded() const noexcept { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

// OLE initialisation for one scope; OleUninitialize only when OleInitialize succeeded.
class ScopedOleInit {
public:
    ScopedOleInit() noexcept : result_(OleInitialize(nullptr)) {}
    ~ScopedOleInit() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    ScopedOleInit(const ScopedOleInit&) = delete;
    ScopedOleInit& operator=(const ScopedOleInit&) = delete;
    bool Succeeded() const noexcept { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

// Owning COM interface pointer (one reference).
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }

    T* Get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    T** Put() noexcept {
        Reset();
        return &ptr_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    void Reset() noexcept {
        if (ptr_) std::exchange(ptr_, nullptr)->Release();
    }
    template <typename U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        return ptr_ ? ptr_->QueryInterface(__uuidof(U), out.PutVoid()) : E_POINTER;
    }

private:
    T* ptr_ = nullptr;
};

// A BSTR from SysAllocString, freed with SysFreeString.
class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    explicit ScopedBstr(const wchar_t* text) noexcept : text_(text ? SysAllocString(text) : nullptr) {}
    ~ScopedBstr() { SysFreeString(text_); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR Get() const noexcept { return text_; }
    explicit operator bool() const noexcept { return text_ != nullptr; }
    BSTR* Put() noexcept {
        SysFreeString(std::exchange(text_, nullptr));
        return &text_;
    }

private:
    BSTR text_ = nullptr;
};

// A VARIANT cleared with VariantClear (which frees the BSTR or releases the interface it holds).
class ScopedVariant {
public:
    ScopedVariant() noexcept { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    // Holds a copy of `text` as a BSTR; stays empty when it cannot be allocated.
    explicit ScopedVariant(const wchar_t* text) noexcept : ScopedVariant() {
        value_.bstrVal = SysAllocString(text);
        if (value_.bstrVal) value_.vt = VT_BSTR;
    }
    explicit ScopedVariant(long number) noexcept : ScopedVariant() {
        value_.vt = VT_I4;
        value_.lVal = number;
    }
    VARIANT* Get() noexcept { return &value_; }
    const VARIANT& Value() const noexcept { return value_; }

private:
    VARIANT value_;
};

}  // namespace tarnock
