// Every installer and launcher start of the real QelRegistration.exe under the program driver,
// against a simulated world and the simulated cloud: the screens in order, what the cloud
// received, the page the test browser recorded, the kept page "RegUrl" before and after, and
// the exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "office_world.h"
#include "qelinfo/ApplicationInfo.h"
#include "resource.h"
#include "simulated_cloud.h"
#include "testkit/program_driver.h"
#include "testkit/table_part.h"
#include "testkit/text_ids.h"
#include "win/module_path.h"
#include "win/registry_view.h"
#include "win/unique_any.h"
#include "winutil/registry_values.h"

namespace {

using namespace std::chrono_literals;
using qeltest::Box;
using qeltest::Dialog;
using qeltest::ScreenKey;

constexpr const wchar_t* kModel = qelapptest::kOfficeModel;
constexpr const wchar_t* kQueue = qelapptest::kOfficeQueue;
// What the program's own addresses (the configuration's) start with; the cloud serves them as
// a proxy.
constexpr wchar_t kGateway[] = L"http://127.0.0.1:18470/gateway/";
constexpr wchar_t kEarlier[] = L"http://127.0.0.1:18470/earlier";
constexpr wchar_t kUfUrl[] = L"https://uf.example/done?x=1";

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Values this test writes into the prefix's real registry for the program, removed at the end.
class RealValues {
public:
    ~RealValues() {
        for (const auto& [root, key, name] : written_) {
            qelwin::unique_hkey opened;
            if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE | qelwin::kRegistryView,
                                opened.put()) == ERROR_SUCCESS) {
                ::RegDeleteValueW(opened.get(), name.c_str());
            }
        }
    }
    bool Write(HKEY root, const std::wstring& key, const std::wstring& name,
               const std::wstring& text) {
        qelwin::unique_hkey opened;
        if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | qelwin::kRegistryView, nullptr, opened.put(),
                              nullptr) != ERROR_SUCCESS) {
            return false;
        }
        written_.push_back({root, key, name});
        return ::RegSetValueExW(opened.get(), name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }

private:
    struct Value {
        HKEY root;
        std::wstring key;
        std::wstring name;
    };
    std::vector<Value> written_;
};

