// Where the invitation screen puts its controls, in pixels of its client area (790 x 530 at 96
// pixels per inch, grown with the density like everything in it): a pure function of the layout,
// the content rows, the display's pixels per inch and a measure of the body text, so every
// layout can be checked without a window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "invitation/invitation_rules.h"

namespace qelinvitation {

// The client area at 96 pixels per inch.
inline constexpr int kClientWidth = 790;
inline constexpr int kClientHeight = 530;

// The client area at that density.
SIZE InvitationClientSize(int pixelsPerInch) noexcept;

// One paragraph of the invitation: its title, its text and whether it has a picture.
struct ContentRow {
    std::wstring title;
    std::wstring body;
    bool hasImage = false;
};

// The controls of one row of content.
struct RowControls {
    int title;
    int image;
    int body;
};
extern const RowControls kRowControls[2];

// A control's place; a hidden control keeps its place (x, y, width and height are then 0).
struct Placement {
    int id;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = true;
    bool operator==(const Placement&) const = default;
};

// The fonts of the texts the layouts place: the titles' and the bodies'.
enum class TextFont { kTitle, kBody };

// Width and height of a text in that font (sized for the same density): on one line when
// wrapWidth is 0, else broken into lines of at most wrapWidth pixels as its control breaks it.
using MeasureText = std::function<SIZE(TextFont font, const std::wstring& text, int wrapWidth)>;

// Every control the layouts place, in this order: the banner, the picture area of the button
// layout, title, image and body of the first and of the second row, the image button, the
// separator, Skip and Register. Rows past the content are hidden; only the first two rows of
// content are shown. The image button is placed by the button layout and hidden by the others.
// A title or body that needs more lines than its place holds (a longer translation) grows
// downward and moves what stands below it in its column by as much; the button layout's body
// grows into the card's margin when it then fits whole on the card.
std::vector<Placement> LayoutInvitation(LayoutKind kind, const std::vector<ContentRow>& rows,
                                        int pixelsPerInch, const MeasureText& measure);

} // namespace qelinvitation
