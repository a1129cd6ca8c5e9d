#include "invitation/image_button.h"

namespace qelinvitation {

ButtonReaction ImageButtonState::Show(ButtonLook look, ButtonReaction reaction) noexcept {
    reaction.repaint = look != look_;
    look_ = look;
    if (reaction.capture) {
        reaction.capture = !captured_;
        captured_ = true;
    }
    if (reaction.release) {
        reaction.release = captured_;
        captured_ = false;
    }
    return reaction;
}

ButtonReaction ImageButtonState::On(MouseEvent event, bool inside) noexcept {
    switch (event) {
    case MouseEvent::kMove:
        if (pressing_) {
            // The capture stays with a press, so its release is seen wherever it happens.
            return Show(inside ? ButtonLook::kPressed : ButtonLook::kNormal, {});
        }
        if (!inside) {
            return Show(ButtonLook::kNormal, {.release = true});
        }
        // The capture tells when the pointer leaves again.
        return Show(ButtonLook::kHover, {.capture = true});
    case MouseEvent::kDown:
        // A press outside reaches the button only while it holds the capture for its hover.
        pressing_ = inside;
        return inside ? Show(ButtonLook::kPressed, {.capture = true})
                      : Show(ButtonLook::kNormal, {.release = true});
    case MouseEvent::kUp: {
        const bool click = pressing_ && inside;
        pressing_ = false;
        return Show(ButtonLook::kNormal, {.release = true, .click = click});
    }
    case MouseEvent::kCaptureLost:
        pressing_ = false;
        captured_ = false;
        return Show(ButtonLook::kNormal, {});
    }
    return {};
}

} // namespace qelinvitation
