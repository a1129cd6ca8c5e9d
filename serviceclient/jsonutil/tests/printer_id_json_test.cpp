#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "jsonutil/printer_id_json.h"

namespace {

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

Pairs Scan(const std::wstring& text) {
    Pairs pairs;
    jsonutil::ScanQuotedPairs(text, [&pairs](std::wstring_view key, std::wstring_view value) {
        pairs.emplace_back(std::wstring(key), std::wstring(value));
    });
    return pairs;
}

TEST(PrinterIdJsonTest, RequestBodyEscapesItsValues) {
    EXPECT_EQ(
        jsonutil::BuildPrinterIDRequestJson(L"SN\"1", L"00:11:22:AA:BB:CC", L"Modell \u00e9", L"C"),
        "{\"serialNumber\": \"SN\\\"1\", \"macAddress\": \"00:11:22:AA:BB:CC\", "
        "\"modelName\": \"Modell \xc3\xa9\", \"region\": \"C\"}");
    EXPECT_EQ(jsonutil::BuildPrinterIDRequestJson(L"a\\b", L"\n", L"<&>", L"\x01"),
              "{\"serialNumber\": \"a\\\\b\", \"macAddress\": \"\\n\", "
              "\"modelName\": \"<&>\", \"region\": \"\\u0001\"}");
    EXPECT_EQ(
        jsonutil::BuildPrinterIDRequestJson(L"", L"", L"", L""),
        "{\"serialNumber\": \"\", \"macAddress\": \"\", \"modelName\": \"\", \"region\": \"\"}");
}

// The scanner must find exactly what repeated searches with the pattern find; short random
// texts over the characters that matter keep the library's regex within its limits.
TEST(PrinterIdJsonTest, ScannerMatchesThePattern) {
    const std::wregex pattern(LR"re("([\S]+?)"\s*:\s*"((\s|\S)*?)")re");
    const wchar_t alphabet[] = {L'"', L'"', L'"', L':', L' ', L'\n', L'a', L'b', L'\\', L','};
    std::mt19937 random(20240305);
    for (int round = 0; round < 20000; ++round) {
        std::wstring text;
        const int length = static_cast<int>(random() % 16);
        for (int i = 0; i < length; ++i) {
            text += alphabet[random() % std::size(alphabet)];
        }
        Pairs expected;
        for (std::wsregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
            expected.emplace_back((*it)[1].str(), (*it)[2].str());
        }
        ASSERT_EQ(Scan(text), expected) << "text: " << std::string(text.begin(), text.end());
    }
}

TEST(PrinterIdJsonTest, ReadsTheKnownFields) {
    struct Case {
        const char* name;
        std::string body;
        jsonutil::PrinterIDServerResponse expected;
    };
    const Case cases[] = {
        {"any order over several lines",
         "{\n  \"modelName\" : \"M 1\",\n\"printerId\":\"P1\",\r\n \"tempPrinterId\":  \"T1\",\n"
         "  \"macAddress\": \"AA\", \"serialNumber\": \"S1\", \"other\": \"x\"}",
         {L"T1", L"P1", L"S1", L"AA", L"M 1"}},
        {"empty temporary identity",
         R"({"tempPrinterId": "", "printerId": "P1"})",
         {L"", L"P1", L"", L"", L""}},
        {"escaped quote cuts the value",
         R"({"tempPrinterId": "ab\"cd"})",
         {L"ab\\", L"", L"", L"", L""}},
        {"unquoted values are not seen",
         R"({"tempPrinterId": 12, "printerId": null})",
         {L"", L"", L"", L"", L""}},
        {"a later pair wins",
         R"({"printerId": "A", "printerId": "B"})",
         {L"", L"B", L"", L"", L""}},
        {"UTF-8 values", "{\"modelName\": \"\xe3\x83\x97\"}", {L"", L"", L"", L"", L"\u30d7"}},
        {"invalid UTF-8 gives nothing",
         "{\"tempPrinterId\": \"T\xff\"}",
         {L"", L"", L"", L"", L""}},
        {"not JSON", "<html>busy</html>", {L"", L"", L"", L"", L""}},
        {"empty", "", {L"", L"", L"", L"", L""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = jsonutil::ReadPrinterIDResponse(c.body);
        EXPECT_EQ(r.tempPrinterId, c.expected.tempPrinterId);
        EXPECT_EQ(r.printerId, c.expected.printerId);
        EXPECT_EQ(r.serialNumber, c.expected.serialNumber);
        EXPECT_EQ(r.macAddress, c.expected.macAddress);
        EXPECT_EQ(r.modelName, c.expected.modelName);
    }
}

TEST(PrinterIdJsonTest, LongValuesAndQuoteFloodsStayFast) {
    const std::string value(100000, 'v');
    const auto r = jsonutil::ReadPrinterIDResponse("{\"tempPrinterId\": \"" + value + "\"}");
    EXPECT_EQ(r.tempPrinterId.size(), value.size());

    // Quadratic work would take minutes here; the test's time-out catches it.
    EXPECT_TRUE(Scan(std::wstring(200000, L'"')).empty());
    EXPECT_TRUE(Scan(L"\"" + std::wstring(200000, L'k')).empty());
}

} // namespace
