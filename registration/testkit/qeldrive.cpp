// qeldrive [options] [--] <arguments of QelRegistration.exe...>
// Starts QelRegistration.exe (beside this program) with the arguments and answers its screens as
// the run command's user (AnswerAsTheRunCommand, testkit/program_driver.h): the "-Setup" road to
// the chosen printer, Register on the installer's invitation screen, OK on other boxes, a USB
// printer's Wi-Fi screens with the network and key that the simulated world gives it, and the
// list left once a box told how the registration ended.
// Prints each screen as it is passed (at once, also into a pipe), while one stays up a line every
// --still seconds naming it, then the pages opened, the folder of the pictures and the exit code.
//   --printer <model>     register the printer of that model (default: the list's first row)
//   --pictures <folder>   where the pictures of the screens go (default: test-artifacts)
//   --prefix <text>       start of the pictures' file names
//   --proxy <url>         the program's http proxy: the simulated cloud, http://127.0.0.1:<port>
//   --world <file>        the simulated world (QEL_WORLD_FILE)
//   --language <code>     the texts boxes are read in (default: as the program chooses)
//   --stay <seconds>      how long a screen may stay with nothing done (default 10)
//   --bound <seconds>     how long the whole run may take (default 300)
//   --still <seconds>     how long the run may go untold before a line names the screen up
//                         (default 10)
// Exit code: 0 when the run went through with exit code 0 and nothing left running, 1 when it
// did not, 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "testkit/program_driver.h"

namespace {

void Print(const std::wstring& text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

bool Seconds(const wchar_t* text, std::chrono::milliseconds& out) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value <= 0 || value > 3600) {
        return false;
    }
    out = std::chrono::seconds(value);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    qeltest::DriveOptions options;
    std::wstring model;
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--") {
            ++i;
            break;
        }
        if (option.rfind(L"--", 0) != 0) {
            break;
        }
        if (i + 1 >= argc) {
            Print(L"qeldrive: " + option + L" needs a value\n");
            return 2;
        }
        const wchar_t* value = argv[++i];
        bool ok = true;
        if (option == L"--printer") {
            model = value;
        } else if (option == L"--pictures") {
            options.pictureFolder = value;
        } else if (option == L"--prefix") {
            options.picturePrefix = value;
        } else if (option == L"--proxy") {
            options.proxy = value;
        } else if (option == L"--world") {
            options.worldFile = value;
        } else if (option == L"--language") {
            options.language = value;
        } else if (option == L"--stay") {
            ok = Seconds(value, options.stayBound);
        } else if (option == L"--bound") {
            ok = Seconds(value, options.runBound);
        } else if (option == L"--still") {
            ok = Seconds(value, options.progressEvery);
        } else {
            ok = false;
        }
        if (!ok) {
            Print(L"qeldrive: wrong option " + option + L" " + value + L"\n");
            return 2;
        }
    }
    options.args.assign(argv + i, argv + argc);
    qeltest::AnswerAsTheRunCommand(model, options);
    options.progress = Print;

    const qeltest::DriveReport report = qeltest::DriveProgram(options);
    Print(qeltest::FormatEnding(report));
    return report.Passed() ? 0 : 1;
}
