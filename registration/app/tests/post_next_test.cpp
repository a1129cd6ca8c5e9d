#include "app/post_next.h"

#include <gtest/gtest.h>

namespace {

BOOL WINAPI RefusingPost(HWND, UINT, WPARAM, LPARAM) {
    ::SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
}

// A hidden window like the program's, so that what happens to it can be seen.
class HiddenWindow {
public:
    HiddenWindow() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QelPostNextTest";
        ::RegisterClassExW(&windowClass);
        window_ = ::CreateWindowExW(0, windowClass.lpszClassName, nullptr, 0, 0, 0, 0, 0,
                                    HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    }
    ~HiddenWindow() {
        if (::IsWindow(window_)) {
            ::DestroyWindow(window_);
        }
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    HWND get() const noexcept { return window_; }

private:
    HWND window_ = nullptr;
};

TEST(PostNext, AQueuedStepKeepsTheWindowARefusedOneEndsTheRun) {
    struct Case {
        qelapp::PostMessageFunction post;
        bool queued;
    };
    for (const Case& c : {Case{::PostMessageW, true}, Case{RefusingPost, false}}) {
        const HiddenWindow window;
        ASSERT_NE(window.get(), nullptr);
        EXPECT_EQ(qelapp::PostNextOrEnd(window.get(), WM_APP + 3, 7, c.post), c.queued);
        EXPECT_EQ(::IsWindow(window.get()) != FALSE, c.queued);

        MSG message{};
        const bool found = ::PeekMessageW(&message, nullptr, WM_APP + 3, WM_APP + 3, PM_REMOVE);
        EXPECT_EQ(found, c.queued);
        if (found) {
            EXPECT_EQ(message.hwnd, window.get());
            EXPECT_EQ(message.wParam, 7u);
        }
    }
}

} // namespace
