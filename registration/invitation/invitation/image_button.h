// How the image button answers the mouse: its look (normal, pressed, hover), when it holds the
// mouse capture, and when a click registers. A click is a press that began on the button and was
// released inside it; a press that leaves the button shows normal until it comes back.
#pragma once

#include "ui/dialog_layout.h"

namespace qelinvitation {

// The index of the picture the button shows.
enum class ButtonLook : int { kNormal = 0, kPressed = 1, kHover = 2 };

enum class MouseEvent {
    kMove,        // WM_MOUSEMOVE
    kDown,        // WM_LBUTTONDOWN, WM_LBUTTONDBLCLK
    kUp,          // WM_LBUTTONUP
    kCaptureLost, // WM_CAPTURECHANGED: another window took the mouse
};

// What the button does about one mouse event.
struct ButtonReaction {
    bool repaint = false; // the look changed
    bool capture = false; // take the mouse capture
    bool release = false; // let the capture go
    bool click = false;   // post the button's command to the dialog
    bool operator==(const ButtonReaction&) const = default;
};

class ImageButtonState {
public:
    // inside: the pointer lies within the button (0..246 x 0..60 client pixels).
    ButtonReaction On(MouseEvent event, bool inside) noexcept;

    ButtonLook Look() const noexcept { return look_; }
    bool Pressing() const noexcept { return pressing_; }

private:
    ButtonReaction Show(ButtonLook look, ButtonReaction reaction) noexcept;

    ButtonLook look_ = ButtonLook::kNormal;
    bool pressing_ = false;
    bool captured_ = false;
};

// The button's client area at 96 pixels per inch, in which a point counts as inside; it grows
// with the density like the rest of the screen.
inline constexpr int kImageButtonWidth = 246;
inline constexpr int kImageButtonHeight = 60;

inline bool InsideImageButton(int x, int y, int pixelsPerInch = 96) noexcept {
    return x >= 0 && x < qelui::ScaleToDensity(kImageButtonWidth, pixelsPerInch) && y >= 0 &&
           y < qelui::ScaleToDensity(kImageButtonHeight, pixelsPerInch);
}

} // namespace qelinvitation
