// Process control on real running programs: the polite close, the programs that ignore it,
// have no window or hold unsaved work, both process lists, and exact file-name comparison.
#include <gtest/gtest.h>

#include <string>

#include "removal/ProcessControl.h"
#include "support/UiDriver.h"

namespace tarnock {
namespace {

using testing::ProgramProcess;
using testing::WaitUntil;
using testing::WindowsPath;

std::string FixtureProcess() { return WindowsPath(TARNOCK_REMOVAL_FIXTURES) + "\\process.exe"; }

// A copy of the process fixture under its own file name, started in `mode`.
class RunningProgram {
public:
    RunningProgram(const std::string& fileName, const std::string& mode) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + fileName;
        CopyFileA(FixtureProcess().c_str(), path_.c_str(), FALSE);
        started_ = process_.Start(path_, "\"" + path_ + "\" " + mode);
        if (mode != "nowindow")
            WaitUntil([&] { return !testing::TopLevelWindows(process_.Id()).empty(); }, 5000);
    }
    ~RunningProgram() {
        process_.Kill();
        process_.WaitForExit(2000);
        DeleteFileA(path_.c_str());
    }
    bool Started() const { return started_; }
    ProgramProcess& Process() { return process_; }

private:
    std::string path_;
    ProgramProcess process_;
    bool started_ = false;
};

class NativeProcessControl : public ProcessControl {
public:
    NativeProcessControl() {
        Load();
        DropToolHelp();
    }
};

enum class Path { ToolHelp, Native };

std::unique_ptr<ProcessControl> MakeControl(Path path) {
    if (path == Path::Native) return std::make_unique<NativeProcessControl>();
    auto control = std::make_unique<ProcessControl>();
    control->Load();
    return control;
}

class ProcessPaths : public ::testing::TestWithParam<Path> {};

TEST_P(ProcessPaths, FindsByTheWholeFileNameWithoutRegardToCase) {
    RunningProgram program("TnkFind.exe", "nowindow");
    ASSERT_TRUE(program.Started());
    auto control = MakeControl(GetParam());
    EXPECT_EQ(GetParam() == Path::ToolHelp, control->ToolHelpUsable());
    ASSERT_TRUE(control->NativeUsable() || control->ToolHelpUsable());
    DWORD id = 0;
    ScopedHandle found = control->FindProcess("tnkfind.EXE", id);
    ASSERT_TRUE(found);
    EXPECT_EQ(id, program.Process().Id());
    // Only whole names match: no part of the name, no longer name, no folder.
    for (const char* other : {"tnkfin.exe", "nkfind.exe", "tnkfind.exe2", "tnkfind", "x\\tnkfind.exe", ""}) {
        DWORD unchanged = 77;
        EXPECT_FALSE(control->FindProcess(other, unchanged)) << other;
        EXPECT_EQ(unchanged, 77u) << other;
    }
}

struct StopCase {
    const char* mode;
    bool decision;        // the answer when the program still shows a window
    StopResult expected;
    bool asked;
    bool stillRunning;
};

class StopCases : public ::testing::TestWithParam<std::tuple<Path, StopCase>> {};

TEST_P(StopCases, StopsPolitelyAndAsksBeforeTerminatingAProgramWithAWindow) {
    const auto& [path, stop] = GetParam();
    RunningProgram program("TnkStop.exe", stop.mode);
    ASSERT_TRUE(program.Started());
    auto control = MakeControl(path);
    control->SetGracePeriod(3000);  // an ending program may take Wine a while to withdraw its window
    bool asked = false;
    const StopResult result = control->StopProcess("TnkStop.exe", [&](const std::string& name) {
        asked = true;
        EXPECT_EQ(name, "TnkStop.exe");
        return stop.decision;
    });
    EXPECT_EQ(result, stop.expected);
    EXPECT_EQ(asked, stop.asked);
    EXPECT_EQ(!program.Process().WaitForExit(500), stop.stillRunning);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StopCases,
    ::testing::Combine(::testing::Values(Path::ToolHelp, Path::Native),
                       ::testing::Values(StopCase{"close", false, StopResult::Closed, false, false},
                                         StopCase{"ignore", false, StopResult::Cancelled, true, true},
                                         StopCase{"ignore", true, StopResult::Terminated, true, false},
                                         StopCase{"unsaved", false, StopResult::Cancelled, true, true},
                                         StopCase{"nowindow", false, StopResult::Terminated, false, false})),
    [](const auto& info) {
        const StopCase& stop = std::get<1>(info.param);
        return std::string(std::get<0>(info.param) == Path::Native ? "Native_" : "ToolHelp_") + stop.mode +
               (stop.decision ? "_Stop" : "_Keep");
    });

INSTANTIATE_TEST_SUITE_P(Both, ProcessPaths, ::testing::Values(Path::ToolHelp, Path::Native),
                         [](const auto& info) { return std::string(info.param == Path::Native ? "Native" : "ToolHelp"); });

TEST(ProcessControl, NotRunningAndNotLoaded) {
    ProcessControl unloaded;
    EXPECT_EQ(unloaded.StopProcess("TnkNone.exe"), StopResult::Failed);
    EXPECT_FALSE(unloaded.IsProcessRunning("TnkNone.exe"));
    ProcessControl loaded;
    loaded.Load();
    EXPECT_EQ(loaded.StopProcess("TnkNone.exe"), StopResult::NotRunning);
}

TEST(ProcessControl, StopsOnlyTheFirstOfTwo) {
    RunningProgram first("TnkTwice.exe", "close");
    ProgramProcess second;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "TnkTwice.exe";
    ASSERT_TRUE(second.Start(path, "\"" + path + "\" close"));
    ProcessControl control;
    control.Load();
    control.SetGracePeriod(3000);
    EXPECT_EQ(control.StopProcess("TnkTwice.exe"), StopResult::Closed);
    EXPECT_TRUE(control.IsProcessRunning("TnkTwice.exe"));
    second.Kill();
}

}  // namespace
}  // namespace tarnock
