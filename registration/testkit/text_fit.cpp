#include "testkit/text_fit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testkit/layout_checks.h"
#include "testkit/windows.h"

namespace qeltest {

namespace {

enum class Drawn { kNone, kLine, kWrapped, kPushButton, kCheckBox };

Drawn HowDrawn(HWND control) {
    if (::GetWindowTextLengthW(control) == 0) {
        return Drawn::kNone;
    }
    const std::wstring type = WindowClass(control);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    if (::lstrcmpiW(type.c_str(), L"Static") == 0) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            return Drawn::kWrapped;
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            return Drawn::kLine;
        default:
            return Drawn::kNone;
        }
    }
    if (::lstrcmpiW(type.c_str(), L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return Drawn::kPushButton;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return Drawn::kCheckBox;
        default:
            return Drawn::kNone; // owner-drawn, group boxes
        }
    }
    return Drawn::kNone;
}

SIZE Needed(HWND control, Drawn drawn, const std::wstring& text, LONG width) {
    SIZE need{};
    HDC dc = ::GetDC(control);
    if (dc == nullptr) {
        return need;
    }
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
    if (drawn == Drawn::kWrapped) {
        RECT box{0, 0, width, 0};
        const bool noPrefix = (::GetWindowLongPtrW(control, GWL_STYLE) & SS_NOPREFIX) != 0;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                    DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | (noPrefix ? DT_NOPREFIX : 0));
        need = {box.right - box.left, box.bottom - box.top};
    } else {
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &need);
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    if (drawn == Drawn::kPushButton) {
        // On each side: the button's edge, its focus frame and a pixel between frame and text.
        need.cx += 2 * (::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXFOCUSBORDER) + 1);
        need.cy += 2 * (::GetSystemMetrics(SM_CYEDGE) + ::GetSystemMetrics(SM_CYFOCUSBORDER) + 1);
    } else if (drawn == Drawn::kCheckBox) {
        // The box, and an edge's width on either side of it.
        need.cx += ::GetSystemMetrics(SM_CXMENUCHECK) + 2 * ::GetSystemMetrics(SM_CXEDGE);
        need.cy = std::max<LONG>(need.cy, ::GetSystemMetrics(SM_CYMENUCHECK));
    }
    return need;
}

std::string Size(LONG width, LONG height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

} // namespace

std::vector<std::string> TextFitFaults(const DialogView& v) {
    const qelui::PixelLayout layout = ShownLayout(v);
    std::vector<int> texts;
    std::vector<std::string> tooSmall;
    for (HWND child = ::GetWindow(v.Handle(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const Drawn drawn = HowDrawn(child);
        if (!::IsWindowVisible(child) || drawn == Drawn::kNone) {
            continue;
        }
        texts.push_back(::GetDlgCtrlID(child));
        RECT has{};
        ::GetClientRect(child, &has);
        const std::wstring text = WindowText(child);
        const SIZE need = Needed(child, drawn, text, has.right);
        if (need.cx > has.right || need.cy > has.bottom) {
            tooSmall.push_back(Utf8(WindowClass(child)) + " " + std::to_string(texts.back()) +
                               " \"" + Utf8(text) + "\" needs " + Size(need.cx, need.cy) +
                               ", has " + Size(has.right, has.bottom));
        }
    }
    std::vector<std::string> faults = LayoutFaults(layout, texts);
    faults.insert(faults.end(), tooSmall.begin(), tooSmall.end());
    return faults;
}

void ExpectTextsFit(const DialogView& v) {
    for (const std::string& fault : TextFitFaults(v)) {
        ADD_FAILURE() << fault;
    }
}

} // namespace qeltest
