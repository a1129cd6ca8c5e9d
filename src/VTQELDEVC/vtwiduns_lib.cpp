#include "vtwiduns_lib.h"

#include "record_text.h"
#include "text_convert.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>

namespace vtqeldevc {
namespace {

constexpr unsigned kScanWaitMs = 7200;
constexpr unsigned kScanWaitFiveGhzMs = 14200;
constexpr unsigned kApplyWaitMs = 60000;
constexpr int kInterfaceBytes = VTWIDUNS_INTERFACE_CELLS * VTWIDUNS_CELL_BYTES;
constexpr int kSectionBytes = VTWIDUNS_SECTION_CELLS * VTWIDUNS_CELL_BYTES;
constexpr std::size_t kCellTextChars = VTWIDUNS_CELL_BYTES - 1;

// One conversation with a device: ended on every path once it was asked for, also when it
// could not be started.
class Conversation {
public:
    Conversation(const UnsApi& api, VTWIDUNS_INSTANCE instance, const char* key)
        : api_(api), instance_(instance), key_(key),
          started_(api.VTWIDUNS_CommStart(instance, key) == VTWIDUNS_OK) {}
    ~Conversation() { api_.VTWIDUNS_CommEnd(instance_, key_); }
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    bool started() const noexcept { return started_; }

private:
    const UnsApi& api_;
    VTWIDUNS_INSTANCE instance_;
    const char* key_;
    bool started_;
};

// Whether the device's wireless0 interface lists a 5 GHz channel.
bool HasFiveGhzRadio(const UnsApi& api, VTWIDUNS_INSTANCE instance, const char* key, bool& failed) {
    int work = 0;
    const int count =
        api.VTWIDUNS_GetInfo(instance, key, VTWIDUNS_INFO_INTERFACES, nullptr, &work, 1);
    if (count < 1) {
        return false;
    }
    std::vector<char> entries(static_cast<std::size_t>(count) * kInterfaceBytes);
    work = count;
    const int written =
        api.VTWIDUNS_GetInfo(instance, key, VTWIDUNS_INFO_INTERFACES, entries.data(), &work, 0);
    if (written < 0) {
        failed = true;
        return false;
    }
    const std::string_view all(entries.data(), entries.size());
    for (int i = 0; i < std::min(written, count); ++i) {
        const auto entry =
            all.substr(static_cast<std::size_t>(i) * kInterfaceBytes, kInterfaceBytes);
        if (CellText(entry, 0) == "wireless0") {
            return ListsFiveGhzChannel(CellText(entry, 7));
        }
    }
    return false;
}

void PutCell(std::vector<char>& block, int section, int cell, std::string_view text) {
    const std::size_t at = static_cast<std::size_t>(section) * kSectionBytes +
                           static_cast<std::size_t>(cell) * VTWIDUNS_CELL_BYTES;
    std::copy_n(text.data(), std::min(text.size(), kCellTextChars), block.begin() + at);
}

} // namespace

std::string_view CellText(std::string_view record, std::size_t index) noexcept {
    const std::size_t at = index * VTWIDUNS_CELL_BYTES;
    if (at >= record.size()) {
        return {};
    }
    const std::string_view cell = record.substr(at, VTWIDUNS_CELL_BYTES);
    return cell.substr(0, cell.find('\0'));
}

bool ListsFiveGhzChannel(std::string_view channels) {
    constexpr std::string_view kSpace = " \t\r\n\f\v";
    for (std::size_t start = channels.find_first_not_of(kSpace); start != std::string_view::npos;
         start = channels.find_first_not_of(kSpace, start)) {
        const std::size_t end = std::min(channels.find_first_of(kSpace, start), channels.size());
        const std::string_view number = channels.substr(start, end - start);
        int channel = 0;
        const auto [stop, error] =
            std::from_chars(number.data(), number.data() + number.size(), channel);
        if (error == std::errc() && stop == number.data() + number.size() && channel >= 36 &&
            channel <= 165) {
            return true;
        }
        start = end;
    }
    return false;
}

std::string MaskKey(std::string_view key) {
    std::vector<std::uint8_t> masked(key.begin(), key.end());
    for (auto& byte : masked) {
        byte = static_cast<std::uint8_t>(byte ^ VTWIDUNS_KEY_MASK);
    }
    return BytesToHexUpper(masked);
}

VtWidUnsLib::VtWidUnsLib(Platform platform)
    : platform_(std::move(platform)), library_(platform_.Loader()) {}

int VtWidUnsLib::SearchAccessPoints(const char* deviceKey) {
    if (deviceKey == nullptr) {
        return -4;
    }
    access_points_.clear();
    if (!library_.ready()) {
        return -1;
    }
    const UnsApi& api = library_.api();
    const VTWIDUNS_INSTANCE instance = library_.instance();
    const std::string key = BoundedText(deviceKey, VTWIDUNS_DEVICE_KEY_BYTES);
    const Conversation conversation(api, instance, key.c_str());
    if (!conversation.started()) {
        return -7;
    }
    bool failed = false;
    const bool five_ghz = HasFiveGhzRadio(api, instance, key.c_str(), failed);
    if (failed ||
        api.VTWIDUNS_Control(instance, key.c_str(), VTWIDUNS_CONTROL_AP_SCAN, 0) != VTWIDUNS_OK) {
        return -1;
    }
    // The scan takes its time on the printer; a radio with 5 GHz channels has more of them.
    platform_.Wait(five_ghz ? kScanWaitFiveGhzMs : kScanWaitMs);

    int work = 0;
    const int count =
        api.VTWIDUNS_GetInfo(instance, key.c_str(), VTWIDUNS_INFO_ACCESS_POINTS, nullptr, &work, 1);
    if (count < 1) {
        return -6;
    }
    std::vector<UnsAccessPoint> found(static_cast<std::size_t>(count));
    static_assert(sizeof(UnsAccessPoint) == VTWIDUNS_ACCESS_POINT_CELLS * VTWIDUNS_CELL_BYTES);
    work = count;
    const int written = api.VTWIDUNS_GetInfo(instance, key.c_str(), VTWIDUNS_INFO_ACCESS_POINTS,
                                             found.data(), &work, 1);
    if (written < 0) {
        return -1;
    }
    found.resize(static_cast<std::size_t>(std::min(written, count)));
    std::copy_if(found.begin(), found.end(), std::back_inserter(access_points_),
                 [](const UnsAccessPoint& point) { return point.Secured(); });
    return 0;
}

int VtWidUnsLib::ApplyWirelessSettings(const char* deviceKey, const char* ssid, const char* key) {
    if (deviceKey == nullptr || ssid == nullptr || key == nullptr) {
        return -4;
    }
    const std::string_view ssid_text(ssid);
    const std::string hex_ssid = BytesToHexUpper(
        {reinterpret_cast<const std::uint8_t*>(ssid_text.data()), ssid_text.size()});
    // The last of equal names counts.
    const auto match =
        std::find_if(access_points_.rbegin(), access_points_.rend(),
                     [&](const UnsAccessPoint& point) { return point.HexSsid() == hex_ssid; });
    if (match == access_points_.rend()) {
        return -6;
    }
    const std::string masked_key = MaskKey(key);
    // A key cut to fit its cell would be a wrong key written into the printer.
    if (!library_.ready() || masked_key.size() > kCellTextChars) {
        return -1;
    }
    std::vector<char> block(VTWIDUNS_SETTINGS_BYTES);
    PutCell(block, 0, 0, "wireless0");
    PutCell(block, 0, 3, "1");
    PutCell(block, 0, 4, "1");
    PutCell(block, 0, 5, "DHCP");
    PutCell(block, 0, 18, hex_ssid);
    PutCell(block, 0, 20, match->Cell(1));
    PutCell(block, 0, 21, "0");
    PutCell(block, 0, 30, "0");
    PutCell(block, 0, 33, "0");
    if (match->Secured()) {
        PutCell(block, 0, 35, masked_key);
        PutCell(block, 0, 36, "1");
        PutCell(block, 0, 37, "AUTO");
    } else {
        PutCell(block, 0, 36, "0");
    }
    PutCell(block, 1, 0, "wireless1");
    PutCell(block, 2, 0, "wireless2");

    const UnsApi& api = library_.api();
    const VTWIDUNS_INSTANCE instance = library_.instance();
    const std::string device = BoundedText(deviceKey, VTWIDUNS_DEVICE_KEY_BYTES);
    const Conversation conversation(api, instance, device.c_str());
    if (!conversation.started() ||
        api.VTWIDUNS_SetInfo(instance, device.c_str(), VTWIDUNS_SET_WIRELESS, block.data(),
                             VTWIDUNS_SETTINGS_BYTES) != VTWIDUNS_OK) {
        return -1;
    }
    // The printer restarts its wireless interface with the new settings.
    platform_.Wait(kApplyWaitMs);
    return 0;
}

} // namespace vtqeldevc
