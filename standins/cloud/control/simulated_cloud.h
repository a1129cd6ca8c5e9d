// Test-side handle on the simulated cloud that a ctest fixture started for this test: its
// addresses, the requests it recorded and the misbehaviour it is told to show.
#pragma once

#include <optional>
#include <string>

namespace qelcloud {

class SimulatedCloud {
public:
    // Finds the server through QEL_CLOUD_STATE_DIR; throws std::runtime_error when there is none.
    SimulatedCloud();

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::wstring Url(const std::wstring& path) const;

    // Forgets the records and rules and lets held answers go.
    void Reset();
    // Adds one rule (JSON, see the simulator's Rule class).
    void AddRule(const std::string& json);
    // Lets every held answer go.
    void Release();
    // Number of recorded requests whose path starts with the prefix.
    int Count(const std::string& pathPrefix = "");
    // Waits until that many requests have arrived (or the time is up); gives the number.
    int WaitForRequests(int count, const std::string& pathPrefix = "", int timeoutMs = 10000);
    // One field of a recorded request (negative index counts from the end); nothing when the
    // request or the field does not exist.
    std::optional<std::string> Field(int index, const std::string& field,
                                     const std::string& pathPrefix = "");

    // The port where the same services answer over TLS with a certificate nobody trusts;
    // 0 when the server has no TLS.
    int TlsPort();
    // Reasons of the TLS handshakes that failed, one a line; waits a while for the first.
    std::string TlsFailures();
    // A port where a connect never completes (the server never makes room for it).
    int StalledPort();

private:
    std::string Call(const wchar_t* method, const std::string& pathAndQuery,
                     const std::string& body, int& status);

    int port_ = 0;
};

} // namespace qelcloud
