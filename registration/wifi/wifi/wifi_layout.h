// Where the three Wi-Fi recovery dialogs put their controls, in pixels: a pure function of the
// dialog's controls, the display's pixels per inch and the height of the caption's buttons, so
// each dialog can be checked at every density without a window.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/dialog_layout.h"

namespace qelwifi {

// The font a control draws with: the dialog's own, or the labels' or buttons' of the screens.
enum class WifiFont { kDialog, kLabel, kButton };

// One control of a Wi-Fi dialog as laid out at 96 pixels per inch, with its font and the text
// number it shows (0: none).
struct WifiControl {
    int id;
    int x;
    int y; // kButtonRow: on the row of buttons, 25 pixels high
    int width;
    int height;
    WifiFont font;
    int textId;
};
inline constexpr int kButtonRow = -1;

// A client area of 600 x 320 at 96 pixels per inch, grown with the density, less the caption
// buttons' height; the bold message on top, two lines of the 9-point font high; the controls; the
// separator line; the buttons below it, four such lines further down.
qelui::PixelLayout LayOutWifiDialog(int pixelsPerInch, int captionButtonHeight,
                                    const std::vector<WifiControl>& controls);

} // namespace qelwifi
