/*
 * vtwidus: the SNMP-over-USB packet library.
 *
 * C entry points of vtwidus.dll, exported by these undecorated names. The USB wrapper
 * (vtwidwus) binds them at run time with GetProcAddress, so nothing here is linked; a
 * loader types its table of entries as decltype(&VTWIDUS_...).
 *
 * Conventions:
 * - Every entry uses the calling convention of the Windows API (VTWIDUS_CALL).
 * - int results: 0 is success, negative values are the VTWIDUS_ERROR_CODE_ codes below.
 *   VTWIDUS_GetOidCount returns a count, VTWIDUS_Search a count or a negative code.
 * - Text is narrow (ANSI code page) and NUL-terminated.
 * - OIDs are dotted decimal text without a leading dot ("1.3.6.1.4.1.58217.1.3.1.11.0"); a
 *   response names each varbind by the same text as the request did.
 * - Handles (packets, USB instances) are opaque pointers; a null handle is accepted by the
 *   two destroy entries and refused (VTWIDUS_ERROR_CODE_PARAM) by every other entry.
 */
#ifndef VTWIDUS_VTWIDUS_API_H
#define VTWIDUS_VTWIDUS_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VTWIDUS_CALL __stdcall

#ifdef VTWIDUS_BUILDING_DLL
#define VTWIDUS_API __declspec(dllexport)
#else
#define VTWIDUS_API
#endif

/* ---- Result codes ---------------------------------------------------------------------- */
#define VTWIDUS_ERROR_CODE_SUCCESS 0
#define VTWIDUS_ERROR_CODE_PARAM (-1)               /* null or invalid argument */
#define VTWIDUS_ERROR_CODE_FAILED (-2)              /* general failure */
#define VTWIDUS_ERROR_CODE_NO_MEMORY (-3)           /* memory exhausted */
#define VTWIDUS_ERROR_CODE_NOT_INITIALIZED (-4)     /* USB layer not available */
#define VTWIDUS_ERROR_CODE_ENCODE (-5)              /* a packet could not be encoded */
#define VTWIDUS_ERROR_CODE_DEVICE (-6)              /* the device refused or vanished */
#define VTWIDUS_ERROR_CODE_SEND_TIMEOUT (-7)        /* time-out while sending */
#define VTWIDUS_ERROR_CODE_RECEIVE_TIMEOUT (-8)     /* time-out while receiving */
#define VTWIDUS_ERROR_CODE_DECODE (-9)              /* the response could not be decoded */
#define VTWIDUS_ERROR_CODE_NOT_FOUND (-10)          /* no such varbind or entry */
#define VTWIDUS_ERROR_CODE_CONNECTION (-11)         /* USB channel could not be opened */
#define VTWIDUS_ERROR_CODE_TOO_MATCH_SESSIONS (-12) /* the device serves too many sessions */
#define VTWIDUS_ERROR_CODE_DISCONNECTED (-13)       /* USB channel lost */
#define VTWIDUS_ERROR_CODE_NOCONTENT (-14)          /* the device has no content yet */

/* ---- Values ----------------------------------------------------------------------------- */
/* SNMP PDU tags for VTWIDUS_SetCommand / VTWIDUS_GetCommand. */
#define VTWIDUS_COMMAND_GET 0xA0
#define VTWIDUS_COMMAND_GET_NEXT 0xA1
#define VTWIDUS_COMMAND_RESPONSE 0xA2
#define VTWIDUS_COMMAND_SET 0xA3

/* Varbind value types (SNMP type tags). */
#define VTWIDUS_TYPE_INTEGER 0x02
#define VTWIDUS_TYPE_OCTET_STRING 0x04
#define VTWIDUS_TYPE_NULL 0x05
#define VTWIDUS_TYPE_OBJECT_ID 0x06
#define VTWIDUS_TYPE_IPADDRESS 0x40
#define VTWIDUS_TYPE_COUNTER32 0x41
#define VTWIDUS_TYPE_GAUGE32 0x42
#define VTWIDUS_TYPE_TIMETICKS 0x43
#define VTWIDUS_TYPE_NOSUCHOBJECT 0x80
#define VTWIDUS_TYPE_NOSUCHINSTANCE 0x81
#define VTWIDUS_TYPE_ENDOFMIBVIEW 0x82

/* Protocol version for VTWIDUS_CreatePacket: the wrapper always asks for 3 (SNMPv3). */
#define VTWIDUS_PACKET_VERSION_3 3

/* ---- Records ---------------------------------------------------------------------------- */
typedef void* VTWIDUS_PACKET;       /* request or response packet */
typedef void* VTWIDUS_USB_INSTANCE; /* one opened USB printer */

/* A value as bytes: the octet pair. VTWIDUS_IntToOctets hands one out; VTWIDUS_OctetsToInt
 * reads one. */
typedef struct tagVtwidusOctets {
    uint32_t length_;      /* number of value bytes */
    const uint8_t* value_; /* the bytes; null when length_ is 0 */
} VTWIDUS_OCTETS;

/* One varbind. VTWIDUS_AddOid copies oid_ and the value bytes into the packet, so they need
 * to live only for the call. VTWIDUS_GetOid hands out a record owned by the packet. */
