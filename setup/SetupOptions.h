// What TarnockSetup.exe was asked to do, read from its command line, and the msiexec
// command line that does it.
#pragma once

#include <optional>
#include <string>

namespace tarnock::setup {

enum class SetupAction { Install, Uninstall, Help };

struct SetupOptions {
    SetupAction action = SetupAction::Install;
    bool silent = false;   // no question, no progress window, no message
    std::wstring logFile;  // msiexec's verbose log, when asked for
};

// Switches, case-insensitive, with "/" or "-": S, silent, quiet, qn (silent); uninstall, x
// (remove the installed Tarnock); log FILE; ? or help. Anything else, or "log" without a
// file, gives nothing.
std::optional<SetupOptions> ParseSetupOptions(const std::wstring& arguments);

// The command line of msiexec.exe (given by its full path) for `options`. `target` is the
// package file for an installation and the installed product code for a removal. Both
// always suppress a restart: the setup never reboots the machine on its own.
std::wstring MsiexecCommandLine(const std::wstring& msiexecPath, const SetupOptions& options,
                                const std::wstring& target);

// The arguments of a full command line: everything after the program name (quoted or not).
std::wstring ArgumentsOf(const std::wstring& commandLine);

}  // namespace tarnock::setup
