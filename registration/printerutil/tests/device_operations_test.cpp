// The device operations over a scripted device library: the slots they call in order, what they
// hand back, the address look-up's minimum time, the region filters, the identity request's
// limits and the access-point buffer's capacity.
#include <gtest/gtest.h>

#include <climits>

#include "printerutil/device_starters.h"
#include "printerutil_testing/fake_device_library.h"
#include "printerutil_testing/fake_waits.h"

using printerutil::testing::DeviceScript;
using printerutil::testing::FakeDeviceLibrary;
using printerutil::testing::FakeWaits;
using printerutil::testing::MakeDeviceInfo;

namespace {

// Every call, creation and deletion included.
std::string AllCalls(const FakeDeviceLibrary& library) {
    std::string joined;
    for (const auto& call : library.Calls()) {
        joined += (joined.empty() ? "" : "|") + call;
    }
    return joined;
}

class DeviceOperationsTest : public ::testing::Test {
protected:
    FakeWaits waits_;
    printerutil::ScopedWaits waitsScope_{waits_};
    FakeDeviceLibrary library_;
};

TEST_F(DeviceOperationsTest, FindPrinterByAddress) {
    const std::string at0 = "Create|Initialize|GetDeviceInfo 192.0.2.5 0|Terminate|Delete";
    struct Row {
        const char* name;
        std::wstring address;
        bool usbQueue, missing, refuses;
        int initialize, getDeviceInfo, workMs;
        int kind; // of the one entry; 0: none
        const wchar_t* serial;
        const wchar_t* port; // of the connection block that came back
        std::string calls;
        std::vector<std::int64_t> pauses;
    };
    const Row rows[] = {
        {"empty address", L"", false, false, false, 0, 0, 0, 0, L"", L"", "", {}},
        {"address", L"192.0.2.5", false, false, false, 0, 0, 0, 4, L"SN-A", L"", at0, {3000}},
        {"silent printer", L"192.0.2.5", false, false, false, 0, 5, 0, 4, L"", L"", at0, {3000}},
        {"USB queue: the last match of the USB search",
         L"Q",
         true,
         false,
         false,
         0,
         0,
         0,
         5,
         L"SN-A",
         L"USB002",
         "Create|Initialize|GetDeviceInfo Q 2|SearchDevices 1|GetDeviceList 3|Terminate|Delete",
         {3000}},
        {"USB queue, silent printer",
         L"Q",
         true,
         false,
         false,
         0,
         5,
         0,
         5,
         L"",
         L"",
         "Create|Initialize|GetDeviceInfo Q 2|Terminate|Delete",
         {3000}},
        {"no library", L"192.0.2.5", false, true, false, 0, 0, 0, 0, L"", L"", "", {3000}},
        {"no object", L"192.0.2.5", false, false, true, 0, 0, 0, 0, L"", L"", "Create", {3000}},
        {"initialize fails",
         L"192.0.2.5",
         false,
         false,
         false,
         2,
         0,
         0,
         0,
         L"",
         L"",
         "Create|Initialize|Terminate|Delete",
         {3000}},
        {"answered in 1.5 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         1500,
         4,
         L"SN-A",
         L"",
         at0,
         {2000}},
        {"answered in 2.999 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         2999,
         4,
         L"SN-A",
         L"",
         at0,
         {1000}},
        {"answered in 3 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         3000,
         4,
         L"SN-A",
         L"",
         at0,
         {}},
        {"answered in 40 s",
         L"192.0.2.5",
         false,
         false,
         false,
         0,
         0,
         40000,
         4,
         L"SN-A",
         L"",
         at0,
         {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeWaits waits;
        printerutil::ScopedWaits scope(waits);
        FakeDeviceLibrary library;
        library.missing = r.missing;
        library.refusesObjects = r.refuses;
        if (r.usbQueue) {
            library.usbQueues = {L"Q"};
        }
        library.script.initialize = r.initialize;
        library.script.getDeviceInfo = r.getDeviceInfo;
        library.script.deviceInfo = MakeDeviceInfo(L"VZ 500", L"SN-A", L"4", 1, 1, 2, 0);
        auto first = MakeDeviceInfo(L"VZ 500", L"SN-A", L"4", 1, 1, 2, 2);
        auto last = first;
        wcscpy(first.connection.portName, L"USB001");
        wcscpy(last.connection.portName, L"USB002");
        library.script.devices = {first, MakeDeviceInfo(L"VZ 500", L"SN-B", L"4", 1, 1, 2, 2),
                                  last};
        library.onCall = [&](const std::string& call) {
            if (call.rfind("GetDeviceInfo", 0) == 0) {
                waits.Advance(std::chrono::milliseconds(r.workMs));
            }
        };

        const auto found = printerutil::StartFindPrinterByAddress(r.address).get();
        ASSERT_EQ(found.size(), r.kind != 0 ? 1u : 0u);
        if (r.kind != 0) {
            EXPECT_EQ(found[0]->connectionKind, r.kind);
            EXPECT_EQ(found[0]->serialNumber, r.serial);
            EXPECT_EQ(printerutil::FieldText(found[0]->connection.portName), r.port);
        }
        EXPECT_EQ(AllCalls(library), r.calls);
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
    EXPECT_EQ(AllCalls(library_),
              "Create|Initialize|SearchDevices 0|GetDeviceList 13|Terminate|Delete");
    // A library that claims more printers than memory holds gives an empty list.
    library_.script.searchCount = INT_MAX;
    EXPECT_TRUE(printerutil::StartEnumPrinters().get().empty());
    // So does a missing library, and the program running out of memory on its own way there.
    library_.missing = true;
    EXPECT_TRUE(printerutil::StartEnumPrinters().get().empty());
    library_.outOfMemory = true;
    EXPECT_TRUE(printerutil::StartEnumPrinters().get().empty());
    EXPECT_TRUE(printerutil::StartFindPrinterByAddress(L"192.0.2.5").get().empty());
    EXPECT_EQ(printerutil::StartApplyAccessPoint(L"a", L"b", L"M", L"S", {}).get().code, 0);
}

TEST_F(DeviceOperationsTest, DeviceDataCopiesTheWholeRecord) {
    auto record = MakeDeviceInfo(L"VZ 500", L"SN-1", L"", 1, 2, 3, 2, L"192.0.2.9", L"00:1B:A9");
    strcpy(record.connection.serialNumber, "SN-1-USB");
    // A text that fills its field without a terminator ends with the field.
    std::fill(std::begin(record.regionCode), std::end(record.regionCode), L'Z');
    printerutil::stDeviceData data;
    printerutil::CopyDeviceInfo(record, data);
    EXPECT_EQ(data.modelName + L"|" + data.serialNumber + L"|" + data.address + L"|" +
                  data.regionCode + L"|" + data.macAddress,
              L"VZ 500|SN-1|192.0.2.9|ZZZZZ|00:1B:A9");
    EXPECT_EQ(data.qelSupport * 100 + data.agreement * 10 + data.serviceKind, 132);
    EXPECT_EQ(std::string(data.connection.serialNumber), "SN-1-USB");
    EXPECT_EQ(data.connection.kind, 2);
}

TEST_F(DeviceOperationsTest, GetPrinterIDs) {
    const std::wstring fits(255, L'a');
    const std::wstring tooLong(256, L'a');
    const std::string all = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId|EndSession";
    struct Row {
        const char* name;
        int connection = 1;
        std::wstring access = L"AT-1234", refresh = L"RT-5678", url = L"http://srv/p";
        DeviceScript device = {};
        bool missing = false, refuses = false;
        int code = 0; // -1: no record
        std::string slots = "";
    };
    const Row rows[] = {
        {.name = "network printer", .slots = all},
        {.name = "USB queue",
         .connection = 5,
         .slots = "SelectDevice 192.0.2.5 2|GetRegisteredId|CreateId|EndSession"},
        {.name = "kind 0 selects nothing",
         .connection = 0,
         .slots = "GetRegisteredId|CreateId|EndSession"},
        {.name = "kind 6 selects nothing",
         .connection = 6,
         .slots = "GetRegisteredId|CreateId|EndSession"},
        {.name = "port fails",
         .device = {.selectDevice = 5},
         .code = 5,
         .slots = "SelectDevice 192.0.2.5 1"},
        {.name = "busy",
         .device = {.getRegisteredId = 8},
         .code = 8,
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId"},
        {.name = "no internet",
         .device = {.createId = 9},
         .code = 9,
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "end fails", .device = {.endSession = 10}, .code = 10, .slots = all},
        {.name = "initialize fails", .device = {.initialize = 2}, .code = 2},
        {.name = "255 characters fit", .access = fits, .refresh = fits, .url = fits, .slots = all},
        {.name = "empty texts", .access = L"", .refresh = L"", .url = L"", .slots = all},
        {.name = "access token too long", .access = tooLong, .code = 2},
        {.name = "refresh token too long", .refresh = tooLong, .code = 2},
        {.name = "address too long", .url = tooLong, .code = 2},
        {.name = "token with a NUL", .access = std::wstring(L"AT-1\0tail", 9), .code = 2},
        {.name = "no library", .missing = true, .code = -1},
        {.name = "no object", .refuses = true, .code = -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeDeviceLibrary library;
        library.missing = r.missing;
        library.refusesObjects = r.refuses;
        library.script = r.device;
        const auto ids =
            printerutil::GetPrinterIDs(r.access, r.refresh, r.url, r.connection, L"192.0.2.5");
        EXPECT_EQ(library.SlotCalls(), r.slots);
        EXPECT_EQ(library.LiveObjects(), 0);
        if (r.code < 0) {
            EXPECT_EQ(ids, nullptr);
            continue;
        }
        ASSERT_NE(ids, nullptr);
        EXPECT_EQ(ids->code, r.code);
        if (r.code != 0) {
            EXPECT_EQ(ids->registeredId + ids->createdId, L"");
            continue;
        }
        const CreateIdRequest sent = library.LastCreateIdRequest();
        EXPECT_EQ(printerutil::FieldText(sent.access_token), r.access);
        EXPECT_EQ(printerutil::FieldText(sent.refresh_token), r.refresh);
        EXPECT_EQ(printerutil::FieldText(sent.server_url), r.url);
        EXPECT_EQ(printerutil::FieldText(sent.service_id), L"001");
        EXPECT_EQ(ids->registeredId, L"VTP-REG-0001");
        // What the printer created, cut to the 100 characters the caller gave.
        EXPECT_EQ(ids->createdId, FakeDeviceLibrary::CreatedIdentity(r.access).substr(0, 99));
    }
}

TEST_F(DeviceOperationsTest, AccessPointSearchAndApply) {
    DeviceConnection target{};
    target.kind = 2;
    const auto usb = MakeDeviceInfo(L"VZ 500", L"SN-U", L"4", 0, 0, 1, 2);
    auto otherSerial = usb, otherModel = usb, overNetwork = usb;
    otherSerial.serialNumber[3] = L'V';
    otherModel.model[0] = L'W';
    overNetwork.connection.kind = 0;
    struct Row {
        const char* name;
        std::vector<tagDeviceInfo> devices;
        int search, apply;
        std::size_t accessPoints;
        bool missing;
        int searchCode, applyCode;
        int searched;    // SearchAccessPoints calls of the search
        int listedNames; // names written into the buffer
    };
    const Row rows[] = {
        {"matched", {usb}, 0, 0, 3, false, 6, 7, 1, 3},
        {"two matches, both searched", {usb, usb}, 0, 0, 3, false, 6, 7, 2, 3},
        {"150 networks fill 100 entries", {usb}, 0, 0, 150, false, 6, 7, 1, 100},
        {"search fails, names still listed", {usb}, 12, 2, 3, false, 0, 0, 1, 3},
        {"no saved profile matches", {usb}, 13, 0, 3, false, 0, 7, 1, 3},
        {"other serial", {otherSerial}, 0, 0, 3, false, 0, 0, 0, 3},
        {"other model", {otherModel}, 0, 0, 3, false, 0, 0, 0, 3},
        {"other connection kind", {overNetwork}, 0, 0, 3, false, 0, 0, 0, 3},
        {"region filter",
         {MakeDeviceInfo(L"VZ 500", L"SN-U", L"3", 0, 0, 1, 2)},
         0,
         0,
         3,
         false,
         0,
         0,
         0,
         3},
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
        EXPECT_EQ(ssid + L"/" + key, r.searchCode == 6 ? L"HomeNet/secret-key" : L"-/-");
        const auto written = std::count_if(names.begin(), names.end() - 1,
                                           [](const AccessPointEntry& e) { return e.ssid[0]; });
        EXPECT_EQ(written, r.listedNames);
        EXPECT_EQ(printerutil::FieldText(names.back().ssid), L"guard");
        const auto calls = library.Calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "SearchAccessPoints 2"), r.searched);

        library.ClearCalls();
        EXPECT_EQ(printerutil::StartApplyAccessPoint(L"HomeNet", L"k", L"VZ 500", L"SN-U", target)
                      .get()
                      .code,
                  r.applyCode);
        if (r.searched > 0) {
            // The printer writes only an access point of a search it just made.
            const std::string each = "SearchDevices 1|GetDeviceList " +
                                     std::to_string(r.devices.size()) +
                                     "|SearchAccessPoints 2|ApplyAccessPoint 2 HomeNet k";
            EXPECT_EQ(library.SlotCalls().substr(0, each.size()), each);
        }
        EXPECT_EQ(library.LiveObjects(), 0);
    }
}

TEST(MaskString, KeepsTheLastFiveCharacters) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"", L""}, {L"abcde", L""}, {L"abcdef", L"*bcdef"}, {L"SN1234567890", L"*******67890"}};
    for (const auto& [text, masked] : rows) {
        EXPECT_EQ(printerutil::MaskString(text), masked);
    }
}

} // namespace
