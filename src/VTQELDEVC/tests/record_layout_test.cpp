// The boundary records at their byte offsets, as the C compiler lays them out and as this
// library's C++ sees them: the application and the library must agree byte for byte.
#include "record_layout.h"

#include <vtqeldevc/vtqeldevc.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace {

struct Expected {
    std::string_view field;
    long offset;
    long size;
    long record_size;
};

constexpr Expected kExpected[] = {
    {"tagDeviceInfo.qelService", 0, 1, 1614},
    {"tagDeviceInfo.reserved1", 1, 1, 1614},
    {"tagDeviceInfo.model", 2, 256, 1614},
    {"tagDeviceInfo.serialNumber", 258, 256, 1614},
    {"tagDeviceInfo.address", 514, 512, 1614},
    {"tagDeviceInfo.regionCode", 1026, 10, 1614},
    {"tagDeviceInfo.hardwareAddress", 1036, 40, 1614},
    {"tagDeviceInfo.agreement", 1076, 1, 1614},
    {"tagDeviceInfo.reserved2", 1077, 1, 1614},
    {"tagDeviceInfo.connection", 1078, 534, 1614},
    {"tagDeviceInfo.connection.kind", 1078, 1, 1614},
    {"tagDeviceInfo.connection.portName", 1080, 20, 1614},
    {"tagDeviceInfo.connection.deviceKey", 1100, 256, 1614},
    {"tagDeviceInfo.connection.serialNumber", 1356, 128, 1614},
    {"tagDeviceInfo.connection.modelName", 1484, 128, 1614},
    {"tagDeviceInfo.serviceKind", 1612, 1, 1614},
    {"tagDeviceInfo.reserved3", 1613, 1, 1614},
    {"DeviceConnection.reserved", 1, 1, 534},
    {"DeviceConnection.modelName", 406, 128, 534},
    {"AccessPointEntry.ssid", 0, 66, 72},
    {"AccessPointEntry.reserved", 66, 2, 72},
    {"AccessPointEntry.signal", 68, 4, 72},
    {"CreateIdRequest.access_token", 0, 512, 1556},
    {"CreateIdRequest.refresh_token", 512, 512, 1556},
    {"CreateIdRequest.server_url", 1024, 512, 1556},
    {"CreateIdRequest.service_id", 1536, 20, 1556},
};

TEST(RecordLayoutTest, TheCCompilerPlacesEveryFieldAtItsByteOffset) {
    std::array<RecordLayoutRow, 64> rows{};
    const int count = RecordLayoutFromC(rows.data(), static_cast<int>(rows.size()));
    ASSERT_EQ(count, static_cast<int>(std::size(kExpected)));
    for (int i = 0; i < count; ++i) {
        const auto& want = kExpected[i];
        const auto& got = rows[static_cast<std::size_t>(i)];
        SCOPED_TRACE(want.field);
        EXPECT_EQ(std::string_view(got.field), want.field);
        EXPECT_EQ(got.offset, want.offset);
        EXPECT_EQ(got.size, want.size);
        EXPECT_EQ(got.record_size, want.record_size);
    }
}

TEST(RecordLayoutTest, CxxAgreesWithC) {
    // The nested block sits at the same place whether reached through the record or alone.
    EXPECT_EQ(offsetof(tagDeviceInfo, connection) + offsetof(DeviceConnection, deviceKey), 1100u);
    EXPECT_EQ(offsetof(tagDeviceInfo, connection) + offsetof(DeviceConnection, modelName), 1484u);
    EXPECT_EQ(alignof(tagDeviceInfo), 2u);
    EXPECT_EQ(alignof(AccessPointEntry), 4u);
}

} // namespace
