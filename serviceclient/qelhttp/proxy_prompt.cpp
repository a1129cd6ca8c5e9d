#include <windows.h>
#include <wincred.h>

#include <string>

#include "qelhttp/http_engine_options.h"
#include "ui/TextLibrary.h"
#include "win/registry_text.h"

namespace qelhttp {

namespace {

constexpr int kProxyPromptMessage = 11501;
constexpr int kProxyPromptCaption = 11505;
constexpr DWORD kCredentialChars = 256;

// The prompt's texts are cut where a 1024-character buffer would cut them.
std::wstring PromptText(const qelui::TextLibrary& texts, int id) {
    constexpr std::size_t kPromptTextChars = 1023;
    std::wstring text = texts.LoadText(id);
    if (text.size() > kPromptTextChars) {
        text.resize(kPromptTextChars);
    }
    return text;
}

} // namespace

std::wstring ProxyPromptLanguageCode() {
    return qelwin::ReadRegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velto\\QelRegistration",
                                    L"LanguageCode")
        .value_or(L"JP");
}

bool PromptProxyCredentials(std::wstring& userName, std::wstring& password) {
    // The UI text library of the screens: a language code that is no plain short code never
    // becomes part of the path, and the library is mapped as data, so no code in it runs.
    qelui::TextLibrary texts;
    texts.Load(ProxyPromptLanguageCode());
    const std::wstring message = PromptText(texts, kProxyPromptMessage);
    const std::wstring caption = PromptText(texts, kProxyPromptCaption);
    texts.Unload();

    CREDUI_INFOW info{};
    info.cbSize = sizeof(info);
    info.pszMessageText = message.c_str();
    info.pszCaptionText = caption.c_str();
    wchar_t user[kCredentialChars] = {};
    wchar_t secret[kCredentialChars] = {};
    const DWORD result = ::CredUIPromptForCredentialsW(&info, L"ProxyServer", nullptr, 0, user,
                                                       kCredentialChars, secret, kCredentialChars,
                                                       nullptr, CREDUI_FLAGS_DO_NOT_PERSIST);

    // The domain part of DOMAIN\user or user@domain is dropped; a name that cannot be split
    // is used as typed.
    wchar_t userPart[kCredentialChars] = {};
    wchar_t domainPart[kCredentialChars] = {};
    if (::CredUIParseUserNameW(user, userPart, kCredentialChars, domainPart, kCredentialChars) ==
        NO_ERROR) {
        userName = userPart;
    } else {
        userName = user;
    }
    password = secret;
    SecureZeroMemory(secret, sizeof(secret));
    return result != ERROR_CANCELLED;
}

} // namespace qelhttp
