#include "wrapvtwidusmanager.h"

#include "resultcodes.h"
#include "trace.h"

#include <win/unique_any.h>

#include <cctype>
#include <cstring>
#include <new>

namespace vtwidwus {

namespace {

using Lock = qelwin::critical_section_guard;

constexpr int kParamsFull24 = VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL24_FULL;
constexpr int kParams24 = VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL24;
constexpr int kParamsFull5 = VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL5_FULL;
constexpr int kParams5 = VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL5;
constexpr int kParamsSsid = VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_SSID;
constexpr int kParamsBssid = VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_BSSID;

bool IsKnownInfoType(int infoType) noexcept {
    return infoType >= VTWIDWUS_INFO_TYPE_STATE &&
           infoType <= VTWIDWUS_INFO_TYPE_INFRA_SUPPORT_AUTH;
}

void CopyBounded(char* out, std::size_t outSize, const std::string& text) noexcept {
    std::memset(out, 0, outSize);
    std::memcpy(out, text.data(), std::min(text.size(), outSize - 1));
}

// The leading decimal number of a version text ("1.02" is 1); 0 without digits.
long LeadingNumber(const std::string& text) noexcept {
    long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > 1000000) {
            break;
        }
    }
    return value;
}

} // namespace

int NormaliseParamIndex(int paramIndex, const tagUsbSnmpApSearchExecuteParamInfo& p) {
    VTW_TRACE(0,
              "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:dot11ApmodeAPSearchWithParamIndex_:%d",
              paramIndex);
    if (paramIndex == 0) {
        VTW_TRACE(0,
                  "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:"
                  "dot11APSearchExecuteParamChannel24ghz_:%d",
                  p.dot11APSearchExecuteParamChannel24ghz_);
        VTW_TRACE(0,
                  "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:"
                  "dot11APSearchExecuteParamChannel5ghz_:%d",
                  p.dot11APSearchExecuteParamChannel5ghz_);
        VTW_TRACE(0,
                  "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:dot11APSearchExecuteParamSsid_:%s",
                  BoundedText(p.dot11APSearchExecuteParamSsid_).c_str());
        VTW_TRACE(0,
                  "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:dot11APSearchExecuteParamBssid_:%s",
                  BoundedText(p.dot11APSearchExecuteParamBssid_).c_str());
    }
    int flags = paramIndex;
    if ((flags & kParams24) != 0) {
        if (p.dot11APSearchExecuteParamChannel24ghz_ == 1) {
            flags &= ~kParams24;
        }
        if ((p.dot11APSearchExecuteParamChannel24ghz_ & 1) != 0) {
            flags |= kParamsFull24;
            VTW_TRACE(0, "VTWIDWUS_ApSearchExecuteWithParams:"
                         "VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL24_FULL");
        }
    }
    if ((flags & kParams5) != 0) {
        if (p.dot11APSearchExecuteParamChannel5ghz_ == 1) {
            flags &= ~kParams5;
        }
        if ((p.dot11APSearchExecuteParamChannel5ghz_ & 1) != 0) {
            flags |= kParamsFull5;
            VTW_TRACE(0, "VTWIDWUS_ApSearchExecuteWithParams:"
                         "VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL5_FULL");
        }
    }
    VTW_TRACE(0,
              "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:dot11APSearchExecuteParamdot11Mode:%d",
              p.dot11APSearchExecuteParamdot11Mode);
    return flags;
}

CDevice* CWrapVtwidusManager::FindDevice(const tagUsbDevice* device) const {
    if (device == nullptr) {
        return nullptr;
    }
    const std::string serial = BoundedText(device->serialNumber_);
    for (const auto& d : devices_) {
        if (d->Serial() == serial) {
            return d.get();
        }
    }
    return nullptr;
}

void CWrapVtwidusManager::FreeDevices() {
    devices_.clear();
    std::vector<tagUsbDevice>().swap(deviceBuffer_);
}

