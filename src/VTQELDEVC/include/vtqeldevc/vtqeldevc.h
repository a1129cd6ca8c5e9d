/*
 * vtqeldevc: the printer access library.
 *
 * vtqeldevc.dll exports three plain functions (by name; ordinals 1, 2, 3) and hands out one
 * object, VTESDevIF, through which the registration application reaches printers. The
 * application loads the library by full path, binds CreateVTESDev and DeleteVTESDev by name and
 * uses a fresh object for every device operation:
 *     CreateVTESDev -> Initialize -> the operation's slots -> Terminate -> DeleteVTESDev
 * Terminate and DeleteVTESDev run whenever creation succeeded, also after a failed step.
 *
 * The records that cross the boundary are byte layouts (little-endian, every text NUL-terminated
 * within its field, wide text UTF-16); this header checks their sizes and offsets in C and C++.
 * Nothing thrown inside the library crosses an export or a slot: every failure is a result code.
 */
#ifndef VTQELDEVC_VTQELDEVC_H
#define VTQELDEVC_VTQELDEVC_H

#include <stddef.h>
#include <wchar.h>
#include <windows.h>

/* ---- Result codes of the slots (int) ------------------------------------------------------- */
#define VTESDEV_OK 0
#define VTESDEV_FAILED 2             /* a library, port, command, reply, search or write failed */
#define VTESDEV_NULL_ARGUMENT 3      /* a required pointer argument is null */
#define VTESDEV_PORT_FAILED 5        /* the port could not be opened, or an exchange failed */
#define VTESDEV_REFUSED 7            /* the printer refused with a detail no row below covers */
#define VTESDEV_PRINTER_BUSY 8       /* in use by another job, or a printer-ID error */
#define VTESDEV_NO_INTERNET 9        /* no internet, or another connection error */
#define VTESDEV_NO_SERVER 10         /* the server cannot be reached, or the connection timed out */
#define VTESDEV_PRINTER_NOT_READY 11 /* suspended, initialising or shutting down */
#define VTESDEV_AP_SEARCH_FAILED 12  /* the access-point search through the printer failed */
#define VTESDEV_NO_MATCHING_PROFILE 13 /* no saved Wi-Fi profile matches, or no WLAN */

/* ---- Port types (portType arguments) --------------------------------------------------------- */
#define VTESDEV_PORT_PRINTER_NAME 0     /* newer port library; the target is a printer name */
#define VTESDEV_PORT_NETWORK_ADDRESS 1  /* newer port library; the target is a network address */
#define VTESDEV_PORT_USB_PRINTER_NAME 2 /* older port library; the target is a printer name */
#define VTESDEV_PORT_USB_PORT 3         /* older port library; the target is a USB port name */

/* ---- DeviceConnection kinds ------------------------------------------------------------- */
#define VTESDEV_CONNECTION_NETWORK 0
#define VTESDEV_CONNECTION_USB_DEVICE_LIBRARY 1 /* found on USB through vtwiduns */
#define VTESDEV_CONNECTION_USB_WRAPPER 2        /* found on USB through vtwidwus */

/* ---- Version that GetVTESDevVersion reports ------------------------------------------------ */
#define VTESDEV_VERSION_MAJOR 1
#define VTESDEV_VERSION_MINOR 7
#define VTESDEV_VERSION_REVISION 0

/* ---- Records --------------------------------------------------------------------------------- */

/* How a printer was found; only the library interprets it. 534 bytes. */
typedef struct DeviceConnection {
    unsigned char kind;     /* VTESDEV_CONNECTION_ */
    unsigned char reserved; /* zero */
    wchar_t portName[10];   /* USB port name (kinds 1 and 2) */
    char deviceKey[256];    /* vtwiduns device key (kind 1) */
    char serialNumber[128]; /* serial exactly as vtwidwus reported it, may be empty (kind 2) */
    char modelName[128];    /* model name as vtwidwus reported it (kind 2) */
} DeviceConnection;

/* One found printer. 1614 bytes. */
typedef struct tagDeviceInfo {
    unsigned char qelService;  /* 1: the qel capability answered "OK" naming serviceA or serviceD */
    unsigned char reserved1;   /* zero */
    wchar_t model[128];        /* ivec:model */
    wchar_t serialNumber[128]; /* ivec:product_serialnumber */
    wchar_t address[256];      /* address by which a network printer was reached */
    wchar_t regionCode[5];     /* vvt:pdr */
    wchar_t hardwareAddress[20]; /* first infrastructure-mode wireless interface */
    unsigned char agreement;     /* 0 not reported, 1 "unknown", 2 "agree", 3 "disagree" */
    unsigned char reserved2;     /* zero */
    DeviceConnection connection;
    unsigned char serviceKind; /* 1 serviceA, 2 serviceD, 0 none */
    unsigned char reserved3;   /* zero */
} tagDeviceInfo;

/* One access point that the printer saw. 72 bytes. */
typedef struct AccessPointEntry {
    wchar_t ssid[33];
    unsigned char reserved[2];
    int signal; /* the list is sorted by it, highest first */
} AccessPointEntry;

/* What CreateId sends to the printer, filled by the application. 1556 bytes. */
typedef struct CreateIdRequest {
    wchar_t access_token[256];
    wchar_t refresh_token[256];
    wchar_t server_url[256];
    wchar_t service_id[10];
} CreateIdRequest;

#ifdef __cplusplus
#define VTQELDEVC_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define VTQELDEVC_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

