#include "app/CommandLineOptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using qelapp::CommandLineOptions;

struct Parsed {
    Parsed(int m, int s, std::wstring a = {}, std::wstring b = {}, std::wstring c = {},
           std::wstring d = {})
        : mode(m), subOption(s), first(std::move(a)), second(std::move(b)), third(std::move(c)),
          fourth(std::move(d)) {}
    int mode;
    int subOption;
    std::wstring first, second, third, fourth;
};

struct Case {
    std::vector<const wchar_t*> args; // after the program name
    std::optional<Parsed> parsed;     // nothing: the parse fails
    std::wstring failure;             // the message of a failed parse
};

std::string Describe(const std::vector<const wchar_t*>& args) {
    std::string out;
    for (const wchar_t* a : args) {
        out += testing::PrintToString(a) + " ";
    }
    return out;
}

const std::wstring kCount = L"Param Error - Invalid param count.";

std::wstring Unknown(const std::wstring& option) {
    return L"Param Error - unknown option '" + option + L"'";
}

TEST(CommandLine, EveryOptionAndSubOptionWithTheExactFailureTexts) {
    const Case cases[] = {
        {{}, Parsed{0, 0}, {}},
        {{L"-Setup"}, Parsed{1, 0}, {}},
        {{L"-Setup", L"-REG", L"extra", L"more"}, Parsed{1, 0}, {}},
        {{L"-HD", L"-REG", L"Model 100", L"Printer Queue"},
         Parsed{2, 1, L"Model 100", L"Printer Queue"},
         {}},
        {{L"-HD", L"-REG2", L"m", L"q"}, Parsed{2, 2, L"m", L"q"}, {}},
        {{L"-HD", L"-OB", L"m", L""}, Parsed{2, 3, L"m", L""}, {}},
        {{L"-HD", L"-LOGIN", L"m", L"q"}, Parsed{2, 4, L"m", L"q"}, {}},
        {{L"-HD", L"-ADS", L"m", L"q"}, Parsed{2, 5, L"m", L"q"}, {}},
        {{L"-Preply", L"-REG", L"m", L"192.168.0.5", L"DE"},
         Parsed{3, 1, L"m", L"192.168.0.5", L"DE"},
         {}},
        {{L"-Preply", L"-REG2", L"m", L"q", L"EN", L"Sub Key"},
         Parsed{3, 2, L"m", L"q", L"EN", L"Sub Key"},
         {}},
        {{L"-Preply", L"-OB", L"m", L"q", L"EN"}, Parsed{3, 3, L"m", L"q", L"EN"}, {}},
        {{L"-Preply", L"-LOGIN", L"m", L"q", L"EN"}, Parsed{3, 4, L"m", L"q", L"EN"}, {}},
        {{L"-Preply", L"-ADS", L"m", L"q", L"EN", L"k"}, Parsed{3, 5, L"m", L"q", L"EN", L"k"}, {}},
        // Wrong counts.
        {{L"-HD"}, std::nullopt, kCount},
        {{L"-HD", L"-REG", L"m"}, std::nullopt, kCount},
        {{L"-HD", L"-REG", L"m", L"q", L"EN"}, std::nullopt, kCount},
        {{L"-Preply", L"-REG", L"m", L"q"}, std::nullopt, kCount},
        {{L"-Preply", L"-REG", L"m", L"q", L"EN", L"k", L"x"}, std::nullopt, kCount},
        // The count is checked before the sub-option.
        {{L"-HD", L"-BAD"}, std::nullopt, kCount},
        // Unknown options and wrong case.
        {{L"-setup"}, std::nullopt, Unknown(L"-setup")},
        {{L"SETUP"}, std::nullopt, Unknown(L"SETUP")},
        {{L"hd", L"-REG", L"m", L"q"}, std::nullopt, Unknown(L"hd")},
        {{L"-hd", L"-REG", L"m", L"q"}, std::nullopt, Unknown(L"-hd")},
        {{L"-PREPLY", L"-REG", L"m", L"q", L"EN"}, std::nullopt, Unknown(L"-PREPLY")},
        {{L"/Setup"}, std::nullopt, Unknown(L"/Setup")},
        {{L""}, std::nullopt, Unknown(L"")},
        {{L"-Setup2"}, std::nullopt, Unknown(L"-Setup2")},
        {{L"-HD", L"-reg", L"m", L"q"}, std::nullopt, Unknown(L"-reg")},
        {{L"-HD", L"REG", L"m", L"q"}, std::nullopt, Unknown(L"REG")},
        {{L"-Preply", L"-REG3", L"m", L"q", L"EN"}, std::nullopt, Unknown(L"-REG3")},
        {{L"-Preply", L"-Setup", L"m", L"q", L"EN"}, std::nullopt, Unknown(L"-Setup")},
    };
    for (const auto& c : cases) {
        std::vector<const wchar_t*> argv{L"QelRegistration.exe"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const int argc = static_cast<int>(argv.size());

        CommandLineOptions options;
        const bool ok = options.Parse(argc, argv.data());
        EXPECT_EQ(ok, c.parsed.has_value()) << Describe(c.args);
        if (c.parsed) {
            EXPECT_EQ(options.GetMode(), c.parsed->mode) << Describe(c.args);
            EXPECT_EQ(options.GetSubOption(), c.parsed->subOption) << Describe(c.args);
            EXPECT_EQ(options.GetFirstString(), c.parsed->first) << Describe(c.args);
            EXPECT_EQ(options.GetSecondString(), c.parsed->second) << Describe(c.args);
            EXPECT_EQ(options.GetThirdString(), c.parsed->third) << Describe(c.args);
            EXPECT_EQ(options.GetFourthString(), c.parsed->fourth) << Describe(c.args);
            continue;
        }
        try {
            options.ParseOrThrow(argc, argv.data());
            ADD_FAILURE() << "no failure for " << Describe(c.args);
        } catch (const qelapp::parse_fail& failure) {
            EXPECT_EQ(failure.message(), c.failure) << Describe(c.args);
        }
    }
}

TEST(CommandLine, EachParseStartsFromClearedFields) {
    const wchar_t* installer[] = {L"p", L"-Preply", L"-REG2", L"m", L"q", L"EN", L"k"};
    const wchar_t* setup[] = {L"p", L"-Setup"};
    const wchar_t* bad[] = {L"p", L"-HD", L"-REG"};
    CommandLineOptions options;
    ASSERT_TRUE(options.Parse(7, installer));
    ASSERT_TRUE(options.Parse(2, setup));
    EXPECT_EQ(options.GetMode(), CommandLineOptions::kSetup);
    EXPECT_EQ(options.GetSubOption(), CommandLineOptions::kNone);
    EXPECT_EQ(options.GetFourthString(), L"");

    ASSERT_TRUE(options.Parse(7, installer));
    EXPECT_FALSE(options.Parse(3, bad));
    EXPECT_EQ(options.GetMode(), CommandLineOptions::kLauncher); // as far as it was read
    EXPECT_EQ(options.GetFirstString(), L"");

    options.Clear();
    EXPECT_EQ(options.GetMode(), CommandLineOptions::kNoOption);
    EXPECT_TRUE(options.Parse(1, setup));
    EXPECT_EQ(options.GetMode(), CommandLineOptions::kNoOption);
}

} // namespace
