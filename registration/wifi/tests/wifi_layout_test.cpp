// The Wi-Fi dialogs' pixel layouts without a window: the first button's place at 96 and at the
// grown densities, and at 96, 120, 144 and 192 every control inside its dialog, clear of the
// others and the buttons below the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "testkit/pixel_layout_checks.h"
#include "wifi/connect_failed_dialog.h"
#include "wifi/ssid_dialog.h"
#include "wifi/wifi_confirm_dialog.h"
#include "wifi/wifi_layout.h"

namespace {

using namespace qelwifi;
using qelui::ControlPlace;

TEST(WifiLayout, EachDialogGrowsWithTheDensityAndKeepsEveryControlInside) {
    struct Dialog {
        const char* name;
        const std::vector<WifiControl>& controls;
    } const dialogs[] = {{"confirm", WifiConfirmDialog::Controls()},
                         {"network name", SsidDialog::Controls()},
                         {"connect failed", ConnectFailedDialog::Controls()}};
    struct Case {
        int dialog;
        int dpi;
        SIZE client; // with the caption's buttons as tall as the density makes them
        ControlPlace message, firstButton;
    } const cases[] = {
        {0, 96, {600, 302}, {IDC_WIFI_MESSAGE, 20, 20, 560, 32}, {IDC_WIFI_OK, 44, 258, 170, 25}},
        {0, 144, {900, 453}, {IDC_WIFI_MESSAGE, 30, 30, 840, 44}, {IDC_WIFI_OK, 66, 379, 255, 38}},
        {1, 96, {600, 302}, {IDC_WIFI_MESSAGE, 20, 20, 560, 32}, {IDC_SSID_OK, 267, 258, 150, 25}},
        {1, 120, {750, 377}, {IDC_WIFI_MESSAGE, 25, 25, 700, 38}, {IDC_SSID_OK, 334, 319, 188, 31}},
        {2,
         96,
         {600, 302},
         {IDC_WIFI_MESSAGE, 20, 20, 560, 32},
         {IDC_WIFI_MANUAL, 227, 258, 170, 25}},
        {2,
         192,
         {1200, 604},
         {IDC_WIFI_MESSAGE, 40, 40, 1120, 56},
         {IDC_WIFI_MANUAL, 454, 500, 340, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << dialogs[c.dialog].name << " at " << c.dpi);
        const qelui::PixelLayout layout =
            LayOutWifiDialog(c.dpi, ::MulDiv(18, c.dpi, 96), dialogs[c.dialog].controls);
        EXPECT_EQ(layout.client.cx, c.client.cx);
        EXPECT_EQ(layout.client.cy, c.client.cy);
        EXPECT_EQ(layout.controls.front(), c.message);
        for (const ControlPlace& p : layout.controls) {
            EXPECT_TRUE(p.id != c.firstButton.id || p == c.firstButton) << p.y;
        }
    }
    for (const Dialog& d : dialogs) {
        for (int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE(testing::Message() << d.name << " at " << dpi);
            const qelui::PixelLayout layout =
                LayOutWifiDialog(dpi, ::MulDiv(18, dpi, 96), d.controls);
            std::vector<int> apart;
            int line = 0;
            for (const ControlPlace& p : layout.controls) {
                if (p.id == IDC_SEPARATOR) {
                    line = p.y;
                } else {
                    apart.push_back(p.id);
                }
            }
            EXPECT_EQ(qeltest::LayoutFaults(layout, apart), std::vector<std::string>{});
            for (const WifiControl& c : d.controls) {
                if (c.y == kButtonRow) {
                    for (const ControlPlace& p : layout.controls) {
                        EXPECT_TRUE(p.id != c.id || p.y > line) << "button " << c.id;
                    }
                }
            }
        }
    }
}

} // namespace
