#include "wifi/wifi_layout.h"

#include "resource.h"

namespace qelwifi {

namespace {

constexpr int kClientWidth = 600;
constexpr int kClientHeight = 320;

} // namespace

qelui::PixelLayout LayOutWifiDialog(int pixelsPerInch, int captionButtonHeight,
                                    const std::vector<WifiControl>& controls) {
    const auto S = [pixelsPerInch](int pixels) {
        return qelui::ScaleToDensity(pixels, pixelsPerInch);
    };
    const int line = ::MulDiv(9, pixelsPerInch, 72) + 4;
    qelui::PixelLayout layout{{S(kClientWidth), S(kClientHeight) - captionButtonHeight}, {}};
    layout.controls.push_back({IDC_WIFI_MESSAGE, S(20), S(20), S(560), 2 * line});
    for (const WifiControl& c : controls) {
        const bool onButtonRow = c.y == kButtonRow;
        layout.controls.push_back({c.id, S(c.x), onButtonRow ? 4 * line + S(194) : S(c.y),
                                   S(c.width), S(onButtonRow ? 25 : c.height)});
    }
    layout.controls.push_back({IDC_SEPARATOR, 0, S(240), S(kClientWidth), 1});
    return layout;
}

} // namespace qelwifi
