// A program started by a test, never left running: the owner ends it when it goes away, and a
// watchdog ends it when it outlives its time.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win/unique_any.h"

namespace qeltest {

// The command line for CreateProcessW: each argument quoted the way CommandLineToArgvW reads it.
std::wstring BuildCommandLine(const std::wstring& program, const std::vector<std::wstring>& args);

class ChildProcess {
public:
    // Starts the program with the arguments; the watchdog ends it after maxLifetime.
    ChildProcess(const std::wstring& program, const std::vector<std::wstring>& args,
                 std::chrono::milliseconds maxLifetime);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const noexcept { return static_cast<bool>(process_); }
    DWORD Id() const noexcept { return id_; }
    HANDLE Handle() const noexcept { return process_.get(); }

    // The exit code once the program has ended within the time, else nothing.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout) const;
    bool IsRunning() const;

    // True when the watchdog had to end the program.
    bool KilledByWatchdog() const noexcept { return killed_; }
    // Starts that Wine ended inside its own start-up, each tried again.
    int StartRetries() const noexcept { return startRetries_; }

private:
    void Watch(std::chrono::milliseconds maxLifetime);

    qelwin::unique_handle process_;
    DWORD id_ = 0;
    int startRetries_ = 0;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    bool killed_ = false;
    std::thread watchdog_;
};

} // namespace qeltest
