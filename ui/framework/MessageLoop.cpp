#include "ui/framework/MessageLoop.h"

#include <algorithm>
#include <vector>

#include "ui/framework/Dialog.h"

namespace tarnock::ui::loop {

namespace {

// Windows belong to the thread that made them: one chain per thread.
std::vector<CDialog*>& Chain() {
    thread_local std::vector<CDialog*> chain;
    return chain;
}

}  // namespace

void Register(CDialog& dialog) {
    std::vector<CDialog*>& chain = Chain();
    if (std::find(chain.begin(), chain.end(), &dialog) == chain.end()) chain.push_back(&dialog);
}

void Unregister(CDialog& dialog) {
    std::vector<CDialog*>& chain = Chain();
    chain.erase(std::remove(chain.begin(), chain.end(), &dialog), chain.end());
}

bool PreTranslate(MSG& msg) {
    if (msg.hwnd == nullptr) return false;
    const std::vector<CDialog*>& chain = Chain();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        CDialog* dialog = *it;
        const HWND window = dialog->Hwnd();
        if (window != nullptr && (msg.hwnd == window || IsChild(window, msg.hwnd)))
            return dialog->PreTranslateMessage(msg);
    }
    return false;
}

bool Run(const std::function<bool()>& running) {
    MSG msg{};
    while (running()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return false;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

bool WaitDispatching(std::vector<ScopedHandle> handles, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool quit = false;
    int quitCode = 0;
    bool failed = false;
    while (!handles.empty()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        std::vector<HANDLE> raw;
        raw.reserve(handles.size());
        // MsgWaitForMultipleObjects takes at most MAXIMUM_WAIT_OBJECTS - 1 handles at a time.
        for (std::size_t i = 0; i < handles.size() && raw.size() < MAXIMUM_WAIT_OBJECTS - 1; ++i)
            raw.push_back(handles[i].Get());
        const DWORD count = static_cast<DWORD>(raw.size());
        const DWORD result =
            MsgWaitForMultipleObjects(count, raw.data(), FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (result < WAIT_OBJECT_0 + count) {
            handles.erase(handles.begin() + (result - WAIT_OBJECT_0));
        } else if (result == WAIT_OBJECT_0 + count) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    quit = true;
                    quitCode = static_cast<int>(message.wParam);
                    continue;
                }
                if (PreTranslate(message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        } else {
            failed = true;  // time-out or a failed wait
            break;
        }
    }
    if (quit) PostQuitMessage(quitCode);
    return !failed && handles.empty();
}

}  // namespace tarnock::ui::loop
