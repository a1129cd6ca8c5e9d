// The installer's "-OB", a launcher start with nothing to offer and the service pages, with the
// system replaced: the page opened, the box shown, the end of the run and the kept page
// afterwards, including the failures the out-of-process table (launch_table_test.cpp) cannot
// cause.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TansuApp.h"
#include "app/app_messages.h"
#include "app/start_route.h"
#include "qelinfo/ApplicationInfo.h"
#include "testkit/fake_system.h"
#include "testkit/registry_sandbox.h"
#include "testkit/text_ids.h"
#include "win/unique_any.h"
#include "winutil/registry_values.h"

namespace {

using qeltest::FakeSystem;
using qeltest::TextId;

constexpr wchar_t kGateway[] = L"http://127.0.0.1:18470/gateway/capi";
constexpr wchar_t kKept[] = L"http://127.0.0.1:18470/gateway/page?reg=7&x=a%20b";
constexpr wchar_t kKeptEncoded[] =
    L"http%3A%2F%2F127.0.0.1%3A18470%2Fgateway%2Fpage%3Freg%3D7%26x%3Da%2520b";
constexpr wchar_t kDeviceUf[] = L"https://uf.example/device?p=1";
constexpr wchar_t kSubKeyUf[] = L"https://uf.example/sub?p=2";
constexpr wchar_t kLocalFile[] = L"file:///C:/x.bat";

class LaunchFlows : public qeltest::MachineAndUserKeySandbox {
protected:
    void SetUp() override {
        MachineAndUserKeySandbox::SetUp();
        WriteText(qelinfo::kSettingsKey, L"LanguageCode", qeltest::kTextIdsLanguage);
        const std::wstring device =
            std::wstring(qelwinutil::kInstalledDeviceKey) + L"\\Velto VT-X100 Series";
        WriteText(device, qelwinutil::kUfUrlValue, kDeviceUf);
        WriteText(device + L"\\SN1", qelwinutil::kUfUrlValue, kSubKeyUf);
        WriteText(std::wstring(qelwinutil::kInstalledDeviceKey) + L"\\Velto VT-Z7\\SN1",
                  qelwinutil::kUfUrlValue, kLocalFile);
        // The hidden window: a real one, as the owner of the boxes.
        window_.reset(::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr));
        ASSERT_TRUE(window_);
    }

    qelwin::unique_hwnd window_;
};

