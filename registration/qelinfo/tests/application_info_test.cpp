#include "qelinfo/ApplicationInfo.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "testkit/registry_sandbox.h"

namespace {

const std::wstring kKey = L"SOFTWARE\\Velto\\QelRegistration";

class ApplicationInfoTest : public qeltest::MachineKeySandbox {};

TEST_F(ApplicationInfoTest, WithoutTheKeyTheDefaultsHold) {
    qelinfo::ApplicationInfo facts;
    EXPECT_EQ(facts.GetResidence(), L"asia");
    EXPECT_EQ(facts.GetArea(), L"JP");
    EXPECT_EQ(facts.GetLanguageCode(), L"");
    EXPECT_EQ(qelinfo::GetLanguageCode(L""), L"");
}

TEST_F(ApplicationInfoTest, RegistryValuesAndTheirDefaults) {
    struct Case {
        const char* what;
        void (*write)(ApplicationInfoTest&);
        const wchar_t* language;
        const wchar_t* residence;
        const wchar_t* area;
    };
    const Case cases[] = {
        {"plain texts",
         [](ApplicationInfoTest& t) {
             t.WriteText(kKey, L"LanguageCode", L"DE");
             t.WriteText(kKey, L"RESIDENCE", L"europe");
             t.WriteText(kKey, L"AREA", L"DE");
         },
         L"DE", L"europe", L"DE"},
        {"empty texts",
         [](ApplicationInfoTest& t) {
             t.WriteText(kKey, L"LanguageCode", L"");
             t.WriteText(kKey, L"RESIDENCE", L"");
             t.WriteText(kKey, L"AREA", L"");
         },
         L"", L"asia", L"JP"},
        {"numbers instead of texts",
         [](ApplicationInfoTest& t) {
             t.WriteDword(kKey, L"LanguageCode", 0x4E45);
             t.WriteDword(kKey, L"RESIDENCE", 1);
             t.WriteDword(kKey, L"AREA", 2);
         },
         L"", L"asia", L"JP"},
        {"expandable texts, taken as stored",
         [](ApplicationInfoTest& t) {
             t.WriteText(kKey, L"LanguageCode", L"EN", REG_EXPAND_SZ);
             t.WriteText(kKey, L"RESIDENCE", L"%SystemRoot%", REG_EXPAND_SZ);
             t.WriteText(kKey, L"AREA", L"US", REG_EXPAND_SZ);
         },
         L"EN", L"%SystemRoot%", L"US"},
        {"only the area", [](ApplicationInfoTest& t) { t.WriteText(kKey, L"AREA", L"US"); }, L"",
         L"asia", L"US"},
    };
    for (const auto& c : cases) {
        DeleteKey(kKey);
        c.write(*this);
        qelinfo::ApplicationInfo facts;
        EXPECT_EQ(facts.GetLanguageCode(), c.language) << c.what;
        EXPECT_EQ(facts.GetResidence(), c.residence) << c.what;
        EXPECT_EQ(facts.GetArea(), c.area) << c.what;
        EXPECT_EQ(qelinfo::GetLanguageCode(L""), c.language) << c.what;
        EXPECT_EQ(qelinfo::GetLanguageCode(L"FR"), L"FR") << c.what;
    }
}

TEST_F(ApplicationInfoTest, AnEmptyCacheIsComputedAgainAndAFilledOneIsKept) {
    qelinfo::ApplicationInfo facts;
    EXPECT_EQ(facts.GetLanguageCode(), L""); // nothing yet: stays missing
    EXPECT_EQ(facts.GetResidence(), L"asia");

    WriteText(kKey, L"LanguageCode", L"DE");
    WriteText(kKey, L"RESIDENCE", L"europe");
    EXPECT_EQ(facts.GetLanguageCode(), L"DE"); // computed again
    EXPECT_EQ(facts.GetResidence(), L"asia");  // kept from the first call

    WriteText(kKey, L"LanguageCode", L"FR");
    EXPECT_EQ(facts.GetLanguageCode(), L"DE");
}

TEST_F(ApplicationInfoTest, LaunchContextOverridesTheRegistryOnlyWithNonEmptyTexts) {
    WriteText(kKey, L"LanguageCode", L"DE");
    WriteText(kKey, L"RESIDENCE", L"europe");
    WriteText(kKey, L"AREA", L"FR");

    qelinfo::ApplicationInfo facts;
    facts.SetLaunchContext(true, false, L"Model 100", L"SN123", L"", L"america", L"US", L"4", 1,
                           qelinfo::kLaunchLauncher);
    EXPECT_EQ(facts.GetDeviceName(), L"Model 100");
    EXPECT_EQ(facts.GetSerialNumber(), L"SN123");
    EXPECT_EQ(facts.GetLanguageCode(), L"DE"); // empty argument: the registry's
    EXPECT_EQ(facts.GetResidence(), L"america");
    EXPECT_EQ(facts.GetArea(), L"US");
    EXPECT_EQ(facts.GetRegionCode(), L"4");
    EXPECT_EQ(facts.GetLaunchMode(), qelinfo::kLaunchLauncher);
    EXPECT_EQ(facts.GetServiceKind(), L"auto"); // outside Europe from the launcher

    facts.SetLaunchContext(true, false, L"", L"", L"EN", L"", L"", L"4", 2, qelinfo::kLaunchSetup);
    EXPECT_EQ(facts.GetLanguageCode(), L"EN");
    EXPECT_EQ(facts.GetResidence(), L"europe"); // empty: read again from the registry
    EXPECT_EQ(facts.GetArea(), L"FR");
    EXPECT_EQ(facts.GetServiceKind(), L"serviceY");
    EXPECT_EQ(facts.GetLaunchMode(), qelinfo::kLaunchSetup);
}

TEST_F(ApplicationInfoTest, InitialStateAndTheValuesFlowsChange) {
    qelinfo::ApplicationInfo facts;
    EXPECT_EQ(facts.GetLaunchString(), L"");
    EXPECT_EQ(facts.GetServiceKind(), L"");
    EXPECT_EQ(facts.GetDeviceName(), L"");
    EXPECT_EQ(facts.GetRegionCode(), L"");
    EXPECT_EQ(facts.GetLaunchMode(), 0);
    EXPECT_EQ(*facts.GetUsbRetried(), 0);
    EXPECT_EQ(*facts.GetUserAction(), 1);
    EXPECT_EQ(facts.GetSendInfoCode(), 0x8000);
    EXPECT_TRUE(facts.GetIllustrations()->empty());

    *facts.GetUserAction() = 240;
    facts.SetUsbRetried(1);
    facts.SetSendInfoCode(1);
    facts.SetLaunchMode(qelinfo::kLaunchScreen);
    facts.SetIllustrations({{L"1", {L"illust.png", L"Title", L"Body"}}});
    (*facts.GetIllustrations())[L"2"] = {L"", L"Second", L"More"};

    qelinfo::IApplicationInfo& shared = facts;
    EXPECT_EQ(*shared.GetUserAction(), 240);
    EXPECT_EQ(*shared.GetUsbRetried(), 1);
    EXPECT_EQ(shared.GetSendInfoCode(), 1);
    EXPECT_EQ(shared.GetLaunchMode(), 2);
    ASSERT_EQ(shared.GetIllustrations()->size(), 2u);
    EXPECT_EQ(shared.GetIllustrations()->at(L"1").imageFile, L"illust.png");
    EXPECT_EQ(shared.GetIllustrations()->at(L"2").title, L"Second");
}

TEST_F(ApplicationInfoTest, VersionsAndUserAgent) {
    qelinfo::ApplicationInfo facts;
    EXPECT_EQ(facts.GetVersion(), L"1.8.0");

    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(::GetVersionExW(&info));
    const std::wstring os =
        L"W" + std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion);
    EXPECT_EQ(facts.GetOSVersion(), os);
    EXPECT_TRUE(std::regex_match(facts.GetOSVersion(), std::wregex(L"W[0-9]+\\.[0-9]+")));
    EXPECT_EQ(facts.GetUserAgent(), L"QelRegistration/1.8.0(" + os + L")");
}

} // namespace
