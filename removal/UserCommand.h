// Commands read from the current user's part of the registry. Any program of the user can
// write them, so they never start with Tarnock's administrator token on their own: the
// desktop shell starts them as the user, and only where it cannot does Tarnock ask whether
// to start them with its own rights, showing the command and where it came from.
#pragma once

#include <string>

#include "base/DesktopShell.h"
#include "base/RegistryPlace.h"
#include "removal/RemovalEngine.h"
#include "removal/RemovalHost.h"

namespace tarnock {

// HKEY_CURRENT_USER and HKEY_USERS: places that an unelevated program can write.
bool IsUserPlace(const RegistryPlace& place);
// "HKEY_CURRENT_USER\..." (or the place's text) followed by the key path, for the question.
std::string SourceText(const RegistryPlace& place, const std::string& keyPath);

enum class UserStart {
    ByShell,       // the desktop shell started it as the user; it is not Tarnock's child
    AfterConsent,  // no desktop shell; the user agreed and Tarnock started it itself
    Declined,      // no desktop shell; the user said No and nothing was started
    NotFound,      // the command names no existing program
    StartFailed,   // the user agreed, but the program could not be started
};

// Starts `command`, read from `source`, as described above.
UserStart StartUserCommand(IRemovalHost& host, const std::string& command, const std::string& source,
                           ShellStarter starter = &StartThroughDesktopShell);

// The uninstaller of the per-user entry `key` at `place` (IsUserPlace): the engine's
// questions for an entry without command or a missing program, and the start above.
// Outcomes: StartedUntracked when the desktop shell started it (wait for the entry to go),
// Started after the user's consent, Declined on No.
UninstallResult RunUserUninstaller(CRemovalEngine& engine, IRemovalHost& host, const std::string& key,
                                   const RegistryPlace& place, ShellStarter starter);

}  // namespace tarnock
