// A system that records what a flow asked of it and answers message boxes from a script, so a
// flow's next step can be checked without a screen.
#pragma once

#include <windows.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/system.h"

namespace qeltest {

class FakeSystem : public qelui::ISystem {
public:
    struct Post {
        HWND window;
        UINT message;
        WPARAM wParam;
        bool operator==(const Post&) const = default;
    };
    struct Box {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT style;
        bool operator==(const Box&) const = default;
    };

    std::vector<Post> posts;
    std::vector<Box> boxes;
    std::vector<std::wstring> pages;

    std::deque<int> answers; // the answers of the next boxes, in order; IDOK once they run out
    bool elevated = false;
    bool postsQueue = true; // false: every post is refused, as by a full queue
    bool pagesFail = false; // true: opening a page raises, as a flow's unforeseen failure

    bool PostNext(HWND window, UINT message, WPARAM wParam) override {
        posts.push_back({window, message, wParam});
        return postsQueue;
    }
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                       UINT style) override {
        boxes.push_back({owner, text, caption, style});
        if (answers.empty()) {
            return IDOK;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void OpenPage(const std::wstring& address) override {
        if (pagesFail) {
            throw std::runtime_error("the page could not be opened");
        }
        pages.push_back(address);
    }
    bool IsElevated() override { return elevated; }
};

} // namespace qeltest
