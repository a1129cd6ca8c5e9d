// The invitation content: the choice by region, service kind, area and residence, and what the
// application object stores for the invitation screen through the facts it sets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TansuApp.h"
#include "app/invite_content.h"
#include "qelinfo/ApplicationInfo.h"
#include "testkit/registry_sandbox.h"
#include "testkit/text_ids.h"

namespace {

using qelapp::InviteEntry;
using qeltest::TextId;

const InviteEntry kPlain{L"", 15005, 15006};
const InviteEntry kIcon{L"ICON_PY_KiV.png", 15007, 15008};
const InviteEntry kButton{L"illust.png", 15017, 15018};
const InviteEntry kAgreement{L"illust_pr.png", 15019, 15020};
const InviteEntry kAgreementNext{L"", 15021, 15022};

TEST(InviteContent, TheFirstMatchingRowWins) {
    struct Row {
        const char* name;
        qelapp::InviteFacts facts; // region, kind, area, residence, agreement known
        std::vector<InviteEntry> entries;
    };
    // clang-format off
    const Row rows[] = {
        {"1, serviceA", {L"1", L"serviceA", L"JP", L"asia", false}, {kButton}},
        {"1, auto", {L"1", L"auto", L"JP", L"asia", true}, {kIcon}},
        {"1, serviceY", {L"1", L"serviceY", L"DE", L"europe", false}, {kIcon}},
        {"3, serviceX", {L"3", L"serviceX", L"US", L"americas", true}, {kAgreement, kAgreementNext}},
        {"3, serviceY", {L"3", L"serviceY", L"US", L"americas", true}, {kPlain}},
        {"4, serviceA outside Europe", {L"4", L"serviceA", L"US", L"americas", true}, {kPlain}},
        {"C, agreement known outside Europe", {L"C", L"auto", L"JP", L"asia", true}, {kPlain}},
        {"4, serviceA in Europe", {L"4", L"serviceA", L"DE", L"europe", false},
         {kAgreement, kAgreementNext}},
        {"C, no area, agreement known", {L"C", L"serviceX", L"", L"", true},
         {kAgreement, kAgreementNext}},
        {"4, no area, agreement not known", {L"4", L"auto", L"", L"", false}, {kPlain}},
        {"C, in Europe, auto", {L"C", L"auto", L"GB", L"europe", false}, {kPlain}},
        {"another region", {L"7", L"auto", L"JP", L"asia", true}, {}},
        {"no printer, JP", {L"", L"auto", L"JP", L"europe", true}, {kIcon}},
        {"no printer, US", {L"", L"auto", L"US", L"americas", true}, {kPlain}},
        {"no printer, residence europe", {L"", L"auto", L"FR", L"europe", true}, {kPlain}},
        {"no printer, elsewhere", {L"", L"auto", L"CN", L"asia", true}, {}},
        {"no printer, nothing known", {L"", L"auto", L"", L"", true}, {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(qelapp::ChooseInviteContent(row.facts), row.entries) << row.name;
    }
}

class PrepareInviteContent : public qeltest::MachineKeySandbox {};

TEST_F(PrepareInviteContent, FixesTheLaunchFactsAndStoresTheEntriesTexts) {
    struct Row {
        const char* name;
        std::vector<const wchar_t*> args;
        int launchMode;
        const wchar_t* area; // the installer's AREA
        bool qel, agreementKnown;
        const wchar_t* region;
        unsigned char serviceType;
        bool stored;
        const wchar_t* serviceKind;
        std::vector<InviteEntry> entries;
        const wchar_t* language;
    };
    // clang-format off
    const std::vector<const wchar_t*> installer = {L"QelRegistration.exe", L"-Preply", L"-REG",
                                                   L"VT-X100 Series", L"192.168.1.31", L"TEXTIDS"};
    const std::vector<const wchar_t*> launcher = {L"QelRegistration.exe", L"-HD", L"-REG",
                                                  L"VT-X100 Series", L"192.168.1.31"};
    const Row rows[] = {
        {"launcher, region 4 outside Europe", launcher, qelinfo::kLaunchLauncher, L"US", true, true,
         L"4", 1, true, L"auto", {kPlain}, L"REGISTRY"},
        {"installer, region 4 in Europe, serviceA", installer, qelinfo::kLaunchInstallerReg, L"DE",
         true, true, L"4", 1, true, L"serviceA", {kAgreement, kAgreementNext}, L"TEXTIDS"},
        {"installer, region 4, no qel, agreement not known", installer, qelinfo::kLaunchInstaller,
         L"US", false, false, L"4", 0, true, L"auto", {kPlain}, L"TEXTIDS"},
        {"unknown region", installer, qelinfo::kLaunchInstallerReg, L"JP", true, true, L"7", 1,
         false, L"auto", {}, L"TEXTIDS"},
        {"no printer, JP", launcher, qelinfo::kLaunchLauncher, L"JP", true, true, L"", 0, true,
         L"auto", {kIcon}, L"REGISTRY"},
        {"no printer, elsewhere", launcher, qelinfo::kLaunchLauncher, L"CN", true, true, L"", 0,
         false, L"auto", {}, L"REGISTRY"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteText(qelinfo::kSettingsKey, L"AREA", row.area);
        WriteText(qelinfo::kSettingsKey, L"RESIDENCE", L"asia");
        WriteText(qelinfo::kSettingsKey, L"LanguageCode", L"REGISTRY");
        qelapp::TansuApp app;
        ASSERT_TRUE(app.ParseCommandLine(static_cast<int>(row.args.size()), row.args.data()));
        ASSERT_TRUE(app.Texts().Load(qeltest::kTextIdsLanguage));
        app.Facts().SetLaunchMode(row.launchMode);
        EXPECT_EQ(app.PrepareInviteContent(row.qel, row.agreementKnown, row.region, L"SN0042",
                                           row.serviceType),
                  row.stored);
        qelinfo::ApplicationInfo& facts = app.Facts();
        EXPECT_EQ(facts.GetServiceKind(), row.serviceKind);
        EXPECT_EQ(facts.GetDeviceName(), L"VT-X100 Series");
        EXPECT_EQ(facts.GetSerialNumber(), L"SN0042");
        EXPECT_EQ(facts.GetLanguageCode(), row.language);
        EXPECT_EQ(facts.GetArea(), row.area);
        EXPECT_EQ(facts.GetRegionCode(), row.region);
        EXPECT_EQ(facts.GetLaunchMode(), row.launchMode);
        qelinfo::IllustrationMap expected;
        for (std::size_t i = 0; i < row.entries.size(); ++i) {
            expected[std::to_wstring(i + 1)] = {row.entries[i].imageFile,
                                                TextId(row.entries[i].titleText),
                                                TextId(row.entries[i].bodyText)};
        }
        const qelinfo::IllustrationMap& stored = *facts.GetIllustrations();
        ASSERT_EQ(stored.size(), expected.size());
        for (const auto& [key, entry] : expected) {
            ASSERT_EQ(stored.count(key), 1u) << "entry " << std::string(key.begin(), key.end());
            EXPECT_EQ(stored.at(key).imageFile, entry.imageFile);
            EXPECT_EQ(stored.at(key).title, entry.title);
            EXPECT_EQ(stored.at(key).body, entry.body);
        }
    }
}

} // namespace
