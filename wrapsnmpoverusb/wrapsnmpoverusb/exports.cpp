// The twelve exports of vtwidwus.dll: argument checks, entry and exit traces, and the instance.
// Nothing thrown leaves an export.
#include "trace.h"
#include "wrapvtwidusmanager.h"

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>

#include <new>

using vtwidwus::BoundedText;
using vtwidwus::CWrapVtwidusManager;
using vtwidwus::TraceHandle;

namespace {

CWrapVtwidusManager* Manager(VTWIDWUS_INSTANCE instance) noexcept {
    return static_cast<CWrapVtwidusManager*>(instance);
}

// Every export with a device traces it before it works (texts bounded by their fields).
#define VTW_TRACE_DEVICE(NAME, device)                                                             \
    VTW_TRACE(0, NAME ":device:modelName_:%s serialNumber_:%s",                                    \
              BoundedText((device)->modelName_).c_str(),                                           \
              BoundedText((device)->serialNumber_).c_str())

// One line per returned result row.
#define VTW_TRACE_ROWS(NAME, count, rows)                                                          \
    for (int vtwRow_ = 0; (rows) != nullptr && vtwRow_ < (count); ++vtwRow_) {                     \
        const tagUsbSnmpApSearchResultInfo& r_ = (rows)[vtwRow_];                                  \
        VTW_TRACE(0,                                                                               \
                  NAME ":oInfoList tagUsbSnmpApSearchResultInfo:index:%d "                         \
                       "dot11APSearchResultSsid_:%s dot11APSearchResultBssid_:%s "                 \
                       "dot11APSearchResultPhyType_:%d dot11APSearchResultChannel_:%d "            \
                       "dot11APSearchResultAuthentication_:%d "                                    \
                       "dot11APSearchResultEncryption_:%d dot11APSearchResultSignalLevel_:%d",     \
                  vtwRow_, BoundedText(r_.dot11APSearchResultSsid_).c_str(),                       \
                  BoundedText(r_.dot11APSearchResultBssid_).c_str(),                               \
                  r_.dot11APSearchResultPhyType_, r_.dot11APSearchResultChannel_,                  \
                  r_.dot11APSearchResultAuthentication_, r_.dot11APSearchResultEncryption_,        \
                  r_.dot11APSearchResultSignalLevel_);                                             \
    }

// Runs an export's work; anything thrown becomes VTWIDWUS_ERROR_CODE_FAILED (the locks are
// released by their guards on the way out).
template <typename Work> int Guarded(Work work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        VTW_TRACE(4, "bad_alloc");
        return VTWIDWUS_ERROR_CODE_FAILED;
    } catch (...) {
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
}

// The two access-point searches that return rows differ only in their name and settle wait.
#define VTW_AP_SEARCH_EXPORT_BODY(NAME, waitFlag)                                                  \
    VTW_TRACE(0, NAME ":in instance:%lu device:%lu ssidStr:%lu oCount:%lu oInfoList:%lu",          \
              TraceHandle(instance), TraceHandle(device), TraceHandle(ssidStr),                    \
              TraceHandle(oCount), TraceHandle(oInfoList));                                        \
    int result = VTWIDWUS_ERROR_CODE_PARAM;                                                        \
    if (instance == nullptr || device == nullptr || oCount == nullptr || oInfoList == nullptr) {   \
        VTW_TRACE(2, NAME ":in instance:%lu device:%lu ssid:%lu oCount:%lu oInfoList:%lu",         \
                  TraceHandle(instance), TraceHandle(device), TraceHandle(ssidStr),                \
                  TraceHandle(oCount), TraceHandle(oInfoList));                                    \
        VTW_TRACE(0, NAME ":out:%d", result);                                                      \
        return result;                                                                             \
    }                                                                                              \
    *oCount = 0;                                                                                   \
    *oInfoList = nullptr;                                                                          \
    result = Guarded([&] {                                                                         \
        VTW_TRACE_DEVICE(NAME, device);                                                            \
        if (ssidStr != nullptr) {                                                                  \
            VTW_TRACE(0, NAME ":device:ssid:%s", BoundedText(ssidStr, kSsidArgChars).c_str());     \
        } else {                                                                                   \
            VTW_TRACE(0, NAME ":device:ssid:NULL");                                                \
        }                                                                                          \
        const int r = Manager(instance)->ApSearch(device, ssidStr, waitFlag, oCount, oInfoList);   \
        VTW_TRACE(0, NAME ":ApSearch() oCount:%d oInfoList:%lu", *oCount,                          \
                  TraceHandle(*oInfoList));                                                        \
        VTW_TRACE_ROWS(NAME, *oCount, *oInfoList);                                                 \
        return r;                                                                                  \
    });                                                                                            \
    VTW_TRACE(0, NAME ":out:%d", result);                                                          \
    return result

// A network name argument is read no further than a name can be, plus one.
constexpr std::size_t kSsidArgChars = 33;

} // namespace