TEST_F(LaunchFlows, EachStartOpensItsPageOrTellsAndEndsWithTheRunClosed) {
    struct Row {
        const char* name;
        std::vector<const wchar_t*> args;
        UINT message;
        const wchar_t* area;
        const wchar_t* kept;  // RegUrl before the start
        bool pagesFail;       // the system fails to open the page
        std::wstring page;    // "" for none
        int box;              // 0 for none
        const wchar_t* after; // RegUrl after the start
    };
    const auto installer = [](const wchar_t* key) {
        return std::vector<const wchar_t*>{
            L"-Preply", L"-OB", L"VT-X100", L"Office Queue", qeltest::kTextIdsLanguage, key};
    };
    const auto launcher = [](const wchar_t* sub) {
        return std::vector<const wchar_t*>{L"-HD", sub, L"VT-X100", L""};
    };
    const std::wstring appended = std::wstring(kSubKeyUf) + L"&VTM_SEP=1&reg_url=" + kKeptEncoded;
    const std::wstring query = std::wstring(L"&CHA=HD&LNG=") + qeltest::kTextIdsLanguage +
                               L"&OSV=" + qelinfo::ApplicationInfo().GetOSVersion() +
                               L"&RES=asia&ARA=DE&DEV=Unknown&SFV=" +
                               qelinfo::ApplicationInfo().GetVersion();
    const std::wstring info = std::wstring(kGateway) + L"?FNC=INFO" + query;
    const std::wstring login = std::wstring(kGateway) + L"?FNC=MLOGIN" + query;
    // clang-format off
    const Row rows[] = {
        {"installer -OB: the installer's page with the kept page appended", installer(L"SN1"),
         qelapp::kMsgInstallerFlow, L"DE", kKept, false, appended, 0, L""},
        {"installer -OB without a key: the device key's own page", installer(L""),
         qelapp::kMsgInstallerFlow, L"DE", kKept, false,
         std::wstring(kDeviceUf) + L"&VTM_SEP=1&reg_url=" + kKeptEncoded, 0, L""},
        {"installer -OB, nothing kept: the installer's page alone", installer(L"SN1"),
         qelapp::kMsgInstallerFlow, L"DE", L"", false, kSubKeyUf, 0, L""},
        {"installer -OB, no such device: nothing opens, the kept page goes all the same",
         {L"-Preply", L"-OB", L"VT-Z9", L"Office Queue", qeltest::kTextIdsLanguage, L"SN1"},
         qelapp::kMsgInstallerFlow, L"DE", kKept, false, L"", 0, L""},
        {"installer -OB, the page fails: silent, the kept page goes", installer(L"SN1"),
         qelapp::kMsgInstallerFlow, L"DE", kKept, true, L"", 0, L""},
        {"installer -OB, a kept local file: as if nothing was kept", installer(L"SN1"),
         qelapp::kMsgInstallerFlow, L"DE", kLocalFile, false, kSubKeyUf, 0, L""},
        {"installer -OB, the installer's page a local file: nothing opens, the kept page goes",
         {L"-Preply", L"-OB", L"VT-Z7", L"Office Queue", qeltest::kTextIdsLanguage, L"SN1"},
         qelapp::kMsgInstallerFlow, L"DE", kKept, false, L"", 0, L""},
        {"launcher -ADS with nothing to offer: ends silently", launcher(L"-ADS"),
         qelapp::kMsgLauncherFlow, L"FR", kKept, false, L"", 0, kKept},
        {"information page", launcher(L"-ADS"), qelapp::kMsgServiceInfoPage, L"DE", kKept, false,
         info, 0, kKept},
        {"login page", launcher(L"-LOGIN"), qelapp::kMsgLoginPage, L"DE", kKept, false, login,
         0, kKept},
        {"login page that fails: box 11003, still the end", launcher(L"-LOGIN"),
         qelapp::kMsgLoginPage, L"DE", kKept, true, L"", 11003, kKept},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteText(qelinfo::kSettingsKey, L"AREA", row.area);
        qelwinutil::SaveRegUrl(row.kept);
        FakeSystem system;
        system.pagesFail = row.pagesFail;
        qelapp::TansuApp app(&system);
        std::vector<const wchar_t*> argv{L"QelRegistration.exe"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        ASSERT_TRUE(app.ParseCommandLine(static_cast<int>(argv.size()), argv.data()));
        const auto& options = app.Options();
        app.Facts().SetLaunchMode(
            *qelapp::RouteStart(options.GetMode(), options.GetSubOption()).launchMode);
        // A registration's action still set: the service page reports none.
        app.Facts().SetUserAction(4);
        app.Facts().SetSendInfoCode(1);
        if (row.message == qelapp::kMsgServiceInfoPage || row.message == qelapp::kMsgLoginPage) {
            ASSERT_TRUE(app.Texts().Load(qeltest::kTextIdsLanguage));
        }

        EXPECT_EQ(app.WndProc(window_.get(), row.message, 0, 0), 0);

        EXPECT_EQ(system.pages, row.page.empty() ? std::vector<std::wstring>{}
                                                 : std::vector<std::wstring>{row.page});
        const std::vector<FakeSystem::Box> boxes =
            row.box == 0 ? std::vector<FakeSystem::Box>{}
                         : std::vector<FakeSystem::Box>{
                               {window_.get(), TextId(row.box), TextId(10001), MB_ICONERROR}};
        EXPECT_EQ(system.boxes, boxes);
        EXPECT_EQ(system.posts, (std::vector<FakeSystem::Post>{{window_.get(), WM_CLOSE, 0}}));
        EXPECT_EQ(qelwinutil::ReadRegUrl(), row.after);
    }
}

} // namespace
