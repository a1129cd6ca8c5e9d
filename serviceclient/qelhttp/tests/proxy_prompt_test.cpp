#include <gtest/gtest.h>

#include <string>

#include "qelhttp/http_engine_options.h"
#include "testkit/registry_sandbox.h"

namespace {

const std::wstring kKey = L"SOFTWARE\\Velto\\QelRegistration";

class ProxyPromptLanguage : public qeltest::MachineKeySandbox {};

// The prompt reads the language code with the program's one registry reader.
TEST_F(ProxyPromptLanguage, InstallerCodeOrJapanese) {
    struct Case {
        const char* what;
        void (*write)(ProxyPromptLanguage&);
        const wchar_t* code;
    };
    const Case cases[] = {
        {"no key", [](ProxyPromptLanguage&) {}, L"JP"},
        {"plain text", [](ProxyPromptLanguage& t) { t.WriteText(kKey, L"LanguageCode", L"DE"); },
         L"DE"},
        {"expandable text as stored",
         [](ProxyPromptLanguage& t) { t.WriteText(kKey, L"LanguageCode", L"%X%", REG_EXPAND_SZ); },
         L"%X%"},
        {"empty text", [](ProxyPromptLanguage& t) { t.WriteText(kKey, L"LanguageCode", L""); },
         L""},
        {"a number", [](ProxyPromptLanguage& t) { t.WriteDword(kKey, L"LanguageCode", 7); }, L"JP"},
    };
    for (const auto& c : cases) {
        DeleteKey(kKey);
        c.write(*this);
        EXPECT_EQ(qelhttp::ProxyPromptLanguageCode(), c.code) << c.what;
    }
}

} // namespace
