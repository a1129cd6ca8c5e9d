#include "testkit/page_recorder.h"

#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "win/module_path.h"
#include "win/registry_view.h"
#include "win/unique_any.h"

namespace qeltest {

namespace {

bool SetCommand(const wchar_t* protocol, const std::wstring& command) {
    // HKEY_CLASSES_ROOT itself: Wine looks protocol handlers up only there, not in the user's
    // classes.
    const std::wstring path = std::wstring(protocol) + L"\\shell\\open\\command";
    qelwin::unique_hkey key;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE | qelwin::kRegistryView, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExW(
               key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
               static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return folder;
}

std::wstring FreshFileName() {
    static std::atomic<int> counter{0};
    return TempFolder() + L"qel-pages-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".txt";
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The qelpagerec.exe processes but this one made at or after since that still run.
std::vector<qelwin::unique_handle> RunningRecorders(std::uint64_t since) {
    std::vector<qelwin::unique_handle> running;
    const qelwin::unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return running;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, L"qelpagerec.exe") != 0 ||
            entry.th32ProcessID == ::GetCurrentProcessId()) {
            continue;
        }
        qelwin::unique_handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE,
                                                    FALSE, entry.th32ProcessID));
        FILETIME made{}, ended{}, kernel{}, user{};
        if (process && ::GetProcessTimes(process.get(), &made, &ended, &kernel, &user) &&
            Ticks(made) >= since && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
            running.push_back(std::move(process));
        }
    }
    return running;
}

// The file's lines from byte `from` on, read as UTF-8.
std::vector<std::wstring> LinesFrom(const std::wstring& file, std::uint64_t from) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    std::vector<std::wstring> lines;
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(FromUtf8(line));
    }
    return lines;
}

} // namespace

std::wstring UnrecordedPagesFile() {
    return TempFolder() + L"qel-pages-unrecorded.txt";
}

PageRecorder::PageRecorder() : file_(FreshFileName()) {
    WIN32_FILE_ATTRIBUTE_DATA unrecorded{};
    if (::GetFileAttributesExW(UnrecordedPagesFile().c_str(), GetFileExInfoStandard, &unrecorded)) {
        unrecordedFrom_ =
            (static_cast<std::uint64_t>(unrecorded.nFileSizeHigh) << 32) | unrecorded.nFileSizeLow;
    }
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    made_ = Ticks(now);
    ::DeleteFileW(file_.c_str());
    const std::wstring program = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qelpagerec.exe");
    const std::wstring command = L"\"" + program + L"\" \"%1\"";
    registered_ = ::GetFileAttributesW(program.c_str()) != INVALID_FILE_ATTRIBUTES &&
                  SetCommand(L"http", command) && SetCommand(L"https", command);
    ::SetEnvironmentVariableW(kPageRecordVariable, file_.c_str());
}

PageRecorder::~PageRecorder() {
    ::SetEnvironmentVariableW(kPageRecordVariable, nullptr);
    ::DeleteFileW(file_.c_str());
}

std::vector<std::wstring> PageRecorder::Pages() const {
    return LinesFrom(file_, 0);
}

std::vector<std::wstring> PageRecorder::Unrecorded() const {
    return LinesFrom(UnrecordedPagesFile(), unrecordedFrom_);
}

std::vector<std::wstring> PageRecorder::WaitForPages(std::size_t count,
                                                     std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::wstring> pages;
    while ((pages = Pages()).size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pages;
}

std::vector<std::wstring> PageRecorder::WaitForRecorders(std::chrono::milliseconds bound) const {
    WaitForRecordersMadeSince(made_, bound);
    return Pages();
}

bool WaitForRecordersMadeSince(std::uint64_t since, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    // Looked at again after each wait: one that ended may have had company start meanwhile.
    for (auto running = RunningRecorders(since); !running.empty();
         running = RunningRecorders(since)) {
        for (const auto& process : running) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 ||
                ::WaitForSingleObject(process.get(), static_cast<DWORD>(left.count())) ==
                    WAIT_TIMEOUT) {
                return false;
            }
        }
    }
    return true;
}

} // namespace qeltest
