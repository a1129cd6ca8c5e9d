// What the request engine takes from the desktop: the user's proxy settings, the proxy
// credential prompt and its time-outs. Tests replace them; the program uses the defaults.
#pragma once

#include <functional>
#include <string>

namespace qelhttp {

struct UserProxySettings {
    std::wstring proxy;  // empty when the user has no proxy
    std::wstring bypass; // the proxy's bypass list
};

struct HttpEngineOptions {
    // Resolve, connect, send and receive time-outs in milliseconds.
    int timeoutMs = 30000;
    // Reads the current user's Internet proxy configuration.
    std::function<UserProxySettings()> readProxySettings;
    // Asks the user for proxy credentials; false when the user cancelled.
    std::function<bool(std::wstring& userName, std::wstring& password)> promptProxyCredentials;
};

// The current user's Internet proxy configuration (WinHTTP's view of it).
UserProxySettings ReadUserProxySettings();

// Shows the proxy credential prompt with the texts of the UI text library.
bool PromptProxyCredentials(std::wstring& userName, std::wstring& password);

// The language of the prompt's texts: the installer's language code, "JP" when it cannot be
// read.
std::wstring ProxyPromptLanguageCode();

} // namespace qelhttp
