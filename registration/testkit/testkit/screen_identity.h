// Which screen of the program a top-level window is, told from outside its process: a message
// box by the number of its text, a dialog by its template, known from the controls it holds.
#pragma once

#include <windows.h>

#include <map>
#include <ostream>
#include <string>

#include "ui/TextLibrary.h"

namespace qeltest {

enum class ScreenKind { Box, Dialog, Window };

// A message box with the text of that number, a dialog of that template, or another window;
// id 0 when the text or the template is not one the program knows.
struct ScreenKey {
    ScreenKind kind = ScreenKind::Window;
    int id = 0;
    bool operator==(const ScreenKey&) const = default;
};

inline ScreenKey Box(int textId) {
    return {ScreenKind::Box, textId};
}
inline ScreenKey Dialog(int templateId) {
    return {ScreenKind::Dialog, templateId};
}

// "box 11008", "dialog 140 printer list", "window".
std::wstring Describe(const ScreenKey& key);

// How test failures show a screen.
inline void PrintTo(const ScreenKey& key, std::ostream* out) {
    const std::wstring text = Describe(key);
    *out << std::string(text.begin(), text.end());
}

class ScreenIdentity {
public:
    // Reads boxes in the texts of that language, found beside this program as the program finds
    // its own (English when the language has no folder). A box whose text is a number in
    // brackets, as the test language shows every text, is that number in any language.
    explicit ScreenIdentity(const std::wstring& languageCode);

    ScreenKey Identify(HWND window) const;

    // The number of a text of the language; 0 when no text reads so.
    int TextNumber(const std::wstring& text) const;

private:
    qelui::TextLibrary texts_;
    std::map<std::wstring, int> numbers_;
};

} // namespace qeltest
