#include "simulated_cloud.h"

#include <windows.h>
#include <winhttp.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "win/unique_any.h"

namespace qelcloud {

namespace {

void CloseInternetHandle(HINTERNET handle) noexcept {
    ::WinHttpCloseHandle(handle);
}
using InternetHandle = qelwin::unique_any<HINTERNET, CloseInternetHandle>;

std::string Encode(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

SimulatedCloud::SimulatedCloud() {
    const char* dir = std::getenv("QEL_CLOUD_STATE_DIR");
    if (dir == nullptr || *dir == '\0') {
        throw std::runtime_error("QEL_CLOUD_STATE_DIR is not set: run the test through ctest");
    }
    std::string path = dir;
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path; // the Unix root as Wine shows it
    }
    std::ifstream file(path + "/cloud.port");
    if (!(file >> port_) || port_ <= 0) {
        throw std::runtime_error("no simulated cloud port in " + path);
    }
}

std::wstring SimulatedCloud::Url(const std::wstring& path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

std::string SimulatedCloud::Call(const wchar_t* method, const std::string& pathAndQuery,
                                 const std::string& body, int& status) {
    status = 0;
    InternetHandle session(::WinHttpOpen(L"QelCloudControl", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    InternetHandle connection(
        session.get() != nullptr
            ? ::WinHttpConnect(session.get(), L"127.0.0.1", static_cast<INTERNET_PORT>(port_), 0)
            : nullptr);
    const std::wstring target = Widen("/_control/" + pathAndQuery);
    InternetHandle request(connection.get() != nullptr
                               ? ::WinHttpOpenRequest(connection.get(), method, target.c_str(),
                                                      nullptr, WINHTTP_NO_REFERER,
                                                      WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                               : nullptr);
    if (request.get() == nullptr) {
        throw std::runtime_error("cannot reach the simulated cloud");
    }
    ::WinHttpSetTimeouts(session.get(), 60000, 60000, 60000, 60000);
    void* data = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
    const DWORD length = static_cast<DWORD>(body.size());
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, data, length, length,
                              0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
        throw std::runtime_error("control request failed: " + pathAndQuery);
    }
    DWORD code = 0;
    DWORD size = sizeof(code);
    ::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX);
    status = static_cast<int>(code);
    std::string answer;
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available) || available == 0) {
            break;
        }
        const std::size_t old = answer.size();
        answer.resize(old + available);
        DWORD read = 0;
        ::WinHttpReadData(request.get(), answer.data() + old, available, &read);
        answer.resize(old + read);
    }
    return answer;
}

void SimulatedCloud::Reset() {
    int status = 0;
    Call(L"POST", "reset", {}, status);
}

void SimulatedCloud::AddRule(const std::string& json) {
    int status = 0;
    Call(L"POST", "rule", json, status);
    if (status != 200) {
        throw std::runtime_error("rule refused: " + json);
    }
}

void SimulatedCloud::Release() {
    int status = 0;
    Call(L"POST", "release", {}, status);
}

int SimulatedCloud::TlsPort() {
    int status = 0;
    return std::atoi(Call(L"GET", "tls_port", {}, status).c_str());
}

int SimulatedCloud::StalledPort() {
    int status = 0;
    return std::atoi(Call(L"GET", "stalled_port", {}, status).c_str());
}

std::string SimulatedCloud::TlsFailures() {
    int status = 0;
    return Call(L"GET", "tls_failures?timeout_ms=10000", {}, status);
}

int SimulatedCloud::Count(const std::string& pathPrefix) {
    int status = 0;
    return std::atoi(Call(L"GET", "count?path=" + Encode(pathPrefix), {}, status).c_str());
}

int SimulatedCloud::WaitForRequests(int count, const std::string& pathPrefix, int timeoutMs) {
    int status = 0;
    const std::string query = "wait?path=" + Encode(pathPrefix) +
                              "&count=" + std::to_string(count) +
                              "&timeout_ms=" + std::to_string(timeoutMs);
    return std::atoi(Call(L"GET", query, {}, status).c_str());
}

std::optional<std::string> SimulatedCloud::Field(int index, const std::string& field,
                                                 const std::string& pathPrefix) {
    int status = 0;
    std::string value = Call(L"GET",
                             "request?path=" + Encode(pathPrefix) +
                                 "&index=" + std::to_string(index) + "&field=" + Encode(field),
                             {}, status);
    if (status != 200) {
        return std::nullopt;
    }
    return value;
}

} // namespace qelcloud
