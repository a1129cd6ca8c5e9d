/*
 * vtwidwus: the USB management-protocol wrapper.
 *
 * Reads and writes the network settings of USB-connected printers and runs their access-point
 * searches as SNMP exchanges over USB. vtwidwus.dll exports twelve plain functions by these
 * undecorated names; a loader binds them with GetProcAddress and types them with the
 * PFN_VTWIDWUS_ typedefs below (or decltype(&VTWIDWUS_...)).
 *
 * Records that cross the boundary are byte layouts with 4-byte aligned ints; text is narrow
 * (ANSI code page) and NUL-terminated. Lists returned through an oInfoList argument belong to
 * the instance: the device list stays valid until the next VTWIDWUS_Search or
 * VTWIDWUS_DestroyInstance, the access-point rows until the next call that reads rows
 * (VTWIDWUS_ApSearch, VTWIDWUS_ApSearchAndWait, VTWIDWUS_GetApSearchResultInfoList) or
 * VTWIDWUS_DestroyInstance. The caller never frees them.
 */
#ifndef IWRAPSNMPOVERUSB_IWRAPSNMPOVERUSB_H
#define IWRAPSNMPOVERUSB_IWRAPSNMPOVERUSB_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Result codes (0 success, failures negative) ---------------------------------------- */
#define VTWIDWUS_ERROR_CODE_SUCCESS 0
#define VTWIDWUS_ERROR_CODE_CANCEL (-1)     /* cancelled through VTWIDWUS_Cancel */
#define VTWIDWUS_ERROR_CODE_PARAM (-2)      /* bad argument, unknown device, setting or type */
#define VTWIDWUS_ERROR_CODE_FAILED (-3)     /* memory exhausted or an unmapped failure */
#define VTWIDWUS_ERROR_CODE_NOT_LOADED (-4) /* the packet library is not loaded */
#define VTWIDWUS_ERROR_CODE_DEVICE (-5)
#define VTWIDWUS_ERROR_CODE_COMM_TIMEOUT (-6)
#define VTWIDWUS_ERROR_CODE_ERROR_STATUS (-8) /* SNMP error status, or nothing decodable */
#define VTWIDWUS_ERROR_CODE_APSEARCH_TIMEOUT (-9)
#define VTWIDWUS_ERROR_CODE_CONNECTION (-10)
#define VTWIDWUS_ERROR_CODE_NOCONTENT (-11)
#define VTWIDWUS_ERROR_CODE_CHANGE_DOT11MODE_TIMEOUT (-12)
#define VTWIDWUS_ERROR_CODE_NOT_SUPPORTED (-13)               /* no search with these parameters */
#define VTWIDWUS_ERROR_CODE_NOSUCHOBJECT_NOSUCHINSTANCE (-14) /* no support-table row */

/* The int that a decoded value holds when the printer has no such object or instance. */
#define VTWIDWUS_NOSUCHOBJECT_NOSUCHINSTANCE_INT_VALUE (-3)

/* ---- Information types (infoType) -------------------------------------------------------- */
#define VTWIDWUS_INFO_TYPE_STATE 1              /* tagUsbSnmpStateInfo */
#define VTWIDWUS_INFO_TYPE_WIRED 2              /* tagUsbSnmpWiredInfo */
#define VTWIDWUS_INFO_TYPE_INFRA 3              /* tagUsbSnmpInfraInfo */
#define VTWIDWUS_INFO_TYPE_DIRECT 4             /* tagUsbSnmpDirectInfo */
#define VTWIDWUS_INFO_TYPE_USER_INFO_STRING 5   /* tagUsbSnmpUserInfoStringInfo */
#define VTWIDWUS_INFO_TYPE_INFRA_SUPPORT_AUTH 6 /* tagUsbSnmpInfraSupportAuthInfo */

/* ---- Settings of VTWIDWUS_SetTimeout and VTWIDWUS_Cancel ---------------------------------- */
#define VTWIDWUS_TIMEOUT_SETTING_USB_COMM 1 /* USB exchange time-out, ms (default 1000) */
#define VTWIDWUS_TIMEOUT_SETTING_APSEARCH 2 /* access-point search limit, ms (default 35000) */
#define VTWIDWUS_CANCEL_SETTING_DEVICE 1    /* cancel the operation running on the device */

