#include "testkit/child_process.h"

namespace qeltest {

namespace {

constexpr UINT kExitCodeWhenKilled = 0xDEAD;

std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless they stand before a quote.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

} // namespace

std::wstring BuildCommandLine(const std::wstring& program, const std::vector<std::wstring>& args) {
    std::wstring line = Quote(program);
    for (const auto& arg : args) {
        line += L' ';
        line += Quote(arg);
    }
    return line;
}

ChildProcess::ChildProcess(const std::wstring& program, const std::vector<std::wstring>& args,
                           std::chrono::milliseconds maxLifetime) {
    std::wstring commandLine = BuildCommandLine(program, args);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Under Wine a start fails now and then with ERROR_INTERNAL_ERROR when the new process ends
    // inside Wine's own start-up, before any of its code ran (seen once in a run with every
    // processor busy): such a start says nothing about the program, so it is tried again.
    constexpr int kStarts = 3;
    for (int start = 1;; ++start) {
        if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &startup, &info)) {
            break;
        }
        if (::GetLastError() != ERROR_INTERNAL_ERROR || start == kStarts) {
            return;
        }
        ++startRetries_;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    watchdog_ = std::thread([this, maxLifetime] { Watch(maxLifetime); });
}

ChildProcess::~ChildProcess() {
    if (watchdog_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        stop_.notify_all();
        watchdog_.join();
    }
    if (process_ && IsRunning()) {
        ::TerminateProcess(process_.get(), kExitCodeWhenKilled);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

void ChildProcess::Watch(std::chrono::milliseconds maxLifetime) {
    std::unique_lock lock(mutex_);
    if (stop_.wait_for(lock, maxLifetime, [this] { return stopping_; })) {
        return;
    }
    if (IsRunning()) {
        killed_ = true;
        ::TerminateProcess(process_.get(), kExitCodeWhenKilled);
    }
}

std::optional<DWORD> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    if (!process_) {
        return std::nullopt;
    }
    if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.get(), &code)) {
        return std::nullopt;
    }
    return code;
}

bool ChildProcess::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

} // namespace qeltest
