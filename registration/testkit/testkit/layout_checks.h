// Checks of a dialog's layout that screen tests share: a control's place in pixels and its font,
// and the shown controls as a pixel layout.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "testkit/dialog_robot.h"
#include "testkit/pixel_layout_checks.h"
#include "ui/dialog_font.h"

namespace qeltest {

// The colour the screen shows at a point of a control's client area.
inline COLORREF ScreenPixel(HWND control, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(control, &point);
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, point.x, point.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

// "x,y wxh", so a failure shows the whole rectangle.
inline std::string DescribeRect(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// The control lies at expected (pixels in the dialog's client area).
inline void ExpectRect(const DialogView& v, int id, RECT expected) {
    EXPECT_EQ(DescribeRect(v.Rect(id)), DescribeRect(expected)) << "control " << id;
}

// The same, given as x, y, width and height.
inline void ExpectPlace(const DialogView& v, int id, int x, int y, int width, int height) {
    ExpectRect(v, id, RECT{x, y, x + width, y + height});
}

// The control draws with the shell dialog face at that size and weight.
inline void ExpectFont(const DialogView& v, int id, int points, LONG weight) {
    const LOGFONTW font = v.Font(id);
    EXPECT_STREQ(font.lfFaceName, qelui::kShellDialogFace) << "control " << id;
    EXPECT_EQ(font.lfHeight, qelui::FontHeightForPoints(points, qelui::PixelsPerInchY(v.Handle())))
        << "control " << id;
    EXPECT_EQ(font.lfWeight, weight) << "control " << id;
}

// The dialog's client area and its visible controls, in pixels, for LayoutFaults.
inline qelui::PixelLayout ShownLayout(const DialogView& v) {
    qelui::PixelLayout layout{v.ClientSize(), {}};
    for (HWND child = ::GetWindow(v.Handle(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) {
            continue;
        }
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, v.Handle(), reinterpret_cast<POINT*>(&r), 2);
        layout.controls.push_back(
            {::GetDlgCtrlID(child), r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    return layout;
}

} // namespace qeltest