VTQELDEVC_STATIC_ASSERT(sizeof(wchar_t) == 2, "wide text is UTF-16");
VTQELDEVC_STATIC_ASSERT(sizeof(int) == 4, "int is 32 bits");

VTQELDEVC_STATIC_ASSERT(sizeof(DeviceConnection) == 534, "DeviceConnection is 534 bytes");
VTQELDEVC_STATIC_ASSERT(offsetof(DeviceConnection, kind) == 0, "kind at 0");
VTQELDEVC_STATIC_ASSERT(offsetof(DeviceConnection, portName) == 2, "portName at 2");
VTQELDEVC_STATIC_ASSERT(offsetof(DeviceConnection, deviceKey) == 22, "deviceKey at 22");
VTQELDEVC_STATIC_ASSERT(offsetof(DeviceConnection, serialNumber) == 278, "serialNumber at 278");
VTQELDEVC_STATIC_ASSERT(offsetof(DeviceConnection, modelName) == 406, "modelName at 406");

VTQELDEVC_STATIC_ASSERT(sizeof(tagDeviceInfo) == 1614, "tagDeviceInfo is 1614 bytes");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, qelService) == 0, "qelService at 0");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, model) == 2, "model at 2");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, serialNumber) == 258, "serialNumber at 258");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, address) == 514, "address at 514");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, regionCode) == 1026, "regionCode at 1026");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, hardwareAddress) == 1036,
                        "hardwareAddress at 1036");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, agreement) == 1076, "agreement at 1076");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, connection) == 1078, "connection at 1078");
VTQELDEVC_STATIC_ASSERT(offsetof(tagDeviceInfo, serviceKind) == 1612, "serviceKind at 1612");

VTQELDEVC_STATIC_ASSERT(sizeof(AccessPointEntry) == 72, "AccessPointEntry is 72 bytes");
VTQELDEVC_STATIC_ASSERT(offsetof(AccessPointEntry, signal) == 68, "signal at 68");

VTQELDEVC_STATIC_ASSERT(sizeof(CreateIdRequest) == 1556, "CreateIdRequest is 1556 bytes");
VTQELDEVC_STATIC_ASSERT(offsetof(CreateIdRequest, refresh_token) == 512, "refresh_token at 512");
VTQELDEVC_STATIC_ASSERT(offsetof(CreateIdRequest, server_url) == 1024, "server_url at 1024");
VTQELDEVC_STATIC_ASSERT(offsetof(CreateIdRequest, service_id) == 1536, "service_id at 1536");

/* ---- The device interface object ------------------------------------------------------------- */
#ifdef __cplusplus

/* The application calls the slots by position: keep the declaration order. Every operation
 * returns its result code and lets nothing escape. */
class VTESDevIF {
public:
    virtual ~VTESDevIF() = default;
    virtual int Initialize() noexcept = 0;
    virtual int Terminate() noexcept = 0;
    virtual int GetDeviceInfo(const wchar_t* address, int portType,
                              tagDeviceInfo* out) noexcept = 0;
    virtual int SelectDevice(const wchar_t* address, int portType) noexcept = 0;
    virtual int GetRegisteredId(wchar_t* out, int outChars) noexcept = 0;
    virtual int CreateId(const CreateIdRequest* request, wchar_t* out, int outChars) noexcept = 0;
    virtual int EndSession() noexcept = 0;
    virtual int SetDeviceAgreement(const wchar_t* address, int portType, int reserved) noexcept = 0;
    virtual int GetConnectivityTestResult(const wchar_t* address, int portType,
                                          unsigned char* out) noexcept = 0;
    virtual int SearchDevices(int* count, int usbOnly) noexcept = 0;
    virtual int CancelSearch() noexcept = 0;
    virtual int GetDeviceList(tagDeviceInfo* out, int count) noexcept = 0;
    virtual int SearchAccessPoints(const DeviceConnection* connection, wchar_t* ssidOut,
                                   int ssidChars, wchar_t* keyOut, int keyChars) noexcept = 0;
    virtual int ApplyAccessPoint(const DeviceConnection* connection, const wchar_t* ssid,
                                 const wchar_t* key) noexcept = 0;
    virtual int GetAccessPointList(AccessPointEntry* out, int* count) noexcept = 0;
};

#define VTQELDEVC_NOEXCEPT noexcept
extern "C" {
#else
typedef struct VTESDevIF VTESDevIF; /* opaque to C callers */
#define VTQELDEVC_NOEXCEPT
#endif

/* ---- Exports --------------------------------------------------------------------------------- */
/* *pp must be null: then a new object is stored there and 1 returned. A null pp, a set *pp or
 * no memory return 0 and change nothing. */
int WINAPI CreateVTESDev(VTESDevIF** pp) VTQELDEVC_NOEXCEPT;
/* Destroys *pp (when set) inside the library and sets it to null; a null pp does nothing. */
void WINAPI DeleteVTESDev(VTESDevIF** pp) VTQELDEVC_NOEXCEPT;
/* 1 with the version written; 0 and nothing written when any pointer is null. */
int WINAPI GetVTESDevVersion(int* major, int* minor, int* revision) VTQELDEVC_NOEXCEPT;

typedef int(WINAPI* PFN_CreateVTESDev)(VTESDevIF**);
typedef void(WINAPI* PFN_DeleteVTESDev)(VTESDevIF**);
typedef int(WINAPI* PFN_GetVTESDevVersion)(int*, int*, int*);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VTQELDEVC_VTQELDEVC_H */
