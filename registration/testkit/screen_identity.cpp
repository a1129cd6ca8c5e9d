#include "testkit/screen_identity.h"

#include <algorithm>
#include <cwctype>
#include <initializer_list>
#include <vector>

#include "resource.h"
#include "testkit/windows.h"
#include "win/module_path.h"
#include "win/unique_any.h"

namespace qeltest {

namespace {

// The static that holds a message box's text, on Windows and under Wine alike.
constexpr int kMessageBoxTextId = 0xFFFF;

struct Template {
    int id;
    const wchar_t* name;
    std::initializer_list<int> controls; // all of them, and the first template that has all wins
};

// More specific signatures first: dialog 147 holds every control of 149.
const Template kTemplates[] = {
    {IDD_PRINTER_LIST, L"printer list", {IDC_PRINTER_LIST, IDC_LIST_REGISTER}},
    {IDD_AGREEMENT, L"agreement", {IDC_AGREE, IDC_DISAGREE}},
    {IDD_SEARCH_PROGRESS, L"search progress", {IDC_SEARCH_PROGRESS_BAR}},
    {IDD_STATUS_PROGRESS, L"status progress", {IDC_STATUS_PROGRESS_BAR}},
    {IDD_ABOUT, L"about", {IDC_ABOUT_LINE1, IDC_ABOUT_LINE2, IDC_ABOUT_LINE3}},
    {IDD_WIFI_CONFIRM, L"Wi-Fi confirmation", {IDC_WIFI_OK, IDC_WIFI_CANCEL, IDC_WIFI_MANUAL}},
    {IDD_SSID, L"Wi-Fi network and key", {IDC_SSID_NAME, IDC_SSID_KEY, IDC_SSID_OK}},
    {IDD_CONNECT_FAILED, L"Wi-Fi connection failed", {IDC_WIFI_MANUAL, IDC_WIFI_CANCEL}},
    {IDD_INVITATION, L"invitation", {IDC_INVITATION_REGISTER, IDC_INVITATION_SKIP}},
};

bool HasControls(HWND window, std::initializer_list<int> controls) {
    return std::all_of(controls.begin(), controls.end(),
                       [window](int id) { return ::GetDlgItem(window, id) != nullptr; });
}

std::wstring WithoutCarriageReturns(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'\r'), text.end());
    return text;
}

// "[11008]" gives 11008; anything else 0.
int BracketedNumber(const std::wstring& text) {
    if (text.size() < 3 || text.size() > 7 || text.front() != L'[' || text.back() != L']') {
        return 0;
    }
    int number = 0;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (!std::iswdigit(text[i])) {
            return 0;
        }
        number = number * 10 + (text[i] - L'0');
    }
    return number;
}

// The numbers of the string table blocks of the English library, each block's sixteen.
std::vector<int> EnglishTextNumbers() {
    const qelwin::unique_hmodule english(
        ::LoadLibraryExW(qelwin::JoinPath(qelwin::ThisModuleFolder(), L"EN\\qelreg.dll").c_str(),
                         nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    std::vector<int> numbers;
    if (english) {
        ::EnumResourceNamesW(
            english.get(), RT_STRING,
            [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
                if (IS_INTRESOURCE(name)) {
                    const int block = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
                    for (int i = 0; i < 16; ++i) {
                        reinterpret_cast<std::vector<int>*>(param)->push_back((block - 1) * 16 + i);
                    }
                }
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&numbers));
    }
    return numbers;
}

} // namespace

std::wstring Describe(const ScreenKey& key) {
    switch (key.kind) {
    case ScreenKind::Box:
        return L"box " + (key.id != 0 ? std::to_wstring(key.id) : std::wstring(L"(unknown text)"));
    case ScreenKind::Dialog:
        for (const Template& t : kTemplates) {
            if (t.id == key.id) {
                return L"dialog " + std::to_wstring(key.id) + L" " + t.name;
            }
        }
        return L"dialog " + std::to_wstring(key.id);
    case ScreenKind::Window:
        break;
    }
    return L"window";
}

ScreenIdentity::ScreenIdentity(const std::wstring& languageCode) {
    texts_.Load(languageCode);
    // Every language holds the English library's numbers; asking for each possible number
    // instead would take seconds. The first of equal texts names them.
    for (int id : EnglishTextNumbers()) {
        std::wstring text = texts_.LoadText(id);
        if (!text.empty()) {
            numbers_.emplace(WithoutCarriageReturns(std::move(text)), id);
        }
    }
}

int ScreenIdentity::TextNumber(const std::wstring& text) const {
    const std::wstring plain = WithoutCarriageReturns(text);
    if (const int bracketed = BracketedNumber(plain); bracketed != 0) {
        return bracketed;
    }
    const auto found = numbers_.find(plain);
    return found != numbers_.end() ? found->second : 0;
}

ScreenKey ScreenIdentity::Identify(HWND window) const {
    if (WindowClass(window) != L"#32770") {
        return {};
    }
    for (const Template& t : kTemplates) {
        if (HasControls(window, t.controls)) {
            return Dialog(t.id);
        }
    }
    if (HWND text = ::GetDlgItem(window, kMessageBoxTextId); text != nullptr) {
        return Box(TextNumber(WindowText(text)));
    }
    // A box drawn from another template still shows an icon beside its text.
    const MessageBoxContent content = ReadMessageBox(window);
    return content.hasIcon && !content.text.empty() ? Box(TextNumber(content.text)) : Dialog(0);
}

} // namespace qeltest
