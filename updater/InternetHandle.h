// Owner of a WinINet handle (session, connection or request), closed with InternetCloseHandle.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/ScopedHandles.h"

namespace tarnock::updater {

struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { InternetCloseHandle(h); }
};
using ScopedInternet = UniqueHandle<InternetTraits>;

}  // namespace tarnock::updater
