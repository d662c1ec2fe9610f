// OlmaticPost.dll called through its import, against the local report server: what arrives,
// in which encoding, and how long the call may take when the server misbehaves.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "base/TextUtil.h"
#include "olmaticpost/OlmaticPost.h"
#include "support/ReportServer.h"

using namespace tarnock;
using tarnock::testing::ReportServer;

namespace {

// The Tarnock.ini beside the library this program imported.
std::string IniPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("OlmaticPost.dll"), path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + "Tarnock.ini";
}

void WriteIni(const std::string& text) {
    std::ofstream out(IniPath(), std::ios::binary | std::ios::trunc);
    out << text;
}

struct Arguments {
    int category = 5;
    std::string name = UrlEncode(AnsiFromWide(L"한글 툴바 & Co."));
    std::string iconFile = AnsiFromWide(L"C:\\Program Files\\툴바 & 친구\\icon.exe,0");
    std::string publisher = UrlEncode(AnsiFromWide(L"(주)올매틱"));
    std::string key = UrlEncode("{0A1B2C3D-Tarnock}");
    std::string Body() const {
        return "category=" + std::to_string(category) + "&name=" + name + "&icon=" + UrlEncode(iconFile) +
               "&publisher=" + publisher + "&key=" + key;
    }
};

int Call(const Arguments& a) {
    return OlmaticPost(a.category, a.name.c_str(), a.iconFile.c_str(), a.publisher.c_str(), a.key.c_str());
}

class ReportPostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Started()) << "the report server did not start";
        WriteIni("[Report]\r\nAddress=" + server_.Address("/rank/report.php?from=tarnock") + "\r\n");
    }
    void TearDown() override {
        server_.SetMode("ok");  // releases a hanging answer
        DeleteFileA(IniPath().c_str());
    }
    ReportServer server_;
};

TEST_F(ReportPostTest, ImportedAtStartAndExportedAtOrdinal101UnderItsName) {
    HMODULE library = GetModuleHandleA("OlmaticPost.dll");  // loaded with the program, by its import
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(101))),
              reinterpret_cast<void*>(GetProcAddress(library, "OlmaticPost")));
}

TEST_F(ReportPostTest, FiveFieldsArriveExactlyAsAForm) {
    const Arguments arguments;
    EXPECT_EQ(Call(arguments), 1);
    ASSERT_TRUE(server_.WaitForRequests(1, 5000));
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const ReportServer::Request& r = requests[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, "/rank/report.php?from=tarnock");
    EXPECT_EQ(r.Header("User-Agent"), "Tarnock");
    EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(r.Header("Content-Length"), std::to_string(r.body.size()));
    EXPECT_EQ(r.body, arguments.Body());
    // Korean arrives byte by byte in code page 949; the icon path is encoded once, here.
    EXPECT_EQ(r.body.substr(0, r.body.find("&icon=")), "category=5&name=%C7%D1%B1%DB+%C5%F8%B9%D9+%26+Co%2E");
    EXPECT_NE(r.body.find("&icon=C%3A%5CProgram+Files%5C%C5%F8%B9%D9+%26+%C4%A3%B1%B8%5Cicon%2Eexe%2C0&"),
              std::string::npos);
    EXPECT_EQ(r.body.find("%25"), std::string::npos) << "nothing is encoded twice";
    EXPECT_NE(r.body.find("&publisher=%28%C1%D6%29%BF%C3%B8%C5%C6%BD&key=%7B0A1B2C3D%2DTarnock%7D"),
              std::string::npos);
}

TEST_F(ReportPostTest, NullAndEmptyTextsSendEmptyFields) {
    EXPECT_EQ(OlmaticPost(8, nullptr, nullptr, "", nullptr), 1);
    ASSERT_TRUE(server_.WaitForRequests(1, 5000));
    EXPECT_EQ(server_.Requests()[0].body, "category=8&name=&icon=&publisher=&key=");
}

TEST_F(ReportPostTest, NothingConfiguredSendsNothing) {
    const Arguments arguments;
    const char* configurations[] = {
        nullptr,                                // no Tarnock.ini
        "[Site]\r\nMaker=http://127.0.0.1/\r\n",  // no [Report] section
        "[Report]\r\nAddress=\r\n",             // empty
        "[Report]\r\nAddress=   \r\n",          // blank
        "[Report]\r\nAddress=ftp://127.0.0.1/\r\n",  // not HTTP
    };
    for (const char* configuration : configurations) {
        if (configuration) WriteIni(configuration);
        else DeleteFileA(IniPath().c_str());
        const ULONGLONG started = GetTickCount64();
        EXPECT_EQ(Call(arguments), 0) << (configuration ? configuration : "(no file)");
        EXPECT_LT(GetTickCount64() - started, 1000u);
    }
    // A configured call afterwards is the first and only request the server sees.
    WriteIni("[Report]\r\nAddress=" + server_.Address("/after") + "\r\n");
    EXPECT_EQ(Call(arguments), 1);
    ASSERT_TRUE(server_.WaitForRequests(1, 5000));
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/after");
}

TEST_F(ReportPostTest, HangingServerIsLeftAfterThreeSeconds) {
    server_.SetMode("hang");
    Arguments arguments;
    const std::string expected = arguments.Body();
    const ULONGLONG started = GetTickCount64();
    EXPECT_EQ(Call(arguments), 0);
    const ULONGLONG spent = GetTickCount64() - started;
    EXPECT_LT(spent, 3500u);
    EXPECT_GE(spent, 2000u) << "gave up too early";
    // The caller's texts may go at once; the report that went out was complete.
    arguments = Arguments{0, "x", "y", "z", "w"};
    ASSERT_TRUE(server_.WaitForRequests(1, 5000));
    EXPECT_EQ(server_.Requests()[0].body, expected);
    // The library stays usable.
    server_.SetMode("ok");
    EXPECT_EQ(Call(Arguments{}), 1);
}

TEST_F(ReportPostTest, RefusedOrFailedReportsReturnZeroQuickly) {
    const int port = tarnock::testing::UnusedPort();
    ASSERT_NE(port, 0);
    WriteIni("[Report]\r\nAddress=http://127.0.0.1:" + std::to_string(port) + "/rank\r\n");
    ULONGLONG started = GetTickCount64();
    EXPECT_EQ(Call(Arguments{}), 0);
    EXPECT_LT(GetTickCount64() - started, 2000u) << "a refused connection";

    WriteIni("[Report]\r\nAddress=" + server_.Address("/rank") + "\r\n");
    for (const char* mode : {"fail", "close"}) {
        server_.SetMode(mode);
        started = GetTickCount64();
        EXPECT_EQ(Call(Arguments{}), 0) << mode;
        EXPECT_LT(GetTickCount64() - started, 2000u) << mode;
    }
}

}  // namespace
