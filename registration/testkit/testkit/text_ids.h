// A UI text library for tests in which every text is its own number in brackets ("[11701]"), so
// a test can tell which text a control or box shows. It lies beside the test programs and the
// program as the language folder TEXTIDS and holds every number the English library holds.
#pragma once

#include <string>

namespace qeltest {

inline constexpr wchar_t kTextIdsLanguage[] = L"TEXTIDS";

// What the TEXTIDS library holds for text number id.
inline std::wstring TextId(int id) {
    return L"[" + std::to_wstring(id) + L"]";
}

} // namespace qeltest
