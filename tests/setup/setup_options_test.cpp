// The command line of TarnockSetup.exe and the msiexec command it becomes.
#include <gtest/gtest.h>

#include <string>

#include "setup/SetupOptions.h"

using namespace tarnock::setup;

namespace {

struct Case {
    const wchar_t* arguments;
    bool valid;
    SetupAction action;
    bool silent;
    const wchar_t* logFile;
};

}  // namespace

TEST(SetupOptions, SwitchesGiveTheActionAndTheUserInterface) {
    const Case cases[] = {
        {L"", true, SetupAction::Install, false, L""},
        {L"/S", true, SetupAction::Install, true, L""},
        {L"-s", true, SetupAction::Install, true, L""},
        {L"/quiet", true, SetupAction::Install, true, L""},
        {L"/QN", true, SetupAction::Install, true, L""},
        {L"/silent", true, SetupAction::Install, true, L""},
        {L"/uninstall", true, SetupAction::Uninstall, false, L""},
        {L"/uninstall /S", true, SetupAction::Uninstall, true, L""},
        {L"  /X   -S  ", true, SetupAction::Uninstall, true, L""},
        {L"/S /log \"C:\\Temp Files\\setup log.txt\"", true, SetupAction::Install, true, L"C:\\Temp Files\\setup log.txt"},
        {L"/?", true, SetupAction::Help, false, L""},
        {L"/help", true, SetupAction::Help, false, L""},
        {L"/log", false, SetupAction::Install, false, L""},
        {L"/log \"\"", false, SetupAction::Install, false, L""},
        {L"/S /bogus", false, SetupAction::Install, false, L""},
        {L"S", false, SetupAction::Install, false, L""},
        {L"/", false, SetupAction::Install, false, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments: " << std::string(c.arguments, c.arguments + wcslen(c.arguments)));
        const auto options = ParseSetupOptions(c.arguments);
        ASSERT_EQ(options.has_value(), c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(options->action, c.action);
        EXPECT_EQ(options->silent, c.silent);
        EXPECT_EQ(options->logFile, c.logFile);
    }
}

TEST(SetupOptions, MsiexecInstallsOrRemovesWithoutEverRestarting) {
    SetupOptions install;
    EXPECT_EQ(MsiexecCommandLine(L"C:\\windows\\system32\\msiexec.exe", install, L"C:\\T e\\Tarnock.msi"),
              L"\"C:\\windows\\system32\\msiexec.exe\" /i \"C:\\T e\\Tarnock.msi\" /qb /norestart");
    install.silent = true;
    install.logFile = L"C:\\log.txt";
    EXPECT_EQ(MsiexecCommandLine(L"msiexec.exe", install, L"a.msi"),
              L"\"msiexec.exe\" /i \"a.msi\" /qn /norestart /l*v \"C:\\log.txt\"");

    SetupOptions remove;
    remove.action = SetupAction::Uninstall;
    remove.silent = true;
    EXPECT_EQ(MsiexecCommandLine(L"msiexec.exe", remove, L"{7ED9CF3E-D198-4F80-BFB4-B0DC7418B149}"),
              L"\"msiexec.exe\" /x \"{7ED9CF3E-D198-4F80-BFB4-B0DC7418B149}\" /qn /norestart");
}

TEST(SetupOptions, ArgumentsFollowTheProgramNameQuotedOrNot) {
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Tarnock\\TarnockSetup.exe\" /S"), L"/S");
    EXPECT_EQ(ArgumentsOf(L"TarnockSetup.exe   /uninstall /S"), L"/uninstall /S");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Tarnock\\TarnockSetup.exe\""), L"");
    EXPECT_EQ(ArgumentsOf(L"TarnockSetup.exe"), L"");
    EXPECT_EQ(ArgumentsOf(L"\"unterminated /S"), L"");
}
