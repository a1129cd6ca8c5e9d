// The Wi-Fi recovery dialogs at 144 pixels per inch (the density injected, the display's being
// fixed when Wine started), in English: each grows with its fonts, so its buttons stay whole
// inside it and no control covers another; a picture of each goes to the test artifacts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qelinfo/ApplicationInfo.h"
#include "resource.h"
#include "testkit/dialog_robot.h"
#include "testkit/layout_checks.h"
#include "ui/dialog_font.h"
#include "wifi/access_points.h"
#include "wifi/connect_failed_dialog.h"
#include "wifi/ssid_dialog.h"
#include "wifi/wifi_confirm_dialog.h"

namespace {

using namespace qelwifi;

TEST(WifiDensity, EachDialogGrowsWithItsFontsAt144PixelsPerInch) {
    qelui::TextLibrary english;
    ASSERT_TRUE(english.Load(L"EN"));
    qelinfo::ApplicationInfo facts;
    facts.SetLaunchContext(true, true, L"VZ Printer 500", L"SN0042", L"EN", L"asia", L"JP", L"1", 1,
                           0);
    const std::wstring ssid = L"Home Net (2.4)";
    AccessPointBuffer points{};
    ::lstrcpynW(points[0].ssid, ssid.c_str(), 33);
    std::wstring name, key;

    enum Which { kConfirm, kNetwork, kFailed };
    struct Case {
        Which which;
        int button; // the button that answers, whole inside the dialog
        const wchar_t* screenshot;
    } const cases[] = {{kConfirm, IDC_WIFI_MANUAL, L"wifi-confirm-144dpi.bmp"},
                       {kNetwork, IDC_SSID_CANCEL, L"wifi-network-144dpi.bmp"},
                       {kFailed, IDC_WIFI_CANCEL, L"wifi-failed-144dpi.bmp"}};
    const qelui::ScopedPixelsPerInch dpi(144);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screenshot);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_WIFI_MESSAGE, "look at the dialog", [&](qeltest::DialogView& v) {
            EXPECT_EQ(v.ClientSize().cx, 900);
            EXPECT_EQ(v.ClientSize().cy, 480 - ::GetSystemMetrics(SM_CYSIZE));
            EXPECT_EQ(v.Rect(c.button).top, 4 * 22 + 291);
            qeltest::ExpectFont(v, c.button, 10, FW_NORMAL);
            qeltest::ExpectFont(v, IDC_WIFI_MESSAGE, 9, FW_BOLD);
            std::vector<int> apart;
            for (const qelui::ControlPlace& p : qeltest::ShownLayout(v).controls) {
                // A drop-down list reaches over what lies below it only while it is open.
                if (p.id != IDC_SEPARATOR && p.id != IDC_SSID_NAME) {
                    apart.push_back(p.id);
                }
            }
            EXPECT_EQ(qeltest::LayoutFaults(qeltest::ShownLayout(v), apart),
                      std::vector<std::string>{});
            EXPECT_TRUE(v.Screenshot(c.screenshot));
            v.Click(c.button);
        });
        switch (c.which) {
        case kConfirm: {
            WifiConfirmDialog dialog(&english);
            dialog.SetData(&facts, &ssid);
            EXPECT_EQ(dialog.DoModal(nullptr), c.button);
            break;
        }
        case kNetwork: {
            SsidDialog dialog(&english);
            dialog.SetApList(&facts, points.data(), static_cast<int>(points.size()), &name, &key,
                             true);
            EXPECT_EQ(dialog.DoModal(nullptr), c.button);
            break;
        }
        case kFailed: {
            ConnectFailedDialog dialog(&english, &facts);
            EXPECT_EQ(dialog.DoModal(nullptr), c.button);
            break;
        }
        }
    }
}

} // namespace