int CWrapVtwidusManager::Search(int* oCount, tagUsbDevice** oInfoList) {
    *oCount = 0;
    *oInfoList = nullptr;
    const Lock deviceLock(deviceLock_.get());
    const Lock cancelLock(cancelLock_.get());
    FreeDevices();
    if (!VtwidusLoaded()) {
        return VTWIDWUS_ERROR_CODE_NOT_LOADED;
    }
    const VtwidusEntries& us = Vtwidus();
    const VTWIDUS_USB_ENTRY* list = nullptr;
    const int found = us.pfnVTWIDUS_Search_(&list);
    if (found <= 0) {
        VTW_TRACE(3, "Search:pfnVTWIDUS_Search_():%d", found);
        return UsErr2WusErr(found);
    }
    if (list == nullptr) {
        // A count without a list is a fault of the library, not an empty bus.
        VTW_TRACE(3, "Search:pfnVTWIDUS_Search_():%d", found);
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
    try {
        deviceBuffer_.reserve(static_cast<std::size_t>(found));
        for (int i = 0; i < found; ++i) {
            auto device = std::make_unique<CDevice>(list[i]);
            device->ClearCancelRequest();
            // The search uses the device's own time-out, not the instance's setting.
            device->SetUsbTimeout(1000);
            const int r = device->UpdateSerial();
            if (r != 0) {
                VTW_TRACE(3, "Search:UpdateSerial():%d", r);
                continue;
            }
            tagUsbDevice row{};
            CopyBounded(row.modelName_, sizeof row.modelName_, device->ModelName());
            CopyBounded(row.serialNumber_, sizeof row.serialNumber_, device->Serial());
            devices_.push_back(std::move(device));
            deviceBuffer_.push_back(row);
        }
    } catch (const std::bad_alloc&) {
        VTW_TRACE(4, "Search:bad_alloc");
        FreeDevices();
        return VTWIDWUS_ERROR_CODE_FAILED;
    } catch (...) {
        // A search that failed lists nothing, so it keeps no devices either.
        FreeDevices();
        throw;
    }
    *oCount = static_cast<int>(deviceBuffer_.size());
    *oInfoList = deviceBuffer_.empty() ? nullptr : deviceBuffer_.data();
    return VTWIDWUS_ERROR_CODE_SUCCESS;
}

int CWrapVtwidusManager::SetTimeout(int setting, int timeoutMs) {
    const Lock lock(deviceLock_.get());
    switch (setting) {
    case VTWIDWUS_TIMEOUT_SETTING_USB_COMM:
        usbTimeoutMs_ = timeoutMs;
        return VTWIDWUS_ERROR_CODE_SUCCESS;
    case VTWIDWUS_TIMEOUT_SETTING_APSEARCH:
        apSearchLimitMs_ = timeoutMs;
        return VTWIDWUS_ERROR_CODE_SUCCESS;
    default:
        VTW_TRACE(3, "SetTimeout:param setting:%d timeoutMs:%d", setting, timeoutMs);
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
}

int CWrapVtwidusManager::GetInfoWithoutLock(const tagUsbDevice* device, int infoType, void* oInfo) {
    if (!IsKnownInfoType(infoType)) {
        VTW_TRACE(3, "GetOidInfo:param");
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
    CDevice* d = FindDevice(device);
    if (d == nullptr) {
        VTW_TRACE(3, "GetInfo:param device:modelName_:%s serialNumber_:%s",
                  BoundedText(device->modelName_).c_str(),
                  BoundedText(device->serialNumber_).c_str());
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    d->SetUsbTimeout(usbTimeoutMs_);
    d->ClearCancelRequest();
    const int r = d->GetInfo(infoType);
    if (r == 0) {
        d->CopyInfo(infoType, oInfo);
    } else {
        VTW_TRACE(3, "GetInfo:DiscoveryAndCommWithRetry():%d", r);
    }
    if (d->Cancelled()) {
        VTW_TRACE(2, "GetInfo:cancel");
        return VTWIDWUS_ERROR_CODE_CANCEL;
    }
    return UsErr2WusErr(r);
}

int CWrapVtwidusManager::GetInfo(const tagUsbDevice* device, int infoType, void* oInfo) {
    const Lock lock(deviceLock_.get());
    return GetInfoWithoutLock(device, infoType, oInfo);
}

int CWrapVtwidusManager::SetInfo(const tagUsbDevice* device, int infoType, const void* iInfo) {
    const Lock lock(deviceLock_.get());
    if (!IsKnownInfoType(infoType)) {
        VTW_TRACE(3, "GetOidInfo:param");
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
    CDevice* d = FindDevice(device);
    if (d == nullptr) {
        VTW_TRACE(3, "SetInfo:param device:modelName_:%s serialNumber_:%s",
                  BoundedText(device->modelName_).c_str(),
                  BoundedText(device->serialNumber_).c_str());
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    d->SetUsbTimeout(usbTimeoutMs_);
    const int r = d->SetInfo(infoType, iInfo);
    if (d->Cancelled()) {
        VTW_TRACE(2, "SetInfo:cancel");
        return VTWIDWUS_ERROR_CODE_CANCEL;
    }
    return UsErr2WusErr(r);
}

int CWrapVtwidusManager::SetInfoAndWaitChangeDot11Mode(const tagUsbDevice* device, int infoType,
                                                       const void* iInfo) {
    const Lock lock(deviceLock_.get());
    if (infoType != VTWIDWUS_INFO_TYPE_STATE && infoType != VTWIDWUS_INFO_TYPE_INFRA &&
        infoType != VTWIDWUS_INFO_TYPE_DIRECT) {
        VTW_TRACE(3, "SetInfoAndWaitChangeDot11Mode:param infoType:%lu",
                  static_cast<unsigned long>(infoType));
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    CDevice* d = FindDevice(device);
    if (d == nullptr) {
        VTW_TRACE(3, "SetInfoAndWaitChangeDot11Mode:param device:modelName_:%s serialNumber_:%s",
                  BoundedText(device->modelName_).c_str(),
                  BoundedText(device->serialNumber_).c_str());
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    d->SetUsbTimeout(usbTimeoutMs_);
    bool timedOut = false;
    const int r = d->SetInfoAndWaitChangeDot11Mode(infoType, iInfo, dot11ModeWaitMs_, timedOut);
    if (d->Cancelled()) {
        VTW_TRACE(2, "SetInfoAndWaitChangeDot11Mode:cancel");
        return VTWIDWUS_ERROR_CODE_CANCEL;
    }
    if (timedOut) {
        VTW_TRACE(3, "SetInfoAndWaitChangeDot11Mode:errTimeout");
        return VTWIDWUS_ERROR_CODE_CHANGE_DOT11MODE_TIMEOUT;
    }
    return UsErr2WusErr(r);
}

int CWrapVtwidusManager::ApSearchByExecuteType(const tagUsbDevice* device,
                                               IApSearchExecute& strategy, bool waitFlag) {
    CDevice* d = FindDevice(device);
    if (d == nullptr) {
        if (device == nullptr) {
            VTW_TRACE(3, "ApSearchByExecuteType:param device:%lu", TraceHandle(device));
        } else {
            VTW_TRACE(3, "ApSearchByExecuteType:param device:modelName_:%s serialNumber_:%s",
                      BoundedText(device->modelName_).c_str(),
                      BoundedText(device->serialNumber_).c_str());
        }
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    d->SetUsbTimeout(usbTimeoutMs_);
    bool timedOut = false;
    const int r = d->ApSearch(strategy, apSearchLimitMs_, waitFlag, settleWaitMs_, timedOut);
    if (d->Cancelled()) {
        VTW_TRACE(2, "ApSearchByExecuteType:cancel");
        return VTWIDWUS_ERROR_CODE_CANCEL;
    }
    if (timedOut) {
        VTW_TRACE(3, "ApSearchByExecuteType:errTimeout");
        return VTWIDWUS_ERROR_CODE_APSEARCH_TIMEOUT;
    }
    return UsErr2WusErr(r);
}

int CWrapVtwidusManager::ApSearch(const tagUsbDevice* device, const char* ssid, bool waitFlag,
                                  int* oCount, tagUsbSnmpApSearchResultInfo** oInfoList) {
    *oCount = 0;
    *oInfoList = nullptr;
    const Lock lock(deviceLock_.get());
    if (ssid == nullptr) {
        std::unique_ptr<CApSearchExecute> strategy;
        try {
            strategy = std::make_unique<CApSearchExecute>();
        } catch (const std::bad_alloc&) {
            VTW_TRACE(3, "ApSearch:bad_alloc");
            return VTWIDWUS_ERROR_CODE_FAILED;
        }
        const int r = ApSearchByExecuteType(device, *strategy, waitFlag);
        if (r != 0) {
            VTW_TRACE(3, "ApSearch:ApSearchByExecuteType");
            return r;
        }
        return GetApSearchResultInfoListWithoutLock(device, oCount, oInfoList, false);
    }

    // A network name has at most 32 bytes; one more keeps a longer text from matching a row.
    const std::string name =
        BoundedText(ssid, sizeof(tagUsbSnmpApSearchResultInfo{}.dot11APSearchResultSsid_));
    std::unique_ptr<CApSearchExecuteWithSsid> strategy;
    try {
        strategy = std::make_unique<CApSearchExecuteWithSsid>(name);
    } catch (const std::bad_alloc&) {
        VTW_TRACE(3, "ApSearchWithSsid:bad_alloc");
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
    int r = ApSearchByExecuteType(device, *strategy, waitFlag);
    if (r != 0) {
        VTW_TRACE(3, "ApSearchWithSsid:ApSearchByExecuteType");
        return r;
    }
    int count = 0;
    tagUsbSnmpApSearchResultInfo* rows = nullptr;
    r = GetApSearchResultInfoListWithoutLock(device, &count, &rows, false);
    if (r != 0) {
        VTW_TRACE(3, "ApSearchWithSsid:GetApSearchResultInfoList");
        return r;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        if (BoundedText(rows[i].dot11APSearchResultSsid_) == name) {
            if (kept != i) {
                rows[kept] = rows[i];
            }
            ++kept;
        }
    }
    *oCount = static_cast<int>(kept);
    *oInfoList = kept == 0 ? nullptr : rows;
    return VTWIDWUS_ERROR_CODE_SUCCESS;
}

int CWrapVtwidusManager::ApSearchExecuteWithParams(
    const tagUsbDevice* device, int paramIndex, const tagUsbSnmpApSearchExecuteParamInfo& paramInfo,
    int waitFlag) {
    const Lock lock(deviceLock_.get());
    int index = paramInfo.dot11APSearchExecuteParamdot11Mode;
    if (index == 0) {
        tagUsbSnmpStateInfo state{};
        const int r = GetInfoWithoutLock(device, VTWIDWUS_INFO_TYPE_STATE, &state);
        if (r != 0) {
            VTW_TRACE(3, "ApSearchWithParams:GetInfo():%d", r);
            return r;
        }
        index = state.dot11Mode_;
    }
    CDevice* d = FindDevice(device);
    if (d == nullptr) {
        VTW_TRACE(3, "ApSearchWithParams:VTWIDWUS_ERROR_CODE_PARAM");
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    if (index < 0) {
        // No usable mode word (not read, or the printer has none): no support-table row.
        VTW_TRACE(3, "ApSearchWithParams:supportApSearchWithParams == "
                     "VTWIDWUS_NOSUCHOBJECT_NOSUCHINSTANCE_INT_VALUE");
        return VTWIDWUS_ERROR_CODE_NOSUCHOBJECT_NOSUCHINSTANCE;
    }
    d->SetUsbTimeout(usbTimeoutMs_);

    d->ClearCancelRequest();
    int r = d->GetApSearchExecuteWithParamsVersion();
    if (d->Cancelled()) {
        VTW_TRACE(2, "ApSearchWithParams:cancel");
        return VTWIDWUS_ERROR_CODE_CANCEL;
    }
    if (r != 0) {
        VTW_TRACE(3, "ApSearchWithParams:GetApSearchExecuteWithParamsVersion():%d", r);
        return UsErr2WusErr(r);
    }
    if (LeadingNumber(d->ApSearchExecuteWithParamsVersion()) < 1) {
        VTW_TRACE(3, "ApSearchWithParams:version");
        return VTWIDWUS_ERROR_CODE_NOT_SUPPORTED;
    }

    d->ClearCancelRequest();
    r = d->UpdateSupportApSearchWithParam(index, paramIndex);
    if (d->Cancelled()) {
        VTW_TRACE(2, "ApSearchWithParams:cancel");
        return VTWIDWUS_ERROR_CODE_CANCEL;
    }
    if (r != 0) {
        VTW_TRACE(3, "ApSearchWithParams:UpdateSupportApSearchWithParams():%d", r);
        return UsErr2WusErr(r);
    }
    if (d->SupportValue() == 0) {
        VTW_TRACE(3, "ApSearchWithParams:supportApSearchWithParam == 0");
        return VTWIDWUS_ERROR_CODE_NOT_SUPPORTED;
    }
    if (d->SupportValue() == VTWIDWUS_NOSUCHOBJECT_NOSUCHINSTANCE_INT_VALUE) {
        VTW_TRACE(3, "ApSearchWithParams:supportApSearchWithParams == "
                     "VTWIDWUS_NOSUCHOBJECT_NOSUCHINSTANCE_INT_VALUE");
        return VTWIDWUS_ERROR_CODE_NOSUCHOBJECT_NOSUCHINSTANCE;
    }

    const int word24 = (paramIndex & kParamsFull24) != 0 ? 1
                       : (paramIndex & kParams24) != 0
                           ? paramInfo.dot11APSearchExecuteParamChannel24ghz_
                           : -1;
    const int word5 = (paramIndex & kParamsFull5) != 0 ? 1
                      : (paramIndex & kParams5) != 0
                          ? paramInfo.dot11APSearchExecuteParamChannel5ghz_
                          : -1;
    std::unique_ptr<CApSearchExecuteWithParam> strategy;
    try {
        strategy = std::make_unique<CApSearchExecuteWithParam>(
            word24, word5,
            (paramIndex & kParamsSsid) != 0 ? BoundedText(paramInfo.dot11APSearchExecuteParamSsid_)
                                            : std::string(),
            (paramIndex & kParamsBssid) != 0
                ? BoundedText(paramInfo.dot11APSearchExecuteParamBssid_)
                : std::string());
    } catch (const std::bad_alloc&) {
        VTW_TRACE(3, "ApSearchWithParam:bad_alloc");
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
    return ApSearchByExecuteType(device, *strategy, waitFlag != 0);
}

int CWrapVtwidusManager::GetApSearchResultInfoListWithoutLock(
    const tagUsbDevice* device, int* oCount, tagUsbSnmpApSearchResultInfo** oInfoList,
    bool clearCancel) {
    *oCount = 0;
    *oInfoList = nullptr;
    std::vector<tagUsbSnmpApSearchResultInfo>().swap(resultBuffer_);
    CDevice* d = FindDevice(device);
    if (d == nullptr) {
        VTW_TRACE(
            3, "GetApSearchResultInfoListWithoutLock:param device:modelName_:%s serialNumber_:%s",
            BoundedText(device->modelName_).c_str(), BoundedText(device->serialNumber_).c_str());
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    d->SetUsbTimeout(usbTimeoutMs_);
    if (clearCancel) {
        d->ClearCancelRequest();
    }
    std::size_t count = 0;
    const int r = d->UpdateApSearchResult(count);
    if (d->Cancelled()) {
        VTW_TRACE(2, "GetApSearchResultInfoListWithoutLock:cancel");
        return VTWIDWUS_ERROR_CODE_CANCEL;
    }
    if (r != 0) {
        VTW_TRACE(3, "GetApSearchResultInfoListWithoutLock:ApSearch():%d", r);
        return UsErr2WusErr(r);
    }
    try {
        resultBuffer_.assign(count, tagUsbSnmpApSearchResultInfo{});
    } catch (const std::bad_alloc&) {
        VTW_TRACE(4, "GetApSearchResultInfoListWithoutLock:bad_alloc");
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
    d->CopyApSearchResults(resultBuffer_.data(), count);
    *oCount = static_cast<int>(count);
    *oInfoList = count == 0 ? nullptr : resultBuffer_.data();
    return VTWIDWUS_ERROR_CODE_SUCCESS;
}

int CWrapVtwidusManager::GetApSearchResultInfoList(const tagUsbDevice* device, int* oCount,
                                                   tagUsbSnmpApSearchResultInfo** oInfoList) {
    *oCount = 0;
    *oInfoList = nullptr;
    const Lock lock(deviceLock_.get());
    return GetApSearchResultInfoListWithoutLock(device, oCount, oInfoList, true);
}

int CWrapVtwidusManager::Cancel(const tagUsbDevice* device, int setting) {
    if (setting != VTWIDWUS_CANCEL_SETTING_DEVICE) {
        VTW_TRACE(3, "Cancel:param device:%lu setting:%d", TraceHandle(device), setting);
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    const Lock lock(cancelLock_.get());
    CDevice* d = FindDevice(device);
    if (d == nullptr) {
        return VTWIDWUS_ERROR_CODE_PARAM;
    }
    d->RequestCancel();
    return VTWIDWUS_ERROR_CODE_SUCCESS;
}

} // namespace vtwidwus