extern "C" {

VTWIDWUS_INSTANCE WINAPI VTWIDWUS_CreateInstance(void) noexcept {
    VTW_TRACE(0, "VTWIDWUS_CreateInstance:in");
    CWrapVtwidusManager* instance = nullptr;
    try {
        instance = new CWrapVtwidusManager();
    } catch (...) {
        VTW_TRACE(4, "VTWIDWUS_CreateInstance:bad_alloc");
    }
    VTW_TRACE(0, "VTWIDWUS_CreateInstance:out:%lu", TraceHandle(instance));
    return instance;
}

void WINAPI VTWIDWUS_DestroyInstance(VTWIDWUS_INSTANCE instance) noexcept {
    VTW_TRACE(0, "VTWIDWUS_DestroyInstance:in instance:%lu", TraceHandle(instance));
    if (instance == nullptr) {
        VTW_TRACE(2, "VTWIDWUS_DestroyInstance:param instance:%lu", TraceHandle(instance));
    } else {
        delete Manager(instance);
    }
    VTW_TRACE(0, "VTWIDWUS_DestroyInstance:out");
}

int WINAPI VTWIDWUS_Search(VTWIDWUS_INSTANCE instance, int* oCount,
                           tagUsbDevice** oInfoList) noexcept {
    VTW_TRACE(0, "VTWIDWUS_Search:in instance:%lu oCount:%lu oInfoList:%lu", TraceHandle(instance),
              TraceHandle(oCount), TraceHandle(oInfoList));
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr || oCount == nullptr || oInfoList == nullptr) {
        VTW_TRACE(3, "VTWIDWUS_Search:in instance:%lu oCount:%lu oInfoList:%lu",
                  TraceHandle(instance), TraceHandle(oCount), TraceHandle(oInfoList));
        VTW_TRACE(0, "VTWIDWUS_Search:out:%d", result);
        return result;
    }
    *oCount = 0;
    *oInfoList = nullptr;
    result = Guarded([&] {
        const int r = Manager(instance)->Search(oCount, oInfoList);
        VTW_TRACE(0, "VTWIDWUS_Search:Search() oCount:%d oInfoList:%lu", *oCount,
                  TraceHandle(*oInfoList));
        for (int i = 0; *oInfoList != nullptr && i < *oCount; ++i) {
            VTW_TRACE(0,
                      "VTWIDWUS_Search:oInfoList tagUsbDevice:index:%d modelName_:%s "
                      "serialNumber_:%s",
                      i, BoundedText((*oInfoList)[i].modelName_).c_str(),
                      BoundedText((*oInfoList)[i].serialNumber_).c_str());
        }
        return r;
    });
    VTW_TRACE(0, "VTWIDWUS_Search:out:%d", result);
    return result;
}

int WINAPI VTWIDWUS_SetTimeout(VTWIDWUS_INSTANCE instance, int setting, int timeoutMs) noexcept {
    VTW_TRACE(0, "VTWIDWUS_SetTimeout:in instance:%lu setting:%d timeoutMs:%d",
              TraceHandle(instance), setting, timeoutMs);
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr) {
        VTW_TRACE(3, "VTWIDWUS_SetTimeout:in instance:%lu setting:%d timeoutMs:%d",
                  TraceHandle(instance), setting, timeoutMs);
    } else {
        result = Guarded([&] { return Manager(instance)->SetTimeout(setting, timeoutMs); });
    }
    VTW_TRACE(0, "VTWIDWUS_SetTimeout:out:%d", result);
    return result;
}

