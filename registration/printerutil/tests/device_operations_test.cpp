// The device operations over a scripted device library: which slots they call in which order,
// what they hand back, the minimum time of the address look-up, the region filters, the
// identity request's limits and the access-point buffer's capacity.
#include <gtest/gtest.h>

#include <climits>

#include "printerutil/device_starters.h"
#include "printerutil_testing/fake_device_library.h"
#include "printerutil_testing/fake_waits.h"

using printerutil::testing::FakeDeviceLibrary;
using printerutil::testing::FakeWaits;
using printerutil::testing::MakeDeviceInfo;
using Calls = std::vector<std::string>;

namespace {

class DeviceOperationsTest : public ::testing::Test {
protected:
    FakeWaits waits_;
    printerutil::ScopedWaits waitsScope_{waits_};
    FakeDeviceLibrary library_;
};

TEST_F(DeviceOperationsTest, FindPrinterByAddress) {
    struct Row {
        const char* name;
        std::wstring address;
        bool usbQueue = false;
        bool missing = false;
        bool refuses = false;
        int initialize = 0;
        int getDeviceInfo = 0;
        int workMs = 0; // how long the printer takes to answer
        std::size_t found = 1;
        int kind = 0;
        const wchar_t* serial = L"";
        const wchar_t* port = L""; // of the connection block that came back
        Calls calls;
        std::vector<std::int64_t> pauses{3000};
    };
    const Calls deviceAt0 = {"Create", "Initialize", "GetDeviceInfo 192.0.2.5 0", "Terminate",
                             "Delete"};
    const Calls queue = {"Create",          "Initialize",      "GetDeviceInfo VZ Queue 2",
                         "SearchDevices 1", "GetDeviceList 3", "Terminate",
                         "Delete"};
    const Row rows[] = {
        {"empty address", L"", false, false, false, 0, 0, 0, 0, 0, L"", L"", {}, {}},
        {"network address", L"192.0.2.5", false, false, false, 0, 0, 0, 1, 4, L"SN-A", L"",
         deviceAt0},
        {"printer silent", L"192.0.2.5", false, false, false, 0, 5, 0, 1, 4, L"", L"", deviceAt0},
        {"queue on USB: last match of the USB search", L"VZ Queue", true, false, false, 0, 0, 0, 1,
         5, L"SN-A", L"USB002", queue},
        {"queue on USB, printer silent",
         L"VZ Queue",
         true,
         false,
         false,
         0,
         5,
         0,
         1,
         5,
         L"",
         L"",
         {"Create", "Initialize", "GetDeviceInfo VZ Queue 2", "Terminate", "Delete"}},
        {"no library", L"192.0.2.5", false, true, false, 0, 0, 0, 0, 0, L"", L"", {}},
        {"no object", L"192.0.2.5", false, false, true, 0, 0, 0, 0, 0, L"", L"", {"Create"}},
        {"initialize fails",
         L"192.0.2.5",
         false,
         false,
         false,
         2,
         0,
         0,
         0,
         0,
         L"",
         L"",
         {"Create", "Initialize", "Terminate", "Delete"}},
        {"answer took 1.5 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         1500,
         1,
         4,
         L"SN-A",
         L"",
         deviceAt0,
         {2000}},
        {"answer took 2.999 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         2999,
         1,
         4,
         L"SN-A",
         L"",
         deviceAt0,
         {1000}},
        {"answer took 3 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         3000,
         1,
         4,
         L"SN-A",
         L"",
         deviceAt0,
         {}},
        {"answer took 40 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         40000,
         1,
         4,
         L"SN-A",
         L"",
         deviceAt0,
         {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeWaits waits;
        printerutil::ScopedWaits scope(waits);
        FakeDeviceLibrary library;
        library.missing = r.missing;
        library.refusesObjects = r.refuses;
        library.usbQueues = {L"VZ Queue"};
        if (!r.usbQueue) {
            library.usbQueues.clear();
        }
        library.script.initialize = r.initialize;
        library.script.getDeviceInfo = r.getDeviceInfo;
        library.script.deviceInfo = MakeDeviceInfo(L"VZ 500", L"SN-A", L"4", 1, 1, 2, 0);
        auto first = MakeDeviceInfo(L"VZ 500", L"SN-A", L"4", 1, 1, 2, 2);
        auto other = MakeDeviceInfo(L"VZ 500", L"SN-B", L"4", 1, 1, 2, 2);
        auto last = MakeDeviceInfo(L"VZ 500", L"SN-A", L"4", 1, 1, 2, 2);
        wcscpy(first.connection.portName, L"USB001");
        wcscpy(last.connection.portName, L"USB002");
        library.script.devices = {first, other, last};
        library.onCall = [&](const std::string& call) {
            if (call.rfind("GetDeviceInfo", 0) == 0) {
                waits.Advance(std::chrono::milliseconds(r.workMs));
            }
        };

        const auto found = printerutil::StartFindPrinterByAddress(r.address).get();
        ASSERT_EQ(found.size(), r.found);
        if (r.found == 1) {
            EXPECT_EQ(found[0]->connectionKind, r.kind);
            EXPECT_EQ(found[0]->serialNumber, r.serial);
            EXPECT_EQ(printerutil::FieldText(found[0]->connection.portName), r.port);
        }
        EXPECT_EQ(library.Calls(), r.calls);
        EXPECT_EQ(library.LiveObjects(), 0);
        EXPECT_EQ(waits.Pauses(), r.pauses);
    }
}

TEST_F(DeviceOperationsTest, RegionDecidesWhichPrintersAreOfferedAndTakeAnAccessPoint) {
    struct Row {
        const wchar_t* region;
        unsigned char qel, service, agreement, connection;
        bool listed, takesAccessPoint;
    };
    const Row rows[] = {
        {L"1", 1, 0, 0, 0, true, true},   {L"1", 0, 0, 2, 0, false, false},
        {L"4", 1, 1, 0, 2, true, true},   {L"4", 0, 0, 1, 0, true, true},
        {L"4", 0, 0, 1, 2, false, true},  {L"C", 0, 0, 0, 0, false, false},
        {L"C", 0, 0, 3, 1, false, true},  {L"3", 1, 2, 0, 2, true, true},
        {L"3", 1, 1, 0, 0, false, false}, {L"3", 0, 0, 3, 0, true, false},
        {L"3", 0, 0, 3, 1, false, false}, {L"X", 1, 1, 2, 0, false, false},
        {L"", 1, 1, 2, 0, false, false},
    };
    std::vector<std::wstring> expected;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        const auto record = MakeDeviceInfo(L"M", L"SN" + std::to_wstring(i), r.region, r.qel,
                                           r.service, r.agreement, r.connection);
        EXPECT_EQ(printerutil::OfferedInPrinterList(record), r.listed) << "row " << i;
        EXPECT_EQ(printerutil::TakesAccessPoint(record), r.takesAccessPoint) << "row " << i;
        library_.script.devices.push_back(record);
        if (r.listed) {
            expected.push_back(L"SN" + std::to_wstring(i));
        }
    }
    std::vector<std::wstring> listed;
    for (const auto& device : printerutil::StartEnumPrinters().get()) {
        listed.push_back(device->serialNumber);
        EXPECT_EQ(device->connectionKind, 0); // the caller assigns it
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(library_.Calls(), (Calls{"Create", "Initialize", "SearchDevices 0",
                                       "GetDeviceList 13", "Terminate", "Delete"}));
}

TEST_F(DeviceOperationsTest, DeviceDataCopiesTheWholeRecord) {
    auto record =
        MakeDeviceInfo(L"VZ 500", L"SN-1", L"C", 1, 2, 3, 2, L"192.0.2.9", L"00:1B:A9:3C:00:01");
    strcpy(record.connection.serialNumber, "SN-1-USB");
    // Texts that fill their field without a terminator stop at the field's end.
    std::fill(std::begin(record.regionCode), std::end(record.regionCode), L'Z');
    library_.script.devices = {record};
    library_.script.devices[0].regionCode[0] = L'4';
    const auto found = printerutil::EnumPrinters();
    ASSERT_EQ(found.size(), 0u); // "4ZZZZ" is no region the list knows
    printerutil::stDeviceData data;
    printerutil::CopyDeviceInfo(record, data);
    EXPECT_EQ(data.modelName, L"VZ 500");
    EXPECT_EQ(data.serialNumber, L"SN-1");
    EXPECT_EQ(data.address, L"192.0.2.9");
    EXPECT_EQ(data.regionCode, L"ZZZZZ");
    EXPECT_EQ(data.macAddress, L"00:1B:A9:3C:00:01");
    EXPECT_EQ(data.qelSupport, 1);
    EXPECT_EQ(data.agreement, 3);
    EXPECT_EQ(data.serviceKind, 2);
    EXPECT_EQ(std::string(data.connection.serialNumber), "SN-1-USB");
    EXPECT_EQ(data.connection.kind, 2);
}

TEST_F(DeviceOperationsTest, GetPrinterIDs) {
    const std::wstring token(255, L'a');
    struct Row {
        const char* name;
        int connection = 1;
        std::wstring access = L"AT-1234", refresh = L"RT-5678", url = L"http://srv/p";
        int initialize = 0, select = 0, registered = 0, create = 0, end = 0;
        bool missing = false, refuses = false;
        int code = 0; // -1: no record
        Calls slots;  // between Initialize and Terminate
    };
    const Calls all = {"SelectDevice 192.0.2.5 1", "GetRegisteredId", "CreateId", "EndSession"};
    std::vector<Row> rows(17);
    rows[0] = {"network printer",
               1,
               L"AT-1234",
               L"RT-5678",
               L"http://srv/p",
               0,
               0,
               0,
               0,
               0,
               false,
               false,
               0,
               all};
    rows[1] = rows[0];
    rows[1].name = "USB queue";
    rows[1].connection = 5;
    rows[1].slots[0] = "SelectDevice 192.0.2.5 2";
    rows[2] = rows[0];
    rows[2].name = "kind 0 selects nothing";
    rows[2].connection = 0;
    rows[2].slots.erase(rows[2].slots.begin());
    rows[3] = rows[2];
    rows[3].name = "kind 6 selects nothing";
    rows[3].connection = 6;
    rows[4] = rows[0];
    rows[4].name = "port fails";
    rows[4].select = 5;
    rows[4].code = 5;
    rows[4].slots = {all[0]};
    rows[5] = rows[0];
    rows[5].name = "busy";
    rows[5].registered = 8;
    rows[5].code = 8;
    rows[5].slots = {all[0], all[1]};
    rows[6] = rows[0];
    rows[6].name = "no internet";
    rows[6].create = 9;
    rows[6].code = 9;
    rows[6].slots = {all[0], all[1], all[2]};
    rows[7] = rows[0];
    rows[7].name = "end fails";
    rows[7].end = 10;
    rows[7].code = 10;
    rows[8] = rows[0];
    rows[8].name = "initialize fails";
    rows[8].initialize = 2;
    rows[8].code = 2;
    rows[8].slots = {};
    rows[9] = rows[0];
    rows[9].name = "tokens of 255 characters fit";
    rows[9].access = rows[9].refresh = rows[9].url = token;
    rows[10] = rows[0];
    rows[10].name = "access token too long";
    rows[10].access = token + L"b";
    rows[10].code = 2;
    rows[10].slots = {};
    rows[11] = rows[10];
    rows[11].name = "refresh token too long";
    rows[11].access = L"AT-1";
    rows[11].refresh = token + L"b";
    rows[12] = rows[10];
    rows[12].name = "address too long";
    rows[12].access = L"AT-1";
    rows[12].url = token + L"b";
    rows[13] = rows[10];
    rows[13].name = "token with a NUL";
    rows[13].access = std::wstring(L"AT-1\0tail", 9);
    rows[14] = rows[0];
    rows[14].name = "no library";
    rows[14].missing = true;
    rows[14].code = -1;
    rows[15] = rows[0];
    rows[15].name = "no object";
    rows[15].refuses = true;
    rows[15].code = -1;
    rows[16] = rows[0];
    rows[16].name = "empty tokens";
    rows[16].access = rows[16].refresh = rows[16].url = L"";
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeDeviceLibrary library;
        library.missing = r.missing;
        library.refusesObjects = r.refuses;
        library.script.initialize = r.initialize;
        library.script.selectDevice = r.select;
        library.script.getRegisteredId = r.registered;
        library.script.createId = r.create;
        library.script.endSession = r.end;
        const auto ids =
            printerutil::GetPrinterIDs(r.access, r.refresh, r.url, r.connection, L"192.0.2.5");
        if (r.code < 0) {
            EXPECT_EQ(ids, nullptr);
            EXPECT_EQ(library.Calls(), r.refuses ? Calls{"Create"} : Calls{});
            continue;
        }
        ASSERT_NE(ids, nullptr);
        EXPECT_EQ(ids->code, r.code);
        Calls expected{"Create", "Initialize"};
        expected.insert(expected.end(), r.slots.begin(), r.slots.end());
        expected.insert(expected.end(), {"Terminate", "Delete"});
        EXPECT_EQ(library.Calls(), expected);
        if (r.code != 0) {
            EXPECT_EQ(ids->registeredId, L"");
            EXPECT_EQ(ids->createdId, L"");
            continue;
        }
        EXPECT_EQ(ids->registeredId, L"VTP-REG-0001");
        const CreateIdRequest sent = library.LastCreateIdRequest();
        EXPECT_EQ(printerutil::FieldText(sent.access_token), r.access);
        EXPECT_EQ(printerutil::FieldText(sent.refresh_token), r.refresh);
        EXPECT_EQ(printerutil::FieldText(sent.server_url), r.url);
        EXPECT_EQ(printerutil::FieldText(sent.service_id), L"001");
        // What the printer created fits the 100 characters the caller gave, terminator included.
        const std::wstring created = FakeDeviceLibrary::CreatedIdentity(r.access).substr(0, 99);
        EXPECT_EQ(ids->createdId, created);
    }
}

TEST_F(DeviceOperationsTest, AccessPointSearchAndApply) {
    DeviceConnection target{};
    target.kind = 2;
    const auto usb = MakeDeviceInfo(L"VZ 500", L"SN-U", L"4", 0, 0, 1, 2);
    struct Row {
        const char* name;
        std::vector<tagDeviceInfo> devices;
        int search = 0, apply = 0;
        std::size_t accessPoints = 3;
        bool missing = false;
        int searchCode = 6, applyCode = 7;
        int searched = 1;    // SearchAccessPoints calls of the search
        int listedNames = 3; // names written into the buffer
    };
    auto otherSerial = usb;
    otherSerial.serialNumber[3] = L'V';
    auto otherModel = usb;
    otherModel.model[0] = L'W';
    auto overNetwork = usb;
    overNetwork.connection.kind = 0;
    const auto filtered = MakeDeviceInfo(L"VZ 500", L"SN-U", L"3", 0, 0, 1, 2);
    const Row rows[] = {
        {"matched", {usb}},
        {"two matches: both searched", {usb, usb}, 0, 0, 3, false, 6, 7, 2},
        {"150 networks fill 100 entries", {usb}, 0, 0, 150, false, 6, 7, 1, 100},
        {"search fails, list still shown", {usb}, 12, 2, 3, false, 0, 0},
        {"no saved profile matches", {usb}, 13, 0, 3, false, 0, 7},
        {"other serial", {otherSerial}, 0, 0, 3, false, 0, 0, 0},
        {"other model", {otherModel}, 0, 0, 3, false, 0, 0, 0},
        {"other connection kind", {overNetwork}, 0, 0, 3, false, 0, 0, 0},
        {"region filter", {filtered}, 0, 0, 3, false, 0, 0, 0},
        {"no library", {usb}, 0, 0, 3, true, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeDeviceLibrary library;
        library.missing = r.missing;
        library.script.devices = r.devices;
        library.script.searchAccessPoints = r.search;
        library.script.applyAccessPoint = r.apply;
        for (std::size_t i = 0; i < r.accessPoints; ++i) {
            library.script.accessPoints.push_back(L"Net" + std::to_wstring(i));
        }
        // One entry more than the screens' buffer, to see that nothing is written past it.
        std::vector<AccessPointEntry> names(printerutil::kAccessPointCapacity + 1);
        wcscpy(names.back().ssid, L"guard");
        std::wstring ssid = L"-", key = L"-";
        const auto found = printerutil::StartSearchAccessPoints(&ssid, &key, L"VZ 500", L"SN-U",
                                                                target, names.data())
                               .get();
        EXPECT_EQ(found.code, r.searchCode);
        EXPECT_EQ(ssid, r.searchCode == 6 ? L"HomeNet" : L"-");
        EXPECT_EQ(key, r.searchCode == 6 ? L"secret-key" : L"-");
        int written = 0;
        for (int i = 0; i < printerutil::kAccessPointCapacity; ++i) {
            written += names[i].ssid[0] != L'\0' ? 1 : 0;
        }
        EXPECT_EQ(written, r.listedNames);
        EXPECT_EQ(printerutil::FieldText(names.back().ssid), L"guard");
        const auto calls = library.Calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "SearchAccessPoints 2"), r.searched);

        library.ClearCalls();
        const auto applied =
            printerutil::StartApplyAccessPoint(L"HomeNet", L"k", L"VZ 500", L"SN-U", target).get();
        EXPECT_EQ(applied.code, r.applyCode);
        if (r.searched > 0) {
            const Calls each = {"SearchAccessPoints 2", "ApplyAccessPoint 2 HomeNet k"};
            const auto applyCalls = library.Calls();
            EXPECT_EQ(Calls(applyCalls.begin() + 4, applyCalls.begin() + 6), each);
        }
        EXPECT_EQ(library.LiveObjects(), 0);
    }
}

TEST_F(DeviceOperationsTest, ALibraryThatClaimsBillionsOfPrintersGivesAnEmptyList) {
    library_.script.searchCount = INT_MAX;
    EXPECT_TRUE(printerutil::StartEnumPrinters().get().empty());
    EXPECT_EQ(library_.LiveObjects(), 0);
}

TEST(MaskString, KeepsTheLastFiveCharacters) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"", L""}, {L"abcde", L""}, {L"abcdef", L"*bcdef"}, {L"SN1234567890", L"*******67890"}};
    for (const auto& [text, masked] : rows) {
        EXPECT_EQ(printerutil::MaskString(text), masked)
            << testing::PrintToString(std::wstring(text));
    }
}

} // namespace
