#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fake_application_info.h"
#include "kivutil/kiv_url_params.h"
#include "qelhttp/gateway_texts.h"

namespace {

using kivutil::KIVServerURLParamBuilder;
using kivutil::KIVServerURLParamContext;
using qelhttp::testing::FakeApplicationInfo;

const std::wstring kBase = L"https://gw.example/cap";

FakeApplicationInfo TypicalFacts() {
    FakeApplicationInfo info;
    info.launchMode = 4;
    info.languageCode = L"en";
    info.osVersion = L"W10.0";
    info.residence = L"asia";
    info.area = L"JP";
    info.deviceName = L"PX-1";
    info.version = L"1.8.0";
    return info;
}

std::wstring Query(FakeApplicationInfo& info, unsigned int flags, unsigned char result = 0,
                   std::wstring status = {}, std::wstring detail = {}) {
    KIVURLParams params;
    params.device = L"left over";
    KIVServerURLParamBuilder().Build(params, flags, {&info, result, status, detail});
    return qelhttp::BuildKIVQuery(kBase, params);
}

TEST(KIVQuery, WholeQueries) {
    struct Case {
        const char* name;
        std::function<void(FakeApplicationInfo&)> change;
        unsigned int flags;
        std::wstring query;
    };
    const Case cases[] = {
        {"launcher info page", [](auto&) {}, 2,
         L"?FNC=INFO&CHA=HD&LNG=en&OSV=W10.0&RES=asia&ARA=JP&DEV=PX-1&SFV=1.8.0&UAH=NONE"},
        {"region code replaces residence", [](auto& i) { i.regionCode = L"C"; }, 3,
         L"?FNC=MLOGIN&CHA=HD&LNG=en&OSV=W10.0&RES=C&ARA=JP&DEV=PX-1&SFV=1.8.0&UAH=NONE"},
        {"region code without area drops the area key",
         [](auto& i) {
             i.regionCode = L"4";
             i.area.clear();
         },
         2, L"?FNC=INFO&CHA=HD&LNG=en&OSV=W10.0&RES=4&DEV=PX-1&SFV=1.8.0&UAH=NONE"},
        {"residence keeps an empty area key",
         [](auto& i) {
             i.area.clear();
             i.languageCode.clear();
         },
         2, L"?FNC=INFO&CHA=HD&LNG=&OSV=W10.0&RES=asia&ARA=&DEV=PX-1&SFV=1.8.0&UAH=NONE"},
        {"unknown device and serial for registrations",
         [](auto& i) {
             i.deviceName.clear();
             i.userAction = 240;
             i.sendInfoCode = 0x1A;
         },
         1,
         L"?FNC=UREG_AUTO&CHA=HD&LNG=en&OSV=W10.0&RES=asia&ARA=JP&DEV=Unknown&SFV=1.8.0"
         L"&SNO=Unknown&FUS=001A"},
        {"serial number and UTF-8 encoding",
         [](auto& i) {
             i.deviceName = L"Velto PX-1 \u00e9/&=?";
             i.serialNumber = L"SN 42";
             i.launchMode = 0;
             i.userAction = 7;
         },
         4,
         L"?FNC=UREG_SKIP&CHA=UR&LNG=en&OSV=W10.0&RES=asia&ARA=JP"
         L"&DEV=Velto+PX-1+%C3%A9%2F%26%3D%3F&SFV=1.8.0&SNO=SN+42&UAH=SDLG2"},
        {"an unpaired surrogate from the registry is sent as U+FFFD",
         [](auto& i) {
             i.deviceName = std::wstring(L"PX") + wchar_t(0xD800) + L"1";
             i.residence = std::wstring(1, wchar_t(0xDC00));
         },
         2,
         L"?FNC=INFO&CHA=HD&LNG=en&OSV=W10.0&RES=%EF%BF%BD&ARA=JP&DEV=PX%EF%BF%BD1&SFV=1.8.0"
         L"&UAH=NONE"},
        {"unknown flags and mode",
         [](auto& i) {
             i.launchMode = 9;
             i.userAction = 0;
         },
         0xF0, L"?FNC=&CHA=&LNG=en&OSV=W10.0&RES=asia&ARA=JP&DEV=PX-1&SFV=1.8.0"},
    };
    for (const auto& c : cases) {
        FakeApplicationInfo info = TypicalFacts();
        c.change(info);
        EXPECT_EQ(Query(info, c.flags), kBase + c.query) << c.name;
    }
}

TEST(KIVQuery, Status) {
    struct Case {
        unsigned char result;
        std::wstring status;
        std::wstring detail;
        std::wstring expected;
    };
    const Case cases[] = {
        {203, L"E", L"x", L"E_CT_SERVER_ERR"},
        {204, L"E", L"", L"E_CT_NOT_INTERNET"},
        {205, L"E", L"", L"E_CT_TIMEOUT"},
        {206, L"E", L"x", L"E_CT_OTHER_ERR"},
        {200, L"E", L"5", L"E_5"},
        {201, L"E", L"", L"E"},
        {205, L"", L"5", L""},
        {0, L"OK", L"LAN", L"OK_LAN"},
    };
    for (const auto& c : cases) {
        FakeApplicationInfo info = TypicalFacts();
        KIVURLParams params;
        KIVServerURLParamBuilder().Build(params, 1, {&info, c.result, c.status, c.detail});
        EXPECT_EQ(params.status, c.expected) << c.result;
        const std::wstring query = qelhttp::BuildKIVQuery(kBase, params);
        EXPECT_EQ(query.find(L"&STS=") != std::wstring::npos, !c.expected.empty());
    }
}

TEST(KIVQuery, ChannelsUserActionsAndSendInfoCodes) {
    const std::wstring channels[] = {L"UR", L"PY", L"PY2", L"PY3", L"HD", L""};
    for (int mode = 0; mode < 6; ++mode) {
        FakeApplicationInfo info = TypicalFacts();
        info.launchMode = mode;
        KIVURLParams params;
        KIVServerURLParamBuilder().Build(params, 2, {&info, 0, {}, {}});
        EXPECT_EQ(params.channel, channels[mode]) << mode;
    }
    const std::wstring actions[] = {L"",      L"NONE",  L"CDLG1", L"CDLG2", L"CDLG4",
                                    L"CDLG5", L"SDLG1", L"SDLG2", L""};
    for (int action = 0; action < 9; ++action) {
        FakeApplicationInfo info = TypicalFacts();
        info.userAction = action;
        KIVURLParams params;
        KIVServerURLParamBuilder().Build(params, 2, {&info, 0, {}, {}});
        EXPECT_EQ(params.userAction, actions[action]) << action;
    }
    struct Code {
        int value;
        std::wstring text;
    };
    const Code codes[] = {{0x8000, L""},     {0, L"0000"},      {0x1A, L"001A"},
                          {0xFFFF, L"FFFF"}, {0x7FFF, L"7FFF"}, {0x12345, L"12345"},
                          {-1, L"FFFFFFFF"}};
    for (const auto& code : codes) {
        FakeApplicationInfo info = TypicalFacts();
        info.sendInfoCode = code.value;
        KIVURLParams params;
        KIVServerURLParamBuilder().Build(params, 2, {&info, 0, {}, {}});
        EXPECT_EQ(params.sendInfoCode, code.text) << code.value;
    }
    const std::wstring functions[] = {L"", L"UREG_AUTO", L"INFO", L"MLOGIN", L"UREG_SKIP", L""};
    for (unsigned int flags = 0; flags < 6; ++flags) {
        FakeApplicationInfo info = TypicalFacts();
        KIVURLParams params;
        KIVServerURLParamBuilder().Build(params, flags | 0x30, {&info, 0, {}, {}});
        EXPECT_EQ(params.functionCode, functions[flags]) << flags;
    }
}

// Registrations (function codes 1 and 4) send "Unknown" for a missing serial number, the pages
// (2 and 3) send none; with or without the application facts.
TEST(KIVQuery, UnknownSerialNumberOnlyForRegistrations) {
    struct Case {
        unsigned int flags;
        std::wstring serial;
    };
    const Case cases[] = {
        {1, L"Unknown"}, {2, L""},           {3, L""},
        {4, L"Unknown"}, {0x41, L"Unknown"}, {0x14, L"Unknown"},
    };
    for (const auto& c : cases) {
        FakeApplicationInfo info = TypicalFacts();
        info.serialNumber.clear();
        KIVURLParams params;
        KIVServerURLParamBuilder().Build(params, c.flags, {&info, 0, {}, {}});
        EXPECT_EQ(params.serialNumber, c.serial) << "with facts, flags " << c.flags;
        KIVServerURLParamBuilder().Build(params, c.flags, {nullptr, 0, {}, {}});
        EXPECT_EQ(params.serialNumber, c.serial) << "without facts, flags " << c.flags;
    }
}

TEST(KIVQuery, WithoutApplicationFacts) {
    KIVURLParams params;
    KIVServerURLParamBuilder().Build(params, 1, {nullptr, 205, L"E", L""});
    EXPECT_EQ(qelhttp::BuildKIVQuery(L"", params),
              L"?FNC=UREG_AUTO&CHA=&LNG=&OSV=&RES=&ARA=&DEV=Unknown&SFV=&STS=E_CT_TIMEOUT"
              L"&SNO=Unknown");
}

TEST(RegistrationRequest, TheDocumentFormEncodedAfterMessage) {
    KIVRegistrationData data;
    data.deviceRegion = L"C";
    data.agent = L"Agent 1 <x> & \"y\"";
    const std::string body = qelhttp::BuildRegistrationRequest(data);
    ASSERT_EQ(body.rfind("message=%3C%3Fxml+version%3D%221.0%22", 0), 0u);
    EXPECT_NE(body.find("%3Ccap%3Aagent%3EAgent+1+%26lt%3Bx%26gt%3B+%26amp%3B+%22y%22"),
              std::string::npos);
    EXPECT_EQ(body.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._+%=", 0),
              std::string::npos);
}

TEST(KIVQuery, BaseAddressIsWrittenUnchanged) {
    KIVURLParams params;
    EXPECT_EQ(qelhttp::BuildKIVQuery(L"https://h\u00e9.example/p?x=1 2", params),
              L"https://h\u00e9.example/p?x=1 2?FNC=&CHA=&LNG=&OSV=&RES=&ARA=&DEV=&SFV=");
}

} // namespace
