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

}  // namespace tarnock::ui::loop
