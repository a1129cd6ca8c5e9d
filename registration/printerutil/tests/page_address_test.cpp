// The service pages' addresses: the gateway's query of the facts with the page's function.
#include <gtest/gtest.h>

#include <string>

#include "fake_application_info.h"
#include "kivutil/kiv_url_params.h"
#include "printerutil/page_address.h"

namespace {

TEST(ServicePage, TheGatewaysQueryOfTheFactsForThePagesFunction) {
    const std::wstring base = L"http://127.0.0.1:18470/gateway/capi";
    struct Case {
        const char* what;
        unsigned int function;
        int launchMode;
        const wchar_t* device; // "" when no printer was chosen
        const wchar_t* region;
        int userAction;
        int sendInfo;
        std::wstring expected;
    };
    const Case cases[] = {
        {"information, no printer chosen", kivutil::kFunctionInfo, 0, L"", L"", 240, 0x8000,
         base + L"?FNC=INFO&CHA=UR&LNG=EN&OSV=W10.0&RES=europe&ARA=DE&DEV=Unknown&SFV=1.8.0"},
        {"information, a printer chosen", kivutil::kFunctionInfo, 0, L"VT-M200 Series", L"1", 240,
         0x8000,
         base + L"?FNC=INFO&CHA=UR&LNG=EN&OSV=W10.0&RES=1&ARA=DE&DEV=VT-M200+Series&SFV=1.8.0"},
        {"a recovery's action still set", kivutil::kFunctionInfo, 0, L"VT-M200 Series", L"1", 4, 1,
         base + L"?FNC=INFO&CHA=UR&LNG=EN&OSV=W10.0&RES=1&ARA=DE&DEV=VT-M200+Series&SFV=1.8.0"
                L"&UAH=CDLG4&FUS=0001"},
        {"the launcher's login page", kivutil::kFunctionLogin, 4, L"VT-M200 Series", L"", 1, 0x8000,
         base + L"?FNC=MLOGIN&CHA=HD&LNG=EN&OSV=W10.0&RES=europe&ARA=DE&DEV=VT-M200+Series"
                L"&SFV=1.8.0&UAH=NONE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qelhttp::testing::FakeApplicationInfo facts;
        facts.languageCode = L"EN";
        facts.osVersion = L"W10.0";
        facts.residence = L"europe";
        facts.area = L"DE";
        facts.version = L"1.8.0";
        facts.launchMode = c.launchMode;
        facts.deviceName = c.device;
        facts.regionCode = c.region;
        facts.userAction = c.userAction;
        facts.sendInfoCode = c.sendInfo;
        EXPECT_EQ(printerutil::ServicePageAddress(facts, base, c.function), c.expected);
    }
}

} // namespace
