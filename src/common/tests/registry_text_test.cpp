#include "win/registry_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "testkit/registry_sandbox.h"

namespace {

const std::wstring kKey = L"SOFTWARE\\QelTest\\Texts";

class RegistryText : public qeltest::MachineKeySandbox {};

std::optional<std::wstring> Read(const std::wstring& name) {
    return qelwin::ReadRegistryText(HKEY_LOCAL_MACHINE, kKey, name);
}

TEST_F(RegistryText, ReadsTextsAsStoredAndRefusesOtherTypes) {
    const std::wstring longText(5000, L'x');
    const std::wstring unterminated = L"no terminator";
    const BYTE binary[] = {'a', 0, 'b', 0, 0, 0};
    const wchar_t multi[] = L"one\0two\0";

    WriteText(kKey, L"plain", L"EN");
    WriteText(kKey, L"empty", L"");
    WriteText(kKey, L"long", longText);
    WriteRaw(kKey, L"unterminated", REG_SZ, unterminated.c_str(),
             static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
    WriteText(kKey, L"expand", L"%TEMP%", REG_EXPAND_SZ);
    WriteRaw(kKey, L"unterminated expand", REG_EXPAND_SZ, L"%TEMP%", 6 * sizeof(wchar_t));
    WriteDword(kKey, L"dword", 7);
    WriteRaw(kKey, L"binary", REG_BINARY, binary, sizeof(binary));
    WriteRaw(kKey, L"multi", REG_MULTI_SZ, multi, sizeof(multi));

    struct Case {
        const wchar_t* name;
        std::optional<std::wstring> expected;
    };
    const Case cases[] = {
        {L"plain", L"EN"},        {L"empty", L""},
        {L"long", longText},      {L"unterminated", unterminated},
        {L"expand", L"%TEMP%"},   {L"unterminated expand", L"%TEMP%"},
        {L"dword", std::nullopt}, {L"binary", std::nullopt},
        {L"multi", std::nullopt}, {L"missing", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.name), c.expected) << testing::PrintToString(c.name);
    }
}

TEST_F(RegistryText, MissingKeyReadsAsMissing) {
    EXPECT_EQ(qelwin::ReadRegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\QelTest\\None", L"x"),
              std::nullopt);
}

} // namespace