int WINAPI VTWIDWUS_GetInfo(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device, int infoType,
                            void* oInfo) noexcept {
    VTW_TRACE(0, "VTWIDWUS_GetInfo:in instance:%lu device:%lu infoType:%d oInfo:%lu",
              TraceHandle(instance), TraceHandle(device), infoType, TraceHandle(oInfo));
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr || device == nullptr || oInfo == nullptr) {
        VTW_TRACE(3, "VTWIDWUS_GetInfo:in instance:%lu device:%lu infoType:%d oInfo:%lu",
                  TraceHandle(instance), TraceHandle(device), infoType, TraceHandle(oInfo));
    } else {
        result = Guarded([&] {
            VTW_TRACE_DEVICE("VTWIDWUS_GetInfo", device);
            return Manager(instance)->GetInfo(device, infoType, oInfo);
        });
    }
    VTW_TRACE(0, "VTWIDWUS_GetInfo:out:%d", result);
    return result;
}

int WINAPI VTWIDWUS_SetInfo(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device, int infoType,
                            const void* iInfo) noexcept {
    VTW_TRACE(0, "VTWIDWUS_SetInfo:in instance:%lu device:%lu infoType:%d iInfo:%lu",
              TraceHandle(instance), TraceHandle(device), infoType, TraceHandle(iInfo));
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr || device == nullptr || iInfo == nullptr) {
        VTW_TRACE(2, "VTWIDWUS_SetInfo:in instance:%lu device:%lu infoType:%d iInfo:%lu",
                  TraceHandle(instance), TraceHandle(device), infoType, TraceHandle(iInfo));
    } else {
        result = Guarded([&] {
            VTW_TRACE_DEVICE("VTWIDWUS_SetInfo", device);
            return Manager(instance)->SetInfo(device, infoType, iInfo);
        });
    }
    VTW_TRACE(0, "VTWIDWUS_SetInfo:out:%d", result);
    return result;
}

int WINAPI VTWIDWUS_SetInfoAndWaitChangeDot11Mode(VTWIDWUS_INSTANCE instance,
                                                  const tagUsbDevice* device, int infoType,
                                                  const void* iInfo) noexcept {
    VTW_TRACE(0,
              "VTWIDWUS_SetInfoAndWaitChangeDot11Mode:in instance:%lu device:%lu infoType:%d "
              "iInfo:%lu",
              TraceHandle(instance), TraceHandle(device), infoType, TraceHandle(iInfo));
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr || device == nullptr || iInfo == nullptr) {
        VTW_TRACE(2,
                  "VTWIDWUS_SetInfoAndWaitChangeDot11Mode:in instance:%lu device:%lu "
                  "infoType:%d iInfo:%lu",
                  TraceHandle(instance), TraceHandle(device), infoType, TraceHandle(iInfo));
    } else {
        result = Guarded([&] {
            VTW_TRACE_DEVICE("VTWIDWUS_SetInfoAndWaitChangeDot11Mode", device);
            return Manager(instance)->SetInfoAndWaitChangeDot11Mode(device, infoType, iInfo);
        });
    }
    VTW_TRACE(0, "VTWIDWUS_SetInfoAndWaitChangeDot11Mode:out:%d", result);
    return result;
}

int WINAPI VTWIDWUS_ApSearch(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device,
                             const char* ssidStr, int* oCount,
                             tagUsbSnmpApSearchResultInfo** oInfoList) noexcept {
    VTW_AP_SEARCH_EXPORT_BODY("VTWIDWUS_ApSearch", false);
}

int WINAPI VTWIDWUS_ApSearchAndWait(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device,
                                    const char* ssidStr, int* oCount,
                                    tagUsbSnmpApSearchResultInfo** oInfoList) noexcept {
    VTW_AP_SEARCH_EXPORT_BODY("VTWIDWUS_ApSearchAndWait", true);
}