/* ---- Flags of VTWIDWUS_ApSearchExecuteWithParams (paramIndex) ---------------------------- */
#define VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL24_FULL 0x02 /* set by the library */
#define VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL24 0x04      /* 2.4 GHz bitmap given */
#define VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL5_FULL 0x08  /* set by the library */
#define VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_CHANNEL5 0x10       /* 5 GHz bitmap given */
#define VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_SSID 0x20           /* network name given */
#define VTWIDWUS_APSEARCHWITHPARAMS_SETFLAG_BSSID 0x40          /* station address given */

/* ---- Records ----------------------------------------------------------------------------- */
typedef void* VTWIDWUS_INSTANCE; /* handle made by VTWIDWUS_CreateInstance */

/* One USB printer. As an argument only serialNumber_ counts (exact text). */
typedef struct tagUsbDevice {
    char modelName_[256];   /* as the packet library reports it */
    char serialNumber_[65]; /* as the printer reports it, at most 64 characters */
} tagUsbDevice;

/* One access point found by the printer. */
typedef struct tagUsbSnmpApSearchResultInfo {
    char dot11APSearchResultSsid_[33];  /* network name, up to 32 characters */
    char dot11APSearchResultBssid_[13]; /* station address, lowercase hex, two digits a byte */
    int dot11APSearchResultPhyType_;
    int dot11APSearchResultChannel_;
    int dot11APSearchResultAuthentication_;
    int dot11APSearchResultEncryption_;
    int dot11APSearchResultSignalLevel_;
} tagUsbSnmpApSearchResultInfo;

/* Parameters of VTWIDWUS_ApSearchExecuteWithParams. */
typedef struct tagUsbSnmpApSearchExecuteParamInfo {
    int dot11APSearchExecuteParamChannel24ghz_; /* channel bitmap; bit 0 set: full scan */
    int dot11APSearchExecuteParamChannel5ghz_;  /* channel bitmap; bit 0 set: full scan */
    char dot11APSearchExecuteParamSsid_[33];
    char dot11APSearchExecuteParamBssid_[13];
    int dot11APSearchExecuteParamdot11Mode; /* support-table index; 0: current dot11 mode */
} tagUsbSnmpApSearchExecuteParamInfo;

/* VTWIDWUS_INFO_TYPE_STATE. Only networkSelect_ and dot11Mode_ are written by a SET. */
typedef struct tagUsbSnmpStateInfo {
    int networkState_;  /* .1.3.1.10.0 */
    int networkSelect_; /* .1.3.1.11.0 */
    int dot11State_;    /* .1.3.2.100.1.0 */
    int dot11Mode_;     /* .1.3.2.100.2.0, the dot11 mode word */
} tagUsbSnmpStateInfo;

/* IPv4 and IPv6 settings of one interface (wired and infrastructure records). */
#define VTWIDWUS_IPV4_TEXT_SIZE 16
#define VTWIDWUS_IPV6_TEXT_SIZE 46

/* VTWIDWUS_INFO_TYPE_WIRED (interface row 2). */
typedef struct tagUsbSnmpWiredInfo {
    int networkSelect_;                                /* .1.3.1.11.0 */
    int ipv4AddressMethod_;                            /* if column 10.3 */
    char ipv4Address_[VTWIDWUS_IPV4_TEXT_SIZE];        /* 10.4 */
    char ipv4SubnetMask_[VTWIDWUS_IPV4_TEXT_SIZE];     /* 10.5 */
    char ipv4DefaultGateway_[VTWIDWUS_IPV4_TEXT_SIZE]; /* 10.6 */
    int ipv6Enable_;                                   /* 20.2 */
    int ipv6StatelessAddress_;                         /* 20.3 */
    int ipv6StatefulAddress_;                          /* 20.4 */
    int ipv6ManualAddress_;                            /* 20.5 */
    char ipv6Address_[VTWIDWUS_IPV6_TEXT_SIZE];        /* 20.27 */
    int ipv6PrefixLength_;                             /* 20.28 */
    char ipv6DefaultGateway_[VTWIDWUS_IPV6_TEXT_SIZE]; /* 20.29 */
    int ipv6GatewayPrefixLength_;                      /* 20.30 */
} tagUsbSnmpWiredInfo;