typedef struct tagVtwidusVarbind {
    const char* oid_;       /* dotted OID text, NUL-terminated */
    uint8_t type_;          /* VTWIDUS_TYPE_ */
    VTWIDUS_OCTETS octets_; /* the value; length_ 0 for NULL and the no-such types */
} VTWIDUS_VARBIND;

/* One USB printer as VTWIDUS_Search lists it. The list stays valid until the next
 * VTWIDUS_Search. */
typedef struct tagVtwidusUsbEntry {
    const char* modelName_; /* model name text */
    const void* device_;    /* the library's own reference to the printer */
} VTWIDUS_USB_ENTRY;

/* ---- Entry points, in binding order ------------------------------------------------------ */
/* 1. A new, empty packet for the protocol version; null when it cannot be made. */
VTWIDUS_API VTWIDUS_PACKET VTWIDUS_CALL VTWIDUS_CreatePacket(int version);
/* 2. Frees a packet and everything it handed out; null is ignored. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_DestroyPacket(VTWIDUS_PACKET packet);
/* 3. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_SetCommunityName(VTWIDUS_PACKET packet, const char* name);
/* 4. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_SetMsgId(VTWIDUS_PACKET packet, int32_t msgId);
/* 5. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_GetMsgId(VTWIDUS_PACKET packet, int32_t* msgId);
/* 6. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_EnableReportableFlag(VTWIDUS_PACKET packet, int enable);
/* 7. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_SetContextName(VTWIDUS_PACKET packet, const char* name);
/* 8. VTWIDUS_COMMAND_GET or VTWIDUS_COMMAND_SET for a request. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_SetCommand(VTWIDUS_PACKET packet, uint8_t command);
/* 9. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_GetCommand(VTWIDUS_PACKET packet, uint8_t* command);
/* 10. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_SetRequestId(VTWIDUS_PACKET packet, int32_t requestId);
/* 11. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_GetRequestId(VTWIDUS_PACKET packet, int32_t* requestId);
/* 12. The SNMP error status of a response (0 no error). */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_GetErrorStatus(VTWIDUS_PACKET packet, int* errorStatus);
/* 13. The SNMP error index of a response. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_GetErrorIndex(VTWIDUS_PACKET packet, int* errorIndex);
/* 14. Appends a copy of the varbind to the packet. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_AddOid(VTWIDUS_PACKET packet, const VTWIDUS_VARBIND* varbind);
/* 15. Number of varbinds in the packet (0 for a null packet). */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_GetOidCount(VTWIDUS_PACKET packet);
/* 16. Varbind at index (from 0); the record lives as long as the packet. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_GetOid(VTWIDUS_PACKET packet, int index,
                                            const VTWIDUS_VARBIND** varbind);
/* 17. Big-endian two's complement bytes (1 to 4) to a signed int. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_OctetsToInt(VTWIDUS_PACKET packet,
                                                 const VTWIDUS_OCTETS* octets, int32_t* value);
/* 18. Big-endian bytes (1 to 5, a leading 0 allowed) to an unsigned int. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_OctetsToUnsignedInt(VTWIDUS_PACKET packet,
                                                         const VTWIDUS_OCTETS* octets,
                                                         uint32_t* value);
/* 19. A signed int as the shortest big-endian bytes of an INTEGER; the pair stays valid until
 * the packet is destroyed. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_IntToOctets(VTWIDUS_PACKET packet, int32_t value,
                                                 const VTWIDUS_OCTETS** octets);
/* 20. As VTWIDUS_IntToOctets for an unsigned value (Gauge32, Counter32). */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_UnsignedIntToOctets(VTWIDUS_PACKET packet, uint32_t value,
                                                         const VTWIDUS_OCTETS** octets);
/* 21. Enumerates the USB printers: returns their number (0 none, negative on failure) and
 * stores the list in *list. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_Search(const VTWIDUS_USB_ENTRY** list);
/* 22. Opens one printer of the last search; null on failure. */
VTWIDUS_API VTWIDUS_USB_INSTANCE VTWIDUS_CALL
VTWIDUS_CreateUsbInstance(const VTWIDUS_USB_ENTRY* entry);
/* 23. Closes a printer; null is ignored. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_DestroyUsbInstance(VTWIDUS_USB_INSTANCE instance);
/* 24. Time-out of later exchanges on the instance, in milliseconds. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_SetUsbTimeout(VTWIDUS_USB_INSTANCE instance, int timeoutMs);
/* 25. Sends the request and fills the response packet with the printer's answer. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_Comm(VTWIDUS_USB_INSTANCE instance, VTWIDUS_PACKET request,
                                          VTWIDUS_PACKET response);
/* 26. User-based security parameters for later exchanges (null texts: none). */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_SetUsm(VTWIDUS_USB_INSTANCE instance, const char* userName,
                                            const char* authPassword, const char* privPassword);
/* 27. SNMPv3 engine discovery with the printer; needed before each exchange. */
VTWIDUS_API int VTWIDUS_CALL VTWIDUS_DiscoveryV3(VTWIDUS_USB_INSTANCE instance);

#ifdef __cplusplus
}
#endif

#endif /* VTWIDUS_VTWIDUS_API_H */
