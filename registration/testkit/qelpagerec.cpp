// qelpagerec <address>: the browser of the test prefix. Registered as the handler of "http" and
// "https", it appends the address it was asked to open, as one UTF-8 line, to the file named by
// QEL_PAGE_RECORD, so tests can read which page a program opened. A page it cannot record (no
// file named, or the write failed) goes with why to UnrecordedPagesFile(), so that a report of
// "no page" can tell a page never asked for from one that was lost.
// qelpagerec --wait <seconds>: waits until every other qelpagerec.exe of the prefix has ended, so
// each page asked for is written (tools/run.sh, once the program it started has ended); exit
// code 1 when one still runs after that long.
#include <windows.h>

#include <chrono>
#include <cwchar>
#include <string>

#include "testkit/page_recorder.h"
#include "win/unique_any.h"

namespace {

// What follows the program name on the command line, without the quotes around one argument.
std::wstring Address() {
    std::wstring line = ::GetCommandLineW();
    std::size_t pos = 0;
    if (!line.empty() && line[0] == L'"') {
        pos = line.find(L'"', 1);
        pos = pos == std::wstring::npos ? line.size() : pos + 1;
    } else {
        pos = line.find_first_of(L" \t");
        pos = pos == std::wstring::npos ? line.size() : pos;
    }
    std::wstring rest = line.substr(pos);
    const auto first = rest.find_first_not_of(L" \t");
    rest = first == std::wstring::npos ? std::wstring() : rest.substr(first);
    while (!rest.empty() && (rest.back() == L' ' || rest.back() == L'\t')) {
        rest.pop_back();
    }
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') {
        rest = rest.substr(1, rest.size() - 2);
    }
    return rest;
}

std::wstring RecordFile() {
    const DWORD size = ::GetEnvironmentVariableW(qeltest::kPageRecordVariable, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring path(size, L'\0');
    path.resize(::GetEnvironmentVariableW(qeltest::kPageRecordVariable, path.data(), size));
    return path;
}

// Appends one UTF-8 line; appending keeps each line whole even when two pages open at once.
bool Append(const std::wstring& file, const std::wstring& line) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    const qelwin::unique_file out(::CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return out &&
           ::WriteFile(out.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written,
                       nullptr) &&
           written == utf8.size();
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring address = Address();
    constexpr wchar_t kWait[] = L"--wait ";
    if (address.rfind(kWait, 0) == 0) {
        const long seconds = std::wcstol(address.c_str() + std::size(kWait) - 1, nullptr, 10);
        return qeltest::WaitForRecordersMadeSince(0, std::chrono::seconds(seconds)) ? 0 : 1;
    }
    const std::wstring file = RecordFile();
    const bool recorded = !file.empty() && Append(file, address + L"\n");
    if (!recorded) {
        // A page that reaches no record would read as "no page opened": say where it went.
        Append(qeltest::UnrecordedPagesFile(),
               address + (file.empty() ? L"\tno record file named\n"
                                       : L"\tnot written to " + file + L"\n"));
    }
    return recorded || file.empty() ? 0 : 1;
}