/* VTWIDWUS_INFO_TYPE_INFRA (interface row 3): the wireless infrastructure settings. */
typedef struct tagUsbSnmpInfraInfo {
    int networkSelect_;                                /* .1.3.1.11.0 */
    int dot11Mode_;                                    /* .1.3.2.100.2.0 */
    int ipv4AddressMethod_;                            /* if column 10.3 */
    char ipv4Address_[VTWIDWUS_IPV4_TEXT_SIZE];        /* 10.4 */
    char ipv4SubnetMask_[VTWIDWUS_IPV4_TEXT_SIZE];     /* 10.5 */
    char ipv4DefaultGateway_[VTWIDWUS_IPV4_TEXT_SIZE]; /* 10.6 */
    int ipv6Enable_;                                   /* 20.2 */
    int ipv6StatelessAddress_;                         /* 20.3 */
    int ipv6StatefulAddress_;                          /* 20.4 */
    int ipv6ManualAddress_;                            /* 20.5 */
    char ipv6Address_[VTWIDWUS_IPV6_TEXT_SIZE];        /* 20.27 */
    int ipv6PrefixLength_;                             /* 20.28 */
    char ipv6DefaultGateway_[VTWIDWUS_IPV6_TEXT_SIZE]; /* 20.29 */
    int ipv6GatewayPrefixLength_;                      /* 20.30 */
    int band_;            /* .1.3.2.100.10.1.0: bit value 2 is 2.4 GHz, 4 is 5 GHz; read only */
    char ssid_[33];       /* .1.3.2.100.10.3.0 */
    int authentication_;  /* .1.3.2.100.10.6.0 */
    int encryption_;      /* .1.3.2.100.10.7.0 */
    int wepKeyIndex_;     /* .1.3.2.100.10.100.0, write only */
    int wepKeyFormat_;    /* .1.3.2.100.10.101.0, write only */
    char wepKey1_[27];    /* .1.3.2.100.10.102.0, write only */
    char wepKey2_[27];    /* .1.3.2.100.10.103.0, write only */
    char wepKey3_[27];    /* .1.3.2.100.10.104.0, write only */
    char wepKey4_[27];    /* .1.3.2.100.10.105.0, write only */
    char networkKey_[65]; /* .1.3.2.100.10.110.0, write only */
    int channel_;         /* .1.3.2.100.10.5.0, sent with every SET */
} tagUsbSnmpInfraInfo;

/* VTWIDWUS_INFO_TYPE_DIRECT: direct (access-point) mode. */
typedef struct tagUsbSnmpDirectInfo {
    int networkSelect_;        /* .1.3.1.11.0 */
    int dot11Mode_;            /* .1.3.2.100.2.0 */
    int dot11State_;           /* .1.3.2.100.1.0, read only */
    char directSsid_[33];      /* .1.3.2.100.11.3.0, read only */
    int directAuthentication_; /* .1.3.2.100.11.6.0, read only */
    int directEncryption_;     /* .1.3.2.100.11.7.0, read only */
    char directKey_[65];       /* .1.3.2.100.11.110.0, read only */
    char groupSsid_[33];       /* .1.3.2.100.13.3.0, read only */
    char groupKey_[65];        /* .1.3.2.100.13.110.0, read only */
} tagUsbSnmpDirectInfo;

/* VTWIDWUS_INFO_TYPE_USER_INFO_STRING: two user texts. */
typedef struct tagUsbSnmpUserInfoStringInfo {
    char userInfoString1_[65]; /* .1.2.2.4.0 */
    char userInfoString2_[16]; /* .1.2.2.5.0 */
} tagUsbSnmpUserInfoStringInfo;

/* VTWIDWUS_INFO_TYPE_INFRA_SUPPORT_AUTH: read only. */
typedef struct tagUsbSnmpInfraSupportAuthInfo {
    int supportAuthentication_; /* .1.3.2.100.10.11.0 */
} tagUsbSnmpInfraSupportAuthInfo;

/* ---- Exports ----------------------------------------------------------------------------- */
/* Exported through the library's module-definition file; declared here for the types only. */
#define VTWIDWUS_API
/* Nothing thrown inside the library leaves an export; C++ callers see that in the types. */
#ifdef __cplusplus
#define VTWIDWUS_NOEXCEPT noexcept
#else
#define VTWIDWUS_NOEXCEPT
#endif

