// The start options: which tool started the program and what it asks for.
#pragma once

#include <exception>
#include <string>

namespace qelapp {

// A command line that does not fit; the message names what was wrong.
class parse_fail : public std::exception {
public:
    explicit parse_fail(std::wstring message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return "command line parse failure"; }
    const std::wstring& message() const noexcept { return message_; }

private:
    std::wstring message_;
};

class CommandLineOptions {
public:
    enum Mode : int { kNoOption = 0, kSetup = 1, kLauncher = 2, kInstaller = 3 };
    enum SubOption : int { kNone = 0, kReg = 1, kReg2 = 2, kOb = 3, kLogin = 4, kAds = 5 };

    // Mode and sub-option 0, all strings empty.
    void Clear();

    // Clears, then reads the arguments (argv[0] is the program). False for a command line that
    // does not fit, with the fields as far as they were read; nothing is shown.
    bool Parse(int argc, const wchar_t* const* argv) noexcept;

    // The same, but a misfit raises parse_fail with its message.
    void ParseOrThrow(int argc, const wchar_t* const* argv);

    int GetMode() const noexcept { return mode_; }
    int GetSubOption() const noexcept { return subOption_; }
    // argv[3]: the printer's model name.
    const std::wstring& GetFirstString() const noexcept { return first_; }
    // argv[4]: the printer queue name or address to look the printer up by.
    const std::wstring& GetSecondString() const noexcept { return second_; }
    // argv[5] ("-Preply" only): the language code.
    const std::wstring& GetThirdString() const noexcept { return third_; }
    // argv[6] ("-Preply" with seven arguments only): the installer's sub-key name.
    const std::wstring& GetFourthString() const noexcept { return fourth_; }

private:
    int mode_ = kNoOption;
    int subOption_ = kNone;
    std::wstring first_;
    std::wstring second_;
    std::wstring third_;
    std::wstring fourth_;
};

} // namespace qelapp
