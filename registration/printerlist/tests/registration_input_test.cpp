// What the printer list hands on without a window: the printer record of a registration, the
// facts of a registration and of the service page, and which changes of the list touch the
// selection.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "printerlist/list_controls.h"
#include "printerlist/registration_input.h"
#include "testkit/registry_sandbox.h"

namespace {

using printerutil::stDeviceData;

template <std::size_t N> void Put(wchar_t (&field)[N], const std::wstring& text) {
    for (std::size_t i = 0; i < N; ++i) {
        field[i] = i < text.size() ? text[i] : L'\0';
    }
}

stDeviceData Printer(unsigned char connection, const std::wstring& port,
                     const std::wstring& address) {
    stDeviceData p;
    p.modelName = L"VT-M200 Series";
    p.serialNumber = L"8D1W09012";
    p.address = address;
    p.regionCode = L"1";
    p.qelSupport = 1;
    p.macAddress = L"00:1B:A9:6F:00:04";
    p.agreement = 1;
    p.serviceKind = 1;
    p.connection.kind = connection;
    Put(p.connection.portName, port);
    return p;
}

TEST(RegistrationInput, ThePrinterRecordTakesItsKindAndAddressFromHowTheSearchFoundIt) {
    struct Case {
        const char* what;
        unsigned char connection;
        std::wstring port;
        std::wstring address;
        int kind;
        std::wstring expectedAddress;
    };
    const Case cases[] = {
        {"network", VTESDEV_CONNECTION_NETWORK, L"", L"192.168.1.31", 1, L"192.168.1.31"},
        {"network, a port name left over", VTESDEV_CONNECTION_NETWORK, L"USB009", L"fe80::1%2", 1,
         L"fe80::1%2"},
        {"USB device library", VTESDEV_CONNECTION_USB_DEVICE_LIBRARY, L"USB001", L"", 3, L"USB001"},
        {"USB wrapper", VTESDEV_CONNECTION_USB_WRAPPER, L"USB002", L"192.168.1.9", 3, L"USB002"},
        {"port name filling its field", VTESDEV_CONNECTION_USB_WRAPPER, L"USBPORT123", L"", 3,
         L"USBPORT123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const stDeviceData printer = Printer(c.connection, c.port, c.address);
        EXPECT_EQ(qelprinterlist::SearchedConnectionKind(printer), c.kind);
        const auto param = qelprinterlist::BuildRegisterParam(printer);
        ASSERT_TRUE(param);
        EXPECT_EQ(param->connectionKind, c.kind);
        EXPECT_EQ(param->address, c.expectedAddress);
        EXPECT_EQ(param->modelName, L"VT-M200 Series");
        EXPECT_EQ(param->serialNumber, L"8D1W09012");
        EXPECT_EQ(param->macAddress, L"00:1B:A9:6F:00:04");
        EXPECT_EQ(param->region, L"1");
        EXPECT_EQ(param->agreement, 1);
        EXPECT_EQ(param->agreementRequest, 1) << "the user agreed on the list";
        EXPECT_EQ(param->connectivityStatus, 200);
    }
}

class ListFacts : public qeltest::MachineKeySandbox {
protected:
    void SetUp() override {
        MachineKeySandbox::SetUp();
        WriteText(qelinfo::kSettingsKey, L"LanguageCode", L"EN");
        WriteText(qelinfo::kSettingsKey, L"RESIDENCE", L"europe");
        WriteText(qelinfo::kSettingsKey, L"AREA", L"DE");
    }
};

TEST_F(ListFacts, RegistrationAndServicePageSetTheFactsOfThePrinter) {
    struct Case {
        const char* what;
        bool servicePage;
        std::wstring region;
        unsigned char qel;
        unsigned char serviceKind;
        unsigned char agreement;
        std::wstring expectedKind;
        std::wstring expectedSerial;
    };
    const Case cases[] = {
        {"register serviceA", false, L"1", 1, 1, 1, L"serviceA", L"8D1W09012"},
        {"register serviceY", false, L"1", 1, 2, 0, L"serviceY", L"8D1W09012"},
        {"register serviceX", false, L"3", 0, 0, 2, L"serviceX", L"8D1W09012"},
        {"register without a region", false, L"", 1, 1, 1, L"auto", L"8D1W09012"},
        {"service page", true, L"C", 1, 1, 1, L"serviceA", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        stDeviceData printer = Printer(VTESDEV_CONNECTION_NETWORK, L"", L"192.168.1.31");
        printer.regionCode = c.region;
        printer.qelSupport = c.qel;
        printer.serviceKind = c.serviceKind;
        printer.agreement = c.agreement;
        qelinfo::ApplicationInfo facts;
        facts.SetLaunchMode(qelinfo::kLaunchSetup);
        if (c.servicePage) {
            qelprinterlist::SetServiceInfoContext(facts, printer);
        } else {
            qelprinterlist::SetRegistrationContext(facts, printer);
        }
        EXPECT_EQ(facts.GetServiceKind(), c.expectedKind);
        EXPECT_EQ(facts.GetDeviceName(), L"VT-M200 Series");
        EXPECT_EQ(facts.GetSerialNumber(), c.expectedSerial);
        EXPECT_EQ(facts.GetRegionCode(), c.region);
        EXPECT_EQ(facts.GetLanguageCode(), L"EN");
        EXPECT_EQ(facts.GetLaunchMode(), qelinfo::kLaunchSetup);
        // Either way the user's own residence and area are what the requests carry.
        EXPECT_EQ(facts.GetResidence(), L"europe");
        EXPECT_EQ(facts.GetArea(), L"DE");
    }
}

TEST(ListSelection, OnlyAChangeOfTheSelectedStateMovesTheActions) {
    struct Case {
        const char* what;
        UINT changed;
        UINT oldState;
        UINT newState;
        bool selection;
    };
    const Case cases[] = {
        {"row selected", LVIF_STATE, 0, LVIS_SELECTED | LVIS_FOCUSED, true},
        {"row deselected", LVIF_STATE, LVIS_SELECTED, 0, true},
        {"focus only, row stays selected", LVIF_STATE, LVIS_SELECTED, LVIS_SELECTED | LVIS_FOCUSED,
         false},
        {"focus lost, row stays selected", LVIF_STATE, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED,
         false},
        {"focus moves over unselected rows", LVIF_STATE, LVIS_FOCUSED, 0, false},
        {"text changed", LVIF_TEXT, 0, 0, false},
        {"selected bits without the state flag", LVIF_TEXT, 0, LVIS_SELECTED, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NMLISTVIEW change{};
        change.uChanged = c.changed;
        change.uOldState = c.oldState;
        change.uNewState = c.newState;
        EXPECT_EQ(qelprinterlist::ChangesSelection(change), c.selection);
    }
}

} // namespace