int WINAPI VTWIDWUS_ApSearchExecuteWithParams(VTWIDWUS_INSTANCE instance,
                                              const tagUsbDevice* device, int paramIndex,
                                              tagUsbSnmpApSearchExecuteParamInfo* paramInfo,
                                              int waitFlag) noexcept {
    VTW_TRACE(0,
              "VTWIDWUS_ApSearchExecuteWithParams:in instance:%lu device:%lu paramIndex:%d "
              "paramInfo:%lu",
              TraceHandle(instance), TraceHandle(device), paramIndex, TraceHandle(paramInfo));
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr || device == nullptr || paramInfo == nullptr) {
        VTW_TRACE(2,
                  "VTWIDWUS_ApSearchExecuteWithParams:in instance:%lu device:%lu paramIndex:%d "
                  "paramInfo:%lu",
                  TraceHandle(instance), TraceHandle(device), paramIndex, TraceHandle(paramInfo));
    } else {
        result = Guarded([&] {
            VTW_TRACE_DEVICE("VTWIDWUS_ApSearchExecuteWithParams", device);
            const int flags = vtwidwus::NormaliseParamIndex(paramIndex, *paramInfo);
            return Manager(instance)->ApSearchExecuteWithParams(device, flags, *paramInfo,
                                                                waitFlag);
        });
    }
    VTW_TRACE(0, "VTWIDWUS_ApSearchExecuteWithParams:out:%d", result);
    return result;
}

int WINAPI VTWIDWUS_GetApSearchResultInfoList(VTWIDWUS_INSTANCE instance,
                                              const tagUsbDevice* device, int* oCount,
                                              tagUsbSnmpApSearchResultInfo** oInfoList) noexcept {
    VTW_TRACE(0,
              "VTWIDWUS_GetApSearchResultInfoList:in instance:%lu device:%lu oCount:%lu "
              "oInfoList:%lu",
              TraceHandle(instance), TraceHandle(device), TraceHandle(oCount),
              TraceHandle(oInfoList));
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr || device == nullptr || oCount == nullptr || oInfoList == nullptr) {
        VTW_TRACE(2,
                  "VTWIDWUS_GetApSearchResultInfoList:in instance:%lu device:%lu oCount:%lu "
                  "oInfoList:%lu",
                  TraceHandle(instance), TraceHandle(device), TraceHandle(oCount),
                  TraceHandle(oInfoList));
        VTW_TRACE(0, "VTWIDWUS_GetApSearchResultInfoList:out:%d", result);
        return result;
    }
    *oCount = 0;
    *oInfoList = nullptr;
    result = Guarded([&] {
        VTW_TRACE_DEVICE("VTWIDWUS_GetApSearchResultInfoList", device);
        const int r = Manager(instance)->GetApSearchResultInfoList(device, oCount, oInfoList);
        VTW_TRACE(0,
                  "VTWIDWUS_GetApSearchResultInfoList:GetApSearchResultInfoList() oCount:%d "
                  "oInfoList:%lu",
                  *oCount, TraceHandle(*oInfoList));
        VTW_TRACE_ROWS("VTWIDWUS_GetApSearchResultInfoList", *oCount, *oInfoList);
        return r;
    });
    VTW_TRACE(0, "VTWIDWUS_GetApSearchResultInfoList:out:%d", result);
    return result;
}

int WINAPI VTWIDWUS_Cancel(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device,
                           int setting) noexcept {
    VTW_TRACE(0, "VTWIDWUS_Cancel:in instance:%lu device:%lu setting:%d", TraceHandle(instance),
              TraceHandle(device), setting);
    int result = VTWIDWUS_ERROR_CODE_PARAM;
    if (instance == nullptr || device == nullptr) {
        VTW_TRACE(2, "VTWIDWUS_Cancel:in instance:%lu device:%lu setting:%d", TraceHandle(instance),
                  TraceHandle(device), setting);
    } else {
        result = Guarded([&] {
            VTW_TRACE_DEVICE("VTWIDWUS_Cancel", device);
            return Manager(instance)->Cancel(device, setting);
        });
    }
    VTW_TRACE(0, "VTWIDWUS_Cancel:out:%d", result);
    return result;
}

} // extern "C"