TEST(LaunchTable, EveryInstallerAndLauncherStartRunsToItsEnd) {
    qelcloud::SimulatedCloud cloud;
    const std::wstring worldFile =
        qelwin::JoinPath(qelwin::ThisModuleFolder(), L"launch-table.world");
    // The office printer on the qel service "serviceA".
    std::ofstream(worldFile.c_str()) << qelapptest::kOfficeWorld << "qel-service = serviceA\n";

    RealValues values;
    // A European user reading every text as its number; the installer's page for the printer
    // on its device key (the starts below name no installer key).
    ASSERT_TRUE(values.Write(HKEY_LOCAL_MACHINE, qelinfo::kSettingsKey, L"LanguageCode",
                             qeltest::kTextIdsLanguage));
    ASSERT_TRUE(values.Write(HKEY_LOCAL_MACHINE, qelinfo::kSettingsKey, L"AREA", L"DE"));
    ASSERT_TRUE(values.Write(HKEY_LOCAL_MACHINE, qelinfo::kSettingsKey, L"RESIDENCE", L"europe"));
    ASSERT_TRUE(values.Write(HKEY_LOCAL_MACHINE,
                             std::wstring(qelwinutil::kInstalledDeviceKey) + L"\\Velto " + kModel,
                             qelwinutil::kUfUrlValue, kUfUrl));
    ASSERT_TRUE(values.Write(HKEY_CURRENT_USER, qelwinutil::kProgramKey, qelwinutil::kRegUrlValue,
                             kEarlier));

    // How each screen is answered: progress dialogs go by themselves (the registration keeps
    // its fixed waits); the agreement is given unless a row declines it.
    const auto answers = [](int invitation, int agreement) {
        const auto progress = qeltest::GoesByItself(60s);
        return qeltest::AnswerTable{
            {Dialog(IDD_SEARCH_PROGRESS), progress, true},
            {Dialog(IDD_STATUS_PROGRESS), progress, true},
            {Dialog(IDD_INVITATION), qeltest::Press(invitation)},
            {Dialog(IDD_AGREEMENT), qeltest::Press(agreement)},
            {Box(11003), qeltest::Press(IDOK)},
        };
    };
    const ScreenKey search = Dialog(IDD_SEARCH_PROGRESS);
    const ScreenKey status = Dialog(IDD_STATUS_PROGRESS);
    const ScreenKey invitation = Dialog(IDD_INVITATION);
    const ScreenKey agreement = Dialog(IDD_AGREEMENT);

    struct Row {
        const wchar_t* mode;
        const wchar_t* sub;
        const char* rule; // of the cloud; "" for none
        int invitationAnswer;
        int agreementAnswer;
        std::vector<ScreenKey> screens;
        const wchar_t* searchCaption; // of the search progress dialog, when it shows
        // The cloud: registration documents received, the function of its last gateway query
        // ("" for none).
        int registrations;
        const char* lastFunction;
        std::wstring page;  // the page opened starts with this; "" for none
        std::wstring after; // RegUrl afterwards starts with this ("" for empty)
        int starts = 1;
        std::wstring before = kEarlier; // RegUrl before the first of `starts` starts in a row
    };
    // The cloud names its registration pages at its own address.
    const std::wstring registered = cloud.Url(L"/gateway/page?reg=");
    const std::wstring reopened =
        std::wstring(kUfUrl) + L"&VTM_SEP=1&reg_url=" + L"http%3A%2F%2F127.0.0.1%3A18470%2Fearlier";
    const std::wstring login = std::wstring(kGateway) + L"capi?FNC=MLOGIN&CHA=HD&";
    const std::wstring info = std::wstring(kGateway) + L"capi?FNC=INFO&CHA=HD&";
    const wchar_t* none = L"";
    const char* gatewayFails = R"({"path": "/gateway/capi", "status": 500})";
    const char* localFilePage =
        R"({"path": "/gateway/api0122", "fields": {"open_url": "file:///C:/windows/win.ini"}})";
    const ScreenKey failed = Box(11003);
    const std::wstring launcherCaption = qeltest::TextId(11401);
    // clang-format off
    // Beyond the URL limit: nothing opens, crashes or is kept; within it, Wine's shell faults.
    const auto longUrl = "http://127.0.0.1:18470/gateway/page?reg=" + std::string(2960, 'l');
    const auto longRule = R"({"path":"/gateway/api0122","fields":{"open_url":")" + longUrl + "\"}}";
    const std::wstring kept(longUrl.begin(), longUrl.end());
    const Row rows[] = {
        {L"-Preply", L"-REG", "", IDC_INVITATION_REGISTER, IDC_AGREE,
         {search, invitation, agreement, status}, none, 1, "UREG_AUTO", registered, kEarlier},
        {L"-Preply", L"-REG2", "", 0, 0, {}, none, 1, "UREG_AUTO", L"", registered},
        {L"-Preply", L"-OB", "", 0, 0, {}, none, 0, "", reopened, L""},
        {L"-Preply", L"-LOGIN", "", IDC_INVITATION_SKIP, 0, {search, invitation}, none, 0,
         "UREG_SKIP", L"", kEarlier},
        {L"-Preply", L"-ADS", "", IDC_INVITATION_SKIP, 0, {search, invitation}, none, 0, "UREG_SKIP",
         L"", kEarlier},
        {L"-HD", L"-REG", "", 0, IDC_AGREE, {search, agreement, status}, launcherCaption.c_str(), 1,
         "UREG_AUTO", registered, kEarlier},
        {L"-HD", L"-REG2", "", 0, IDC_AGREE, {agreement}, none, 0, "", L"", kEarlier},
        {L"-HD", L"-OB", "", 0, IDC_DISAGREE, {agreement}, none, 0, "", L"", kEarlier},
        {L"-HD", L"-LOGIN", "", 0, 0, {}, none, 0, "", login, kEarlier},
        {L"-HD", L"-ADS", "", 0, 0, {}, none, 0, "", info, kEarlier},
        // A gateway that fails: the installer ends silently and keeps what it had, the
        // launcher tells.
        {L"-Preply", L"-REG2", gatewayFails, 0, 0, {}, none, 0, "UREG_AUTO", L"", kEarlier},
        {L"-HD", L"-REG", gatewayFails, 0, IDC_AGREE, {search, agreement, status, failed},
         launcherCaption.c_str(), 0, "UREG_AUTO", L"", kEarlier},
        // A gateway whose page is a local file: nothing opens or runs, the run ends as without a
        // page, and the installer keeps none.
        {L"-HD", L"-REG", localFilePage, 0, IDC_AGREE, {search, agreement, status},
         launcherCaption.c_str(), 1, "UREG_AUTO", L"", kEarlier},
        {L"-Preply", L"-REG2", localFilePage, 0, 0, {}, none, 1, "UREG_AUTO", L"", L""},
        {L"-Preply", L"-REG", longRule.c_str(), IDC_INVITATION_REGISTER, IDC_AGREE,
         {search, invitation, agreement, status}, none, 1, "UREG_AUTO", L"", kEarlier},
        {L"-HD", L"-REG", longRule.c_str(), 0, IDC_AGREE, {search, agreement, status},
         launcherCaption.c_str(), 1, "UREG_AUTO", L"", kEarlier},
        {L"-Preply", L"-OB", "", 0, 0, {}, none, 0, "", kUfUrl, L"", 1, kept},
        {L"-Preply", L"-OB", "", 0, 0, {}, none, 0, "", kUfUrl, L"", 2, kept.substr(0, 1519)},
    };
    // clang-format on
    for (const Row& row : qeltest::RowsOfThisPart(rows)) {
        SCOPED_TRACE(Narrow(std::wstring(row.mode) + L" " + row.sub));
        cloud.Reset();
        if (*row.rule != '\0') {
            cloud.AddRule(row.rule);
        }
        ASSERT_TRUE(qelwinutil::SaveRegUrl(row.before));
        ASSERT_EQ(qelwinutil::ReadRegUrl(), row.before);

        qeltest::DriveOptions options;
        options.args = {row.mode, row.sub, kModel, kQueue};
        if (std::wstring(row.mode) == L"-Preply") {
            options.args.push_back(qeltest::kTextIdsLanguage);
        }
        options.answers = answers(row.invitationAnswer, row.agreementAnswer);
        options.proxy = L"http://127.0.0.1:" + std::to_wstring(cloud.Port());
        options.worldFile = worldFile;
        options.pagesExpected = row.page.empty() ? 0 : 1;
        options.language = qeltest::kTextIdsLanguage;
        options.picturePrefix = L"launch-" + std::wstring(row.mode + 1) + row.sub + L"-";
        qeltest::DriveReport report = qeltest::DriveProgram(options);
        for (int start = 1; start < row.starts; ++start) {
            EXPECT_EQ(qelwinutil::ReadRegUrl(), row.after) << start;
            report = qeltest::DriveProgram(options);
        }
        const std::string road = Narrow(qeltest::FormatReport(report));

        EXPECT_TRUE(report.Passed()) << road;
        EXPECT_EQ(report.exitCode.value_or(0xDEAD), 0u) << road;
        EXPECT_EQ(report.Road(), row.screens) << road;
        if (!row.screens.empty() && row.screens.front() == search) {
            EXPECT_EQ(report.screens.front().caption, row.searchCaption);
        }
        EXPECT_EQ(cloud.Count("/gateway/api0122"), row.registrations);
        EXPECT_EQ(cloud.Field(-1, "info.q.FNC", "/gateway/capi").value_or(""), row.lastFunction);
        for (int i = 0, count = cloud.Count(); i < count; ++i) {
            EXPECT_EQ(cloud.Field(i, "problems").value_or(""), "")
                << cloud.Field(i, "target").value_or("");
        }
        if (row.page.empty()) {
            EXPECT_TRUE(report.pages.empty()) << road;
        } else {
            ASSERT_EQ(report.pages.size(), 1u) << road;
            EXPECT_EQ(report.pages.front().rfind(row.page, 0), 0u) << road;
        }
        const std::wstring after = qelwinutil::ReadRegUrl();
        if (row.after.empty()) {
            EXPECT_EQ(after, L"");
        } else {
            EXPECT_EQ(after.rfind(row.after, 0), 0u) << Narrow(after);
        }
    }
    ::DeleteFileW(worldFile.c_str());
}

} // namespace
