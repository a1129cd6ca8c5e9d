#include "vtwidwus_lib.h"

#include "record_text.h"

#include <algorithm>
#include <cstring>

namespace vtqeldevc {
namespace {

constexpr unsigned kApplyWaitMs = 60000;
// The dot11 mode that a printer without a support-table row for its current mode searches in.
constexpr int kFallbackSearchMode = 4;
// Infrastructure settings that a joining printer takes: infrastructure mode, addresses by DHCP,
// IPv6 on.
constexpr int kInfrastructureMode = 4;
constexpr int kAddressByDhcp = 1;
constexpr int kIpv6Enabled = 1;
// The printer's bands as its infrastructure record reports them.
constexpr int kBand24 = 2;
constexpr int kBand5 = 4;

// The printer as the wrapper names it: only the serial counts; the model is traced.
tagUsbDevice DeviceOf(const char* model, const char* serial) {
    tagUsbDevice device{};
    CopyToField(device.modelName_, std::string_view(model != nullptr ? model : ""));
    CopyToField(device.serialNumber_, std::string_view(serial));
    return device;
}

// Secured access points: the printer reaches open networks through no other path either.
bool Secured(const tagUsbSnmpApSearchResultInfo& row) {
    return row.dot11APSearchResultAuthentication_ >= 6 &&
           row.dot11APSearchResultAuthentication_ <= 11;
}

// The authentication scheme as the printer takes it when it joins.
int JoiningAuthentication(int found) {
    switch (found) {
    case 6:
    case 8:
        return 10;
    case 7:
    case 9:
        return 11;
    default:
        return found;
    }
}

// The printer's infrastructure record, which both a search (its bands) and an apply (the record
// it changes) start from. False when the wrapper could not read it.
bool ReadInfra(const WusApi& api, VTWIDWUS_INSTANCE instance, const tagUsbDevice& device,
               tagUsbSnmpInfraInfo* infra) {
    return api.VTWIDWUS_GetInfo(instance, &device, VTWIDWUS_INFO_TYPE_INFRA, infra) ==
           VTWIDWUS_ERROR_CODE_SUCCESS;
}

} // namespace

int VtWidwusLib::ApSearch(const char* model, const char* serial) {
    if (serial == nullptr) {
        return -4;
    }
    if (!library_.ready()) {
        return -1;
    }
    const WusApi& api = library_.api();
    const VTWIDWUS_INSTANCE instance = library_.instance();
    const tagUsbDevice device = DeviceOf(model, serial);
    tagUsbSnmpInfraInfo infra{};
    if (!ReadInfra(api, instance, device, &infra)) {
        return -1;
    }
    // A band is searched whole: its bitmap stays 0, which the printer takes as every channel.
    int flags = 0;
    if ((infra.band_ & kBand24) != 0) {
        flags |= VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL24;
    }
    if ((infra.band_ & kBand5) != 0) {
        flags |= VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL5;
    }
    tagUsbSnmpApSearchExecuteParamInfo params{};
    int started = api.VTWIDWUS_ApSearchExecuteWithParams(instance, &device, flags, &params, 1);
    if (started == VTWIDWUS_ERROR_CODE_NOSUCHOBJECT_NOSUCHINSTANCE) {
        params.dot11APSearchExecuteParamdot11Mode = kFallbackSearchMode;
        started = api.VTWIDWUS_ApSearchExecuteWithParams(instance, &device, flags, &params, 1);
    }
    int count = 0;
    tagUsbSnmpApSearchResultInfo* rows = nullptr;
    int listed = VTWIDWUS_ERROR_CODE_FAILED;
    if (started == VTWIDWUS_ERROR_CODE_SUCCESS) {
        listed = api.VTWIDWUS_GetApSearchResultInfoList(instance, &device, &count, &rows);
    } else if (started == VTWIDWUS_ERROR_CODE_NOT_SUPPORTED) {
        // A printer without searches by parameters runs its plain search.
        listed = api.VTWIDWUS_ApSearchAndWait(instance, &device, nullptr, &count, &rows);
    }
    if (listed != VTWIDWUS_ERROR_CODE_SUCCESS || count < 0) {
        return -6;
    }
    kept_rows_.clear();
    if (rows != nullptr) {
        std::copy_if(rows, rows + count, std::back_inserter(kept_rows_), Secured);
    }
    return 0;
}

int VtWidwusLib::ApplyAp(const char* model, const char* serial, const char* ssid, const char* key) {
    if (serial == nullptr || ssid == nullptr || key == nullptr) {
        return -4;
    }
    const auto row = std::find_if(kept_rows_.begin(), kept_rows_.end(), [&](const auto& r) {
        return FieldText(r.dot11APSearchResultSsid_) == ssid;
    });
    if (row == kept_rows_.end()) {
        return -6;
    }
    if (!library_.ready()) {
        return -1;
    }
    const WusApi& api = library_.api();
    const VTWIDWUS_INSTANCE instance = library_.instance();
    const tagUsbDevice device = DeviceOf(model, serial);
    tagUsbSnmpInfraInfo infra{};
    if (!ReadInfra(api, instance, device, &infra)) {
        return -1;
    }
    infra.dot11Mode_ = kInfrastructureMode;
    infra.ipv4AddressMethod_ = kAddressByDhcp;
    infra.ipv6Enable_ = kIpv6Enabled;
    CopyToField(infra.ssid_, std::string_view(ssid));
    infra.authentication_ = JoiningAuthentication(row->dot11APSearchResultAuthentication_);
    infra.encryption_ = row->dot11APSearchResultEncryption_;
    CopyToField(infra.networkKey_, std::string_view(key));
    infra.channel_ = row->dot11APSearchResultChannel_;
    const int written = api.VTWIDWUS_SetInfo(instance, &device, VTWIDWUS_INFO_TYPE_INFRA, &infra);
    // The printer restarts its wireless interface with whatever it took; give it the time
    // also when the write was refused part way.
    platform_.Wait(kApplyWaitMs);
    return written == VTWIDWUS_ERROR_CODE_SUCCESS ? 0 : -1;
}

} // namespace vtqeldevc
