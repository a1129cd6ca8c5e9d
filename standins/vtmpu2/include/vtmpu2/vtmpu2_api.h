/*
 * vtmpu2: the newer port library. One channel carries XML commands to one printer, reached by
 * network address or by printer name, on one of the printer's two command paths.
 *
 * C entry points of vtmpu2.dll, exported by these undecorated names. The printer access library
 * binds them at run time with GetProcAddress; a loader types its table as decltype(&pu2...).
 *
 * Conventions:
 * - Channel handles are ints; pu2Open gives 0 when no channel could be made.
 * - Every other entry returns 0 on success or one of the PU2_ codes below.
 * - Text parameters are wide (UTF-16) and NUL-terminated; command data are bytes.
 */
#ifndef VTMPU2_VTMPU2_API_H
#define VTMPU2_VTMPU2_API_H

#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VTMPU2_CALL __stdcall

#ifdef VTMPU2_BUILDING_DLL
#define VTMPU2_API __declspec(dllexport)
#else
#define VTMPU2_API
#endif

/* ---- Results ---------------------------------------------------------------------------- */
#define PU2_OK 0
#define PU2_NO_DATA_YET 1      /* pu2Read: the reply has not arrived yet; ask again */
#define PU2_ERR_PARAM (-1)     /* bad argument or unknown handle */
#define PU2_ERR_FAILED (-2)    /* general failure */
#define PU2_ERR_CONNECT (-3)   /* the printer could not be reached */
#define PU2_ERR_BUSY (-7)      /* transient: the printer is busy */
#define PU2_ERR_TIMEOUT (-8)   /* transient: the write timed out */
#define PU2_ERR_REOPEN (-10)   /* the channel must be opened again */
#define PU2_ERR_SEND (-11)     /* transient: sending failed */
#define PU2_ERR_RECEIVE (-12)  /* transient: receiving failed */
#define PU2_ERR_CLOSED (-14)   /* the channel is closed (or the entry unbound, on the caller's side) */

/* ---- Values ----------------------------------------------------------------------------- */
#define PU2_IF_NETWORK 1       /* pu2SetIF: the channel goes over the network stack */
#define PU2_TIMEOUT_KIND_IO 2  /* pu2SetTimeout: kind of the time-out given in seconds */

typedef int PU2_HANDLE;

/* ---- Entries ---------------------------------------------------------------------------- */
VTMPU2_API PU2_HANDLE VTMPU2_CALL pu2Open(void);
VTMPU2_API int VTMPU2_CALL pu2Close(PU2_HANDLE handle);
VTMPU2_API int VTMPU2_CALL pu2SetIF(PU2_HANDLE handle, int interfaceKind);
/* The printer's address: IPv4 dotted text, or IPv6 text with an optional "%scope". */
VTMPU2_API int VTMPU2_CALL pu2SetIP(PU2_HANDLE handle, const wchar_t* address);
/* The name of a Windows printer queue behind which the printer stands. */
VTMPU2_API int VTMPU2_CALL pu2SetPrinterName(PU2_HANDLE handle, const wchar_t* name);
/* The command path, "/velto/ij/command2/port1" or "/velto/ij/command2/port2". */
VTMPU2_API int VTMPU2_CALL pu2SetUrl(PU2_HANDLE handle, const wchar_t* path);
VTMPU2_API int VTMPU2_CALL pu2SetTimeout(PU2_HANDLE handle, int kind, int seconds);
/* Present for callers that bind every entry; the printer access library never calls them. */
VTMPU2_API int VTMPU2_CALL pu2SetMasterPortOption(PU2_HANDLE handle, int option);
VTMPU2_API int VTMPU2_CALL pu2SetEventType(PU2_HANDLE handle, int eventType);
VTMPU2_API int VTMPU2_CALL pu2SetCommandType(PU2_HANDLE handle, int commandType);
VTMPU2_API int VTMPU2_CALL pu2SetEventBufferSize(PU2_HANDLE handle, int size);
/* Sends one whole request; flags is 0. */
VTMPU2_API int VTMPU2_CALL pu2Write(PU2_HANDLE handle, const char* data, int length, int flags);
/* Reads the next piece of the reply into buffer. *size: in, the room in bytes; out, the bytes
 * written (never more than the room). *more: 1 when more of the reply follows, else 0.
 * Returns PU2_NO_DATA_YET while the reply is not ready. */
VTMPU2_API int VTMPU2_CALL pu2Read(PU2_HANDLE handle, char* buffer, int* size, int* more);

#ifdef __cplusplus
}
#endif

#endif /* VTMPU2_VTMPU2_API_H */
