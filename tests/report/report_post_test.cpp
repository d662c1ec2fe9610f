// OlmaticPost.dll called through its import, against the local report server: what arrives,
// in which encoding, and how long the call may take when the server misbehaves.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/HttpRequest.h"
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
        return "category=" + std::to_string(category) + "&name=" + name + "&icon=" + UrlEncode("icon.exe") +
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
    // Byte for byte: Korean in code page 949, each text encoded once, and of the icon only
    // its file name (its folder names the user's programs folder, which nobody agreed to send).
    EXPECT_EQ(r.body,
              "category=5&name=%C7%D1%B1%DB+%C5%F8%B9%D9+%26+Co%2E&icon=icon%2Eexe"
              "&publisher=%28%C1%D6%29%BF%C3%B8%C5%C6%BD&key=%7B0A1B2C3D%2DTarnock%7D");
}

TEST_F(ReportPostTest, OnlyTheIconsFileNameIsSent) {
    struct Case {
        std::string location;
        std::string sent;
    } cases[] = {
        {AnsiFromWide(L"C:\\Users\\김철수\\AppData\\Local\\앱\\앱.exe"), UrlEncode(AnsiFromWide(L"앱.exe"))},
        {"\"C:\\Program Files\\App\\app.exe\",0", "app%2Eexe"},
        {"C:\\Apps\\tool,v2.exe,-101", "tool%2Cv2%2Eexe"},
        {"D:/portable/run.ico", "run%2Eico"},
        {"plain.exe", "plain%2Eexe"},
        {"C:\\only\\folder\\", ""},
    };
    for (const Case& c : cases) {
        Arguments arguments;
        arguments.iconFile = c.location;
        const size_t before = server_.Requests().size();
        EXPECT_EQ(Call(arguments), 1) << c.location;
        ASSERT_TRUE(server_.WaitForRequests(before + 1, 5000));
        const std::string body = server_.Requests().back().body;
        const size_t start = body.find("&icon=") + 6;
        EXPECT_EQ(body.substr(start, body.find("&publisher=") - start), c.sent) << c.location;
    }
}

TEST(ReportAddress, OnlyHttpsOrThisMachine) {
    struct Case {
        const char* address;
        bool allowed;
    } cases[] = {
        {"https://rank.example.com/report.php", true}, {"HTTPS://rank.example.com:8443/", true},
        {"http://127.0.0.1:8080/rank", true},          {"http://localhost/rank", true},
        {"http://[::1]:81/", true},                     {"http://rank.example.com/report.php", false},
        {"http://127.0.0.1.example.com/", false},       {"http://user@rank.example.com/", false},
        {"ftp://127.0.0.1/", false},                    {"https://", false},
        {"127.0.0.1/rank", false},                      {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSecureOrLoopback(c.address), c.allowed) << c.address;
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
    // Plain http to another host is refused: "127.1" reaches the server here, but is not
    // named as this machine, so nothing may arrive.
    const std::string plainElsewhere =
        "[Report]\r\nAddress=http://127.1:" + std::to_string(server_.Port()) + "/plain\r\n";
    std::vector<const char*> all(std::begin(configurations), std::end(configurations));
    all.push_back(plainElsewhere.c_str());
    for (const char* configuration : all) {
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
