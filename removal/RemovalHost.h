// What a removal running on its worker thread needs from the window that started it. The
// worker never touches a window: the host shows the questions on the user-interface
// thread and waits for the answer, and it changes the result list there.
#pragma once

#include <windows.h>

#include <string>

namespace tarnock {

// The selected row as it was when the removal started, taken on the user-interface thread.
struct RemovalRow {
    static constexpr int kColumns = 5;  // name, information, key, icon file, registry place
    int row = -1;                       // -1: nothing was selected
    std::string texts[kColumns];
    int itemValue = 0;
    int category = 0;     // the category the list showed
    int rankConsent = 0;  // whether the user takes part in the deletion ranking

    const std::string& Name() const { return texts[0]; }
    const std::string& Info() const { return texts[1]; }
    const std::string& Key() const { return texts[2]; }
    const std::string& IconFile() const { return texts[3]; }
    const std::string& PlaceText() const { return texts[4]; }
};

class IRemovalHost {
public:
    virtual ~IRemovalHost() = default;

    // A modal Korean question with Yes and No; true only for Yes. No once the program is
    // shutting down.
    virtual bool AskYesNo(const std::wstring& text) = 0;
    // A modal Korean message with OK.
    virtual void Tell(const std::wstring& text) = 0;
    // Asked before a command from a place the user can write (`source`, the full registry
    // path it was read from) is started with Tarnock's administrator rights, because the
    // desktop shell could not start it as the user. True only for Yes; the default, and any
    // host that cannot ask, runs nothing.
    virtual bool AskRunWithAdministratorRights(const std::string& command, const std::string& source) {
        (void)command;
        (void)source;
        return false;
    }
    // Takes the row out of the list: the host finds it again by its texts and deletes it only
    // while the list still shows the category the removal started in. Does not wait.
    virtual void DeleteRow(const RemovalRow& row) = 0;
    // Lists `category` again, only while the list still shows it. Does not wait.
    virtual void Rescan(int category) = 0;
    // Events on which a removal waits for an entry to change; the host signals every
    // registered event when the program shuts down.
    virtual void AddChangeWaitEvent(HANDLE event) = 0;
    virtual void RemoveChangeWaitEvent(HANDLE event) = 0;
    virtual bool IsShuttingDown() const = 0;
    // Whether the removal of `row` is under way (its uninstaller runs); the window shows it.
    // Does not wait.
    virtual void SetUnderWay(const RemovalRow& row, bool underWay) {
        (void)row;
        (void)underWay;
    }
};

}  // namespace tarnock
