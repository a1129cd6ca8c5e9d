#include "printerutil/device_operations.h"

#include <algorithm>
#include <cstring>

#include "printerutil/device_object.h"
#include "printerutil/waits.h"

namespace printerutil {
namespace {

constexpr std::int64_t kFindMinimumMs = 3000;
constexpr wchar_t kServiceId[] = L"001";

// SearchDevices, then GetDeviceList into as many zeroed records as it counted.
std::vector<tagDeviceInfo> ReadDeviceList(DeviceObject& device, int usbOnly) {
    int count = 0;
    if (device->SearchDevices(&count, usbOnly) != 0 || count <= 0) {
        return {};
    }
    std::vector<tagDeviceInfo> list(static_cast<std::size_t>(count));
    if (device->GetDeviceList(list.data(), count) != 0) {
        return {};
    }
    return list;
}

bool SameModelAndSerial(const tagDeviceInfo& a, const tagDeviceInfo& b) {
    return FieldText(a.model) == FieldText(b.model) &&
           FieldText(a.serialNumber) == FieldText(b.serialNumber);
}

bool MatchesTarget(const tagDeviceInfo& record, const std::wstring& modelName,
                   const std::wstring& serialNumber, const DeviceConnection& target) {
    return record.connection.kind == target.kind && FieldText(record.model) == modelName &&
           FieldText(record.serialNumber) == serialNumber;
}

template <std::size_t N> bool CopyField(wchar_t (&field)[N], const std::wstring& text) {
    if (text.size() >= N || text.find(L'\0') != std::wstring::npos) {
        return false;
    }
    std::copy(text.begin(), text.end(), field);
    field[text.size()] = L'\0';
    return true;
}

} // namespace

bool OfferedInPrinterList(const tagDeviceInfo& record) {
    const std::wstring region = FieldText(record.regionCode);
    const bool onNetworkWithAgreement =
        record.agreement != 0 && record.connection.kind == VTESDEV_CONNECTION_NETWORK;
    if (region == L"1") {
        return record.qelService == 1;
    }
    if (region == L"4" || region == L"C") {
        return record.qelService == 1 || onNetworkWithAgreement;
    }
    if (region == L"3") {
        return (record.qelService == 1 && record.serviceKind == 2) || onNetworkWithAgreement;
    }
    return false;
}

bool TakesAccessPoint(const tagDeviceInfo& record) {
    const std::wstring region = FieldText(record.regionCode);
    if (region == L"1") {
        return record.qelService == 1;
    }
    if (region == L"4" || region == L"C") {
        return record.qelService == 1 || record.agreement != 0;
    }
    if (region == L"3") {
        return record.qelService == 1 && record.serviceKind == 2;
    }
    return false;
}

bool FillCreateIdRequest(CreateIdRequest& request, const std::wstring& accessToken,
                         const std::wstring& refreshToken, const std::wstring& serverUrl) {
    std::memset(&request, 0, sizeof(request));
    if (CopyField(request.access_token, accessToken) &&
        CopyField(request.refresh_token, refreshToken) &&
        CopyField(request.server_url, serverUrl) && CopyField(request.service_id, kServiceId)) {
        return true;
    }
    std::memset(&request, 0, sizeof(request));
    return false;
}

DeviceList FindPrinterByAddress(const std::wstring& address) {
    IDeviceBackend& backend = DeviceBackend();
    const auto entries = backend.Entries();
    IWaits& waits = Waits();
    const std::int64_t start = waits.NowMs();
    DeviceList found;
    if (address.empty()) {
        return found;
    }
    {
        DeviceObject device(entries);
        if (device && device.Initialize() == 0) {
            auto data = std::make_shared<stDeviceData>();
            tagDeviceInfo record{};
            if (backend.IsUsbPrinterQueue(address)) {
                data->connectionKind = kConnectionUsbQueue;
                if (device->GetDeviceInfo(address.c_str(), PortTypeOf(kConnectionUsbQueue),
                                          &record) == 0) {
                    // The queue gives no connection block; the USB search does. The last
                    // printer of the same model and serial is the one.
                    for (const tagDeviceInfo& item : ReadDeviceList(device, 1)) {
                        if (SameModelAndSerial(item, record)) {
                            record = item;
                        }
                    }
                }
            } else {
                data->connectionKind = kConnectionAddress;
                device->GetDeviceInfo(address.c_str(), PortTypeOf(kConnectionAddress), &record);
            }
            CopyDeviceInfo(record, *data);
            found.push_back(std::move(data));
        }
    }
    const std::int64_t wholeSeconds = (waits.NowMs() - start) / 1000;
    if (wholeSeconds < kFindMinimumMs / 1000) {
        const std::int64_t rest =
            std::clamp<std::int64_t>(kFindMinimumMs - 1000 * wholeSeconds, 0, kFindMinimumMs);
        waits.Pause(std::chrono::milliseconds(rest));
    }
    return found;
}

DeviceList EnumPrinters() {
    DeviceObject device(DeviceBackend().Entries());
    DeviceList found;
    if (!device || device.Initialize() != 0) {
        return found;
    }
    for (const tagDeviceInfo& record : ReadDeviceList(device, 0)) {
        if (OfferedInPrinterList(record)) {
            auto data = std::make_shared<stDeviceData>();
            CopyDeviceInfo(record, *data);
            found.push_back(std::move(data));
        }
    }
    return found;
}

std::shared_ptr<stPrinterIDs> GetPrinterIDs(const std::wstring& accessToken,
                                            const std::wstring& refreshToken,
                                            const std::wstring& serverUrl, int connectionKind,
                                            const std::wstring& address) {
    DeviceObject device(DeviceBackend().Entries());
    if (!device) {
        return nullptr;
    }
    int result = device.Initialize();
    if (result != 0) {
        return std::make_shared<stPrinterIDs>(stPrinterIDs{result, {}, {}});
    }
    CreateIdRequest request;
    if (!FillCreateIdRequest(request, accessToken, refreshToken, serverUrl)) {
        return std::make_shared<stPrinterIDs>(stPrinterIDs{VTESDEV_FAILED, {}, {}});
    }
    if (IsKnownConnection(connectionKind)) {
        result = device->SelectDevice(address.c_str(), PortTypeOf(connectionKind));
    }
    wchar_t registered[kPrinterIdChars] = {};
    wchar_t created[kPrinterIdChars] = {};
    if (result == 0) {
        result = device->GetRegisteredId(registered, kPrinterIdChars);
    }
    if (result == 0) {
        result = device->CreateId(&request, created, kPrinterIdChars);
    }
    if (result == 0) {
        result = device->EndSession();
    }
    if (result != 0) {
        return std::make_shared<stPrinterIDs>(stPrinterIDs{result, {}, {}});
    }
    return std::make_shared<stPrinterIDs>(
        stPrinterIDs{0, FieldText(registered), FieldText(created)});
}

stRegSeqResult SearchAccessPoints(std::wstring* ssid, std::wstring* key,
                                  const std::wstring& modelName, const std::wstring& serialNumber,
                                  const DeviceConnection& target, AccessPointEntry* names,
                                  int capacity) {
    stRegSeqResult outcome;
    DeviceObject device(DeviceBackend().Entries());
    if (!device || device.Initialize() != 0) {
        return outcome;
    }
    wchar_t foundSsid[kAccessPointTextChars] = {};
    wchar_t foundKey[kAccessPointTextChars] = {};
    bool found = false;
    for (const tagDeviceInfo& record : ReadDeviceList(device, 1)) {
        if (!TakesAccessPoint(record) || !MatchesTarget(record, modelName, serialNumber, target)) {
            continue;
        }
        wchar_t recordSsid[kAccessPointTextChars] = {};
        wchar_t recordKey[kAccessPointTextChars] = {};
        if (device->SearchAccessPoints(&record.connection, recordSsid, kAccessPointTextChars,
                                       recordKey, kAccessPointTextChars) == 0) {
            found = true;
            std::copy(std::begin(recordSsid), std::end(recordSsid), foundSsid);
            std::copy(std::begin(recordKey), std::end(recordKey), foundKey);
        }
    }
    int listed = 0;
    if (names != nullptr && capacity > 0 && device->GetAccessPointList(nullptr, &listed) == 0) {
        // More networks than the screen's buffer holds are left out, never written past it.
        listed = std::min(listed, capacity);
        if (listed > 0) {
            device->GetAccessPointList(names, &listed);
        }
    }
    if (found) {
        if (ssid != nullptr) {
            *ssid = FieldText(foundSsid);
        }
        if (key != nullptr) {
            *key = FieldText(foundKey);
        }
        outcome.code = kResultAccessPointFound;
    }
    return outcome;
}

stRegSeqResult ApplyAccessPoint(const std::wstring& ssid, const std::wstring& key,
                                const std::wstring& modelName, const std::wstring& serialNumber,
                                const DeviceConnection& target) {
    stRegSeqResult outcome;
    DeviceObject device(DeviceBackend().Entries());
    if (!device || device.Initialize() != 0) {
        return outcome;
    }
    for (const tagDeviceInfo& record : ReadDeviceList(device, 1)) {
        if (!TakesAccessPoint(record) || !MatchesTarget(record, modelName, serialNumber, target)) {
            continue;
        }
        // The printer writes only an access point of its latest search.
        wchar_t searchedSsid[kAccessPointTextChars] = {};
        wchar_t searchedKey[kAccessPointTextChars] = {};
        device->SearchAccessPoints(&record.connection, searchedSsid, kAccessPointTextChars,
                                   searchedKey, kAccessPointTextChars);
        if (device->ApplyAccessPoint(&record.connection, ssid.c_str(), key.c_str()) == 0) {
            outcome.code = kResultAccessPointApplied;
        }
    }
    return outcome;
}

} // namespace printerutil
