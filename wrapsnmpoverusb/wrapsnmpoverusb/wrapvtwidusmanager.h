// The instance behind a vtwidwus instance handle: the devices of the last search, the buffers
// that the exports hand out, the time limits and the two locks.
#pragma once

#include <win/unique_any.h>
#include "device.h"

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>

#include <memory>
#include <vector>

namespace vtwidwus {

class CWrapVtwidusManager {
public:
    CWrapVtwidusManager() = default;
    CWrapVtwidusManager(const CWrapVtwidusManager&) = delete;
    CWrapVtwidusManager& operator=(const CWrapVtwidusManager&) = delete;

    // The operations behind the exports, after their null checks; results are export codes.
    // Lists are set to 0 and null before any work.
    int Search(int* oCount, tagUsbDevice** oInfoList);
    int SetTimeout(int setting, int timeoutMs);
    int GetInfo(const tagUsbDevice* device, int infoType, void* oInfo);
    int SetInfo(const tagUsbDevice* device, int infoType, const void* iInfo);
    int SetInfoAndWaitChangeDot11Mode(const tagUsbDevice* device, int infoType, const void* iInfo);
    // ssid null: a plain search; else a search for that network name.
    int ApSearch(const tagUsbDevice* device, const char* ssid, bool waitFlag, int* oCount,
                 tagUsbSnmpApSearchResultInfo** oInfoList);
    // paramIndex already normalised (NormaliseParamIndex).
    int ApSearchExecuteWithParams(const tagUsbDevice* device, int paramIndex,
                                  const tagUsbSnmpApSearchExecuteParamInfo& paramInfo,
                                  int waitFlag);
    int GetApSearchResultInfoList(const tagUsbDevice* device, int* oCount,
                                  tagUsbSnmpApSearchResultInfo** oInfoList);
    int Cancel(const tagUsbDevice* device, int setting);

    // The time limits, in milliseconds.
    int UsbTimeoutMs() const noexcept { return usbTimeoutMs_; }
    int ApSearchLimitMs() const noexcept { return apSearchLimitMs_; }

private:
    CDevice* FindDevice(const tagUsbDevice* device) const;
    int GetInfoWithoutLock(const tagUsbDevice* device, int infoType, void* oInfo);
    int ApSearchByExecuteType(const tagUsbDevice* device, IApSearchExecute& strategy,
                              bool waitFlag);
    int GetApSearchResultInfoListWithoutLock(const tagUsbDevice* device, int* oCount,
                                             tagUsbSnmpApSearchResultInfo** oInfoList,
                                             bool clearCancel);
    void FreeDevices();

    std::vector<std::unique_ptr<CDevice>> devices_;
    std::vector<tagUsbDevice> deviceBuffer_;
    std::vector<tagUsbSnmpApSearchResultInfo> resultBuffer_;
    int usbTimeoutMs_ = 1000;
    int apSearchLimitMs_ = 35000;
    int dot11ModeWaitMs_ = 30000;
    int settleWaitMs_ = 15000;
    mutable qelwin::critical_section deviceLock_;
    mutable qelwin::critical_section cancelLock_;
};

// The flag set of a search with parameters as the printer's support table names it: full-scan
// bits added for bitmaps with bit 0, a bitmap of exactly 1 dropped (traced).
int NormaliseParamIndex(int paramIndex, const tagUsbSnmpApSearchExecuteParamInfo& paramInfo);

} // namespace vtwidwus