VTWIDWUS_API VTWIDWUS_INSTANCE WINAPI VTWIDWUS_CreateInstance(void) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API void WINAPI VTWIDWUS_DestroyInstance(VTWIDWUS_INSTANCE instance) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_Search(VTWIDWUS_INSTANCE instance, int* oCount,
                                        tagUsbDevice** oInfoList) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_SetTimeout(VTWIDWUS_INSTANCE instance, int setting,
                                            int timeoutMs) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_GetInfo(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device,
                                         int infoType, void* oInfo) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_SetInfo(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device,
                                         int infoType, const void* iInfo) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_SetInfoAndWaitChangeDot11Mode(VTWIDWUS_INSTANCE instance,
                                                               const tagUsbDevice* device,
                                                               int infoType,
                                                               const void* iInfo) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI
VTWIDWUS_ApSearch(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device, const char* ssidStr,
                  int* oCount, tagUsbSnmpApSearchResultInfo** oInfoList) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_ApSearchAndWait(
    VTWIDWUS_INSTANCE instance, const tagUsbDevice* device, const char* ssidStr, int* oCount,
    tagUsbSnmpApSearchResultInfo** oInfoList) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_ApSearchExecuteWithParams(
    VTWIDWUS_INSTANCE instance, const tagUsbDevice* device, int paramIndex,
    tagUsbSnmpApSearchExecuteParamInfo* paramInfo, int waitFlag) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_GetApSearchResultInfoList(
    VTWIDWUS_INSTANCE instance, const tagUsbDevice* device, int* oCount,
    tagUsbSnmpApSearchResultInfo** oInfoList) VTWIDWUS_NOEXCEPT;
VTWIDWUS_API int WINAPI VTWIDWUS_Cancel(VTWIDWUS_INSTANCE instance, const tagUsbDevice* device,
                                        int setting) VTWIDWUS_NOEXCEPT;

typedef VTWIDWUS_INSTANCE(WINAPI* PFN_VTWIDWUS_CreateInstance)(void);
typedef void(WINAPI* PFN_VTWIDWUS_DestroyInstance)(VTWIDWUS_INSTANCE);
typedef int(WINAPI* PFN_VTWIDWUS_Search)(VTWIDWUS_INSTANCE, int*, tagUsbDevice**);
typedef int(WINAPI* PFN_VTWIDWUS_SetTimeout)(VTWIDWUS_INSTANCE, int, int);
typedef int(WINAPI* PFN_VTWIDWUS_GetInfo)(VTWIDWUS_INSTANCE, const tagUsbDevice*, int, void*);
typedef int(WINAPI* PFN_VTWIDWUS_SetInfo)(VTWIDWUS_INSTANCE, const tagUsbDevice*, int, const void*);
typedef int(WINAPI* PFN_VTWIDWUS_SetInfoAndWaitChangeDot11Mode)(VTWIDWUS_INSTANCE,
                                                                const tagUsbDevice*, int,
                                                                const void*);
typedef int(WINAPI* PFN_VTWIDWUS_ApSearch)(VTWIDWUS_INSTANCE, const tagUsbDevice*, const char*,
                                           int*, tagUsbSnmpApSearchResultInfo**);
typedef int(WINAPI* PFN_VTWIDWUS_ApSearchAndWait)(VTWIDWUS_INSTANCE, const tagUsbDevice*,
                                                  const char*, int*,
                                                  tagUsbSnmpApSearchResultInfo**);
typedef int(WINAPI* PFN_VTWIDWUS_ApSearchExecuteWithParams)(VTWIDWUS_INSTANCE, const tagUsbDevice*,
                                                            int,
                                                            tagUsbSnmpApSearchExecuteParamInfo*,
                                                            int);
typedef int(WINAPI* PFN_VTWIDWUS_GetApSearchResultInfoList)(VTWIDWUS_INSTANCE, const tagUsbDevice*,
                                                            int*, tagUsbSnmpApSearchResultInfo**);
typedef int(WINAPI* PFN_VTWIDWUS_Cancel)(VTWIDWUS_INSTANCE, const tagUsbDevice*, int);

