#include "app/CommandLineOptions.h"

#include <array>
#include <new>
#include <utility>

namespace qelapp {

namespace {

constexpr wchar_t kInvalidCount[] = L"Param Error - Invalid param count.";

[[noreturn]] void FailUnknown(const wchar_t* option) {
    throw parse_fail(std::wstring(L"Param Error - unknown option '") + option + L"'");
}

int SubOptionOf(const wchar_t* text) {
    static const std::array<std::pair<const wchar_t*, int>, 5> kSubOptions = {{
        {L"-REG", CommandLineOptions::kReg},
        {L"-REG2", CommandLineOptions::kReg2},
        {L"-OB", CommandLineOptions::kOb},
        {L"-LOGIN", CommandLineOptions::kLogin},
        {L"-ADS", CommandLineOptions::kAds},
    }};
    const std::wstring given = text;
    for (const auto& [name, value] : kSubOptions) {
        if (given == name) {
            return value;
        }
    }
    FailUnknown(text);
}

// A null entry in a hand-made vector reads as an empty argument.
const wchar_t* Arg(const wchar_t* const* argv, int index) {
    return argv[index] != nullptr ? argv[index] : L"";
}

} // namespace

void CommandLineOptions::Clear() {
    mode_ = kNoOption;
    subOption_ = kNone;
    first_.clear();
    second_.clear();
    third_.clear();
    fourth_.clear();
}

bool CommandLineOptions::Parse(int argc, const wchar_t* const* argv) noexcept {
    try {
        ParseOrThrow(argc, argv);
        return true;
    } catch (const parse_fail&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void CommandLineOptions::ParseOrThrow(int argc, const wchar_t* const* argv) {
    Clear();
    if (argc < 2 || argv == nullptr) {
        mode_ = kNoOption;
        return;
    }
    const std::wstring option = Arg(argv, 1);
    if (option == L"-HD") {
        mode_ = kLauncher;
        if (argc != 5) {
            throw parse_fail(kInvalidCount);
        }
    } else if (option == L"-Preply") {
        mode_ = kInstaller;
        if (argc != 6 && argc != 7) {
            throw parse_fail(kInvalidCount);
        }
    } else if (option == L"-Setup") {
        mode_ = kSetup;
        return;
    } else {
        FailUnknown(Arg(argv, 1));
    }

    subOption_ = SubOptionOf(Arg(argv, 2));
    first_ = Arg(argv, 3);
    second_ = Arg(argv, 4);
    if (mode_ == kInstaller) {
        third_ = Arg(argv, 5);
        if (argc == 7) {
            fourth_ = Arg(argv, 6);
        }
    }
}

} // namespace qelapp
