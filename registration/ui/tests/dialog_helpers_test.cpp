#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "ui/dialog_font.h"
#include "ui/dialog_text.h"
#include "ui/paint_scope.h"
#include "ui/text_ids.h"
#include "ui/window_data.h"
#include "win/unique_any.h"

namespace {

std::wstring TextOf(HWND window) {
    std::array<wchar_t, 512> text{};
    ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

// A window whose paint draws through the scope and then, when asked, throws.
bool paintThrows = false;
int paints = 0;
HDC paintDc = nullptr;

LRESULT CALLBACK ScopedPaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ++paints;
        try {
            const qelui::PaintScope paint(window);
            paintDc = paint.dc();
            if (paint.dc() != nullptr && paintThrows) {
                throw std::runtime_error("no picture");
            }
        } catch (const std::runtime_error&) {
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(PaintScope, EndsThePaintWhetherOrNotTheDrawingThrows) {
    WNDCLASSW type{};
    type.lpfnWndProc = ScopedPaintProc;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = L"QelPaintScopeTest";
    ASSERT_NE(::RegisterClassW(&type), 0);
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws ? "throws" : "draws");
        paintThrows = throws;
        paints = 0;
        paintDc = nullptr;
        const qelwin::unique_hwnd window(
            ::CreateWindowExW(0, type.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                              nullptr, nullptr, type.hInstance, nullptr));
        ASSERT_TRUE(window);
        ::InvalidateRect(window.get(), nullptr, FALSE);
        ::UpdateWindow(window.get());
        EXPECT_EQ(paints, 1);
        ASSERT_NE(paintDc, nullptr);
        // EndPaint gave the display context back: it is no longer the window's to release.
        EXPECT_EQ(::ReleaseDC(window.get(), paintDc), 0);
    }
    ::UnregisterClassW(type.lpszClassName, type.hInstance);
}

TEST(DialogFont, HeightIsMinusPointsAtTheDisplaysDensity) {
    struct Case {
        int points;
        int dpi;
        int height;
    };
    const Case cases[] = {{9, 96, -12},   {12, 96, -16}, {10, 120, -17},
                          {11, 144, -22}, {16, 96, -21}, {8, 192, -21}};
    for (const auto& c : cases) {
        EXPECT_EQ(qelui::FontHeightForPoints(c.points, c.dpi), c.height)
            << c.points << " pt at " << c.dpi;
    }
}

TEST(DialogFont, ShellDialogFaceWithTheAskedSizeAndWeight) {
    const qelwin::unique_hgdiobj font = qelui::CreateShellDialogFont(nullptr, 12, FW_BOLD);
    ASSERT_TRUE(font);
    LOGFONTW info{};
    ASSERT_EQ(::GetObjectW(font.get(), sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_STREQ(info.lfFaceName, qelui::kShellDialogFace);
    EXPECT_EQ(info.lfWeight, FW_BOLD);
    EXPECT_EQ(info.lfHeight, qelui::FontHeightForPoints(12, qelui::PixelsPerInchY(nullptr)));
}

TEST(DialogText, TextsComeFromTheLibraryAndMissingOnesAreEmpty) {
    qelui::TextLibrary texts;
    ASSERT_TRUE(texts.Load(L"EN"));
    const qelwin::unique_hwnd dialog(::CreateWindowExW(0, L"STATIC", L"placeholder", WS_POPUP, 0, 0,
                                                       100, 100, nullptr, nullptr, nullptr,
                                                       nullptr));
    ASSERT_TRUE(dialog);
    HWND item = ::CreateWindowExW(0, L"STATIC", L"placeholder", WS_CHILD, 0, 0, 50, 10,
                                  dialog.get(), reinterpret_cast<HMENU>(1036), nullptr, nullptr);
    ASSERT_NE(item, nullptr);

    qelui::SetTextFromLibrary(dialog.get(), texts, qelui::text::kCaption);
    qelui::SetItemTextFromLibrary(dialog.get(), 1036, texts, qelui::text::kProgressMessage);
    EXPECT_EQ(TextOf(dialog.get()), texts.LoadText(qelui::text::kCaption));
    EXPECT_EQ(TextOf(item), texts.LoadText(qelui::text::kProgressMessage));

    qelui::SetItemTextFromLibrary(dialog.get(), 1036, texts, 4); // no such text
    EXPECT_EQ(TextOf(item), L"");
}

TEST(WindowData, KeepsTheWholePointer) {
    const qelwin::unique_hwnd window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10,
                                                       nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    // An address above 4 GB: cut to 32 bits it would come back different.
    auto* high = reinterpret_cast<int*>(std::uintptr_t{0x00007FF612345678});
    qelui::SetWindowPointer(window.get(), high);
    EXPECT_EQ(qelui::GetWindowPointer<int>(window.get()), high);
}

} // namespace
