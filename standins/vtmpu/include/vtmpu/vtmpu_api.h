/*
 * vtmpu: the older port library. A handle carries XML commands to one printer, opened by the
 * name of its Windows printer queue or by the name of its USB port; the library also lists the
 * USB ports on which a printer works.
 *
 * C entry points of vtmpu.dll, exported by these undecorated names and bound at run time with
 * GetProcAddress; a loader types its table as decltype(&pu...).
 *
 * Conventions:
 * - Handles are opaque pointers; the open entries give null when nothing could be opened.
 * - int results are non-zero on success and 0 on failure.
 * - Text is narrow (ANSI code page) and NUL-terminated.
 */
#ifndef VTMPU_VTMPU_API_H
#define VTMPU_VTMPU_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define VTMPU_CALL __stdcall

#ifdef VTMPU_BUILDING_DLL
#define VTMPU_API __declspec(dllexport)
#else
#define VTMPU_API
#endif

typedef void* PU_HANDLE;

/* Room of the port list that pulowWorkingPort fills, in bytes. */
#define PU_PORT_LIST_BYTES 1024

/* Opens the printer behind a Windows queue name; flags is 0. */
VTMPU_API PU_HANDLE VTMPU_CALL puOpen(const char* printerName, int flags);
/* Opens the printer on a USB port ("USB001"); flags is 0. */
VTMPU_API PU_HANDLE VTMPU_CALL puOpenPort(const char* portName, int flags);
VTMPU_API int VTMPU_CALL puClose(PU_HANDLE handle);
/* The printer's IEEE 1284 device id; present for callers that bind every entry. */
VTMPU_API int VTMPU_CALL puDeviceID(PU_HANDLE handle, char* buffer, int capacity, int* length);
/* Sends one whole request, waiting at most timeoutMs; *written receives the bytes sent. */
VTMPU_API int VTMPU_CALL puWrite(PU_HANDLE handle, const char* data, int length, int* written,
                                 int timeoutMs);
/* Reads what the printer sent, at most capacity bytes, waiting at most timeoutMs; *length
 * receives the bytes read (0 when nothing came in time, which is still a success). A reply is
 * read whole by one call when it fits; replies the caller did not wait for stay queued in order. */
VTMPU_API int VTMPU_CALL puRead(PU_HANDLE handle, char* buffer, int capacity, int* length,
                                int timeoutMs);
/* The USB ports on which a printer works, each name followed by a backslash ("USB001\USB002\"),
 * NUL-terminated within capacity; *count receives the number of ports. Fails when the text
 * would not fit. */
VTMPU_API int VTMPU_CALL pulowWorkingPort(char* buffer, int capacity, int* count);

#ifdef __cplusplus
}
#endif

#endif /* VTMPU_VTMPU_API_H */
