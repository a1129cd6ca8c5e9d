// What the request engine takes from the desktop: the user's proxy settings, the proxy
// credential prompt and its time-outs. Tests replace them; the program uses the defaults.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace qelhttp {

// The longest one exchange may take, from its send to the last byte of the answer. WinHTTP's
// time-outs bound each call only, so a server that trickles its answer would hold the status
// progress dialog, which has no Cancel, for ever.
inline constexpr std::chrono::milliseconds kExchangeLimit{120000};

// The bound that engines made from now on get: kExchangeLimit unless a test put another in
// place.
std::chrono::milliseconds ExchangeLimit();

// Puts another bound in place for the life of the guard (tests), for engines made meanwhile.
class ScopedExchangeLimit {
public:
    explicit ScopedExchangeLimit(std::chrono::milliseconds limit);
    ~ScopedExchangeLimit();
    ScopedExchangeLimit(const ScopedExchangeLimit&) = delete;
    ScopedExchangeLimit& operator=(const ScopedExchangeLimit&) = delete;

private:
    std::chrono::milliseconds previous_;
};

struct UserProxySettings {
    std::wstring proxy;  // empty when the user has no proxy
    std::wstring bypass; // the proxy's bypass list
};

struct HttpEngineOptions {
    // Resolve, connect, send and receive time-outs in milliseconds.
    int timeoutMs = 30000;
    // One whole exchange; the time the user spends in the proxy prompt does not count.
    std::chrono::milliseconds exchangeLimit = ExchangeLimit();
    // The clock that the exchange's bound is kept on; the steady clock unless a test gives one.
    std::function<std::chrono::steady_clock::time_point()> clock;
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
