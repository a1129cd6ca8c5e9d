#include "jsonutil/printer_id_json.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "qelcmn/text_utils.h"
#include "xmlutil/escape.h"

namespace jsonutil {

namespace {

// The white space of the pattern's \s under the classic locale.
bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

} // namespace

std::string BuildPrinterIDRequestJson(const std::wstring& serialNumber,
                                      const std::wstring& macAddress, const std::wstring& modelName,
                                      const std::wstring& region) {
    const auto value = [](const std::wstring& text) {
        return xmlutil::EscapeJsonString(WideToUtf8Replacing(text));
    };
    return "{\"serialNumber\": \"" + value(serialNumber) + "\", \"macAddress\": \"" +
           value(macAddress) + "\", \"modelName\": \"" + value(modelName) + "\", \"region\": \"" +
           value(region) + "\"}";
}

void ScanQuotedPairs(std::wstring_view text,
                     const std::function<void(std::wstring_view, std::wstring_view)>& onPair) {
    const std::size_t n = text.size();
    const std::size_t none = n;
    // For each position, the next double quote, the next white space and the next quote that
    // can close a key (followed by optional white space, a colon, optional white space and the
    // value's opening quote) at or after it.
    std::vector<std::size_t> nextQuote(n + 1, none);
    std::vector<std::size_t> nextSpace(n + 1, none);
    std::vector<std::size_t> nextKeyClose(n + 1, none);
    std::vector<std::size_t> valueOpen(n, none);
    for (std::size_t i = n; i-- > 0;) {
        nextQuote[i] = text[i] == L'"' ? i : nextQuote[i + 1];
        nextSpace[i] = IsSpace(text[i]) ? i : nextSpace[i + 1];
    }
    for (std::size_t i = n; i-- > 0;) {
        if (text[i] == L'"') {
            std::size_t j = i + 1;
            while (j < n && IsSpace(text[j])) {
                ++j;
            }
            if (j < n && text[j] == L':') {
                ++j;
                while (j < n && IsSpace(text[j])) {
                    ++j;
                }
                if (j < n && text[j] == L'"') {
                    valueOpen[i] = j;
                }
            }
        }
        nextKeyClose[i] = valueOpen[i] != none ? i : nextKeyClose[i + 1];
    }

    std::size_t from = 0;
    while (from < n) {
        const std::size_t start = nextQuote[from];
        if (start == none) {
            break;
        }
        // The shortest key: the first quote that can close it, with no white space before it.
        // If that key's value has no closing quote, no longer key can have one either.
        const std::size_t keyClose = start + 2 <= n ? nextKeyClose[start + 2] : none;
        if (keyClose != none && nextSpace[start + 1] >= keyClose) {
            const std::size_t open = valueOpen[keyClose];
            const std::size_t close = nextQuote[open + 1];
            if (close != none) {
                onPair(text.substr(start + 1, keyClose - start - 1),
                       text.substr(open + 1, close - open - 1));
                from = close + 1;
                continue;
            }
        }
        from = start + 1;
    }
}

PrinterIDServerResponse ReadPrinterIDResponse(const std::string& body) {
    PrinterIDServerResponse response;
    std::wstring text;
    try {
        text = qelcmn::Utf8ToWide(body);
    } catch (const std::range_error&) {
        return response; // undecodable: no identity at all
    }
    ScanQuotedPairs(text, [&response](std::wstring_view key, std::wstring_view value) {
        std::wstring* field = nullptr;
        if (key == L"tempPrinterId") {
            field = &response.tempPrinterId;
        } else if (key == L"printerId") {
            field = &response.printerId;
        } else if (key == L"serialNumber") {
            field = &response.serialNumber;
        } else if (key == L"macAddress") {
            field = &response.macAddress;
        } else if (key == L"modelName") {
            field = &response.modelName;
        }
        if (field != nullptr) {
            field->assign(value);
        }
    });
    return response;
}

} // namespace jsonutil