#ifdef __cplusplus
} /* extern "C" */

/* ---- Layout checks ----------------------------------------------------------------------- */
#define VTWIDWUS_CHECK_FIELD(rec, field, off) static_assert(offsetof(rec, field) == (off), #rec)

static_assert(sizeof(tagUsbDevice) == 321, "tagUsbDevice");
VTWIDWUS_CHECK_FIELD(tagUsbDevice, serialNumber_, 256);

static_assert(sizeof(tagUsbSnmpApSearchResultInfo) == 68, "tagUsbSnmpApSearchResultInfo");
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchResultInfo, dot11APSearchResultBssid_, 33);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchResultInfo, dot11APSearchResultPhyType_, 48);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchResultInfo, dot11APSearchResultChannel_, 52);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchResultInfo, dot11APSearchResultAuthentication_, 56);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchResultInfo, dot11APSearchResultEncryption_, 60);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchResultInfo, dot11APSearchResultSignalLevel_, 64);

static_assert(sizeof(tagUsbSnmpApSearchExecuteParamInfo) == 60, "param info");
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchExecuteParamInfo, dot11APSearchExecuteParamChannel5ghz_, 4);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchExecuteParamInfo, dot11APSearchExecuteParamSsid_, 8);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchExecuteParamInfo, dot11APSearchExecuteParamBssid_, 41);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpApSearchExecuteParamInfo, dot11APSearchExecuteParamdot11Mode, 56);

static_assert(sizeof(tagUsbSnmpStateInfo) == 16, "tagUsbSnmpStateInfo");
VTWIDWUS_CHECK_FIELD(tagUsbSnmpStateInfo, networkSelect_, 4);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpStateInfo, dot11State_, 8);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpStateInfo, dot11Mode_, 12);

static_assert(sizeof(tagUsbSnmpWiredInfo) == 176, "tagUsbSnmpWiredInfo");
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv4AddressMethod_, 4);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv4Address_, 8);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv4SubnetMask_, 24);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv4DefaultGateway_, 40);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6Enable_, 56);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6StatelessAddress_, 60);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6StatefulAddress_, 64);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6ManualAddress_, 68);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6Address_, 72);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6PrefixLength_, 120);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6DefaultGateway_, 124);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpWiredInfo, ipv6GatewayPrefixLength_, 172);

static_assert(sizeof(tagUsbSnmpInfraInfo) == 416, "tagUsbSnmpInfraInfo");
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, dot11Mode_, 4);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv4AddressMethod_, 8);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv4Address_, 12);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv4SubnetMask_, 28);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv4DefaultGateway_, 44);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv6Enable_, 60);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv6ManualAddress_, 72);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv6Address_, 76);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv6PrefixLength_, 124);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv6DefaultGateway_, 128);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ipv6GatewayPrefixLength_, 176);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, band_, 180);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, ssid_, 184);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, authentication_, 220);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, encryption_, 224);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, wepKeyIndex_, 228);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, wepKeyFormat_, 232);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, wepKey1_, 236);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, wepKey2_, 263);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, wepKey3_, 290);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, wepKey4_, 317);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, networkKey_, 344);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpInfraInfo, channel_, 412);

static_assert(sizeof(tagUsbSnmpDirectInfo) == 220, "tagUsbSnmpDirectInfo");
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, dot11Mode_, 4);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, dot11State_, 8);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, directSsid_, 12);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, directAuthentication_, 48);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, directEncryption_, 52);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, directKey_, 56);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, groupSsid_, 121);
VTWIDWUS_CHECK_FIELD(tagUsbSnmpDirectInfo, groupKey_, 154);

static_assert(sizeof(tagUsbSnmpUserInfoStringInfo) == 81, "tagUsbSnmpUserInfoStringInfo");
VTWIDWUS_CHECK_FIELD(tagUsbSnmpUserInfoStringInfo, userInfoString2_, 65);

static_assert(sizeof(tagUsbSnmpInfraSupportAuthInfo) == 4, "tagUsbSnmpInfraSupportAuthInfo");

#undef VTWIDWUS_CHECK_FIELD
#endif /* __cplusplus */

#endif /* IWRAPSNMPOVERUSB_IWRAPSNMPOVERUSB_H */
