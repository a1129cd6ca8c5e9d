/*
 * vtwiduns: the outside USB device library. It reaches USB printers that the USB wrapper does
 * not list, reads their interfaces and access points, runs their access-point scan and writes
 * their wireless settings.
 *
 * C entry points of vtwiduns.dll, exported by these undecorated names and bound at run time with
 * GetProcAddress; a loader types its table as decltype(&VTWIDUNS_...).
 *
 * Conventions:
 * - The instance is an opaque pointer; VTWIDUNS_CreateInstance gives null on failure.
 * - int results: 0 or a count on success, negative on failure.
 * - A device is named by its device key: the NUL-terminated text in the first 256 bytes of its
 *   device entry, handed back unchanged.
 * - Records are made of cells of VTWIDUNS_CELL_BYTES bytes, each a NUL-terminated ANSI text.
 * - Listing entries (VTWIDUNS_Search, VTWIDUNS_GetInfo): with a null buffer and countOnly 1 the
 *   entry returns how many entries there are. With a buffer, *work gives the room of the buffer
 *   in entries; the entry writes at most that many, returns the number written and stores it in
 *   *work. countOnly does not matter when a buffer is given.
 */
#ifndef VTWIDUNS_VTWIDUNS_API_H
#define VTWIDUNS_VTWIDUNS_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define VTWIDUNS_CALL __stdcall

#ifdef VTWIDUNS_BUILDING_DLL
#define VTWIDUNS_API __declspec(dllexport)
#else
#define VTWIDUNS_API
#endif

typedef void* VTWIDUNS_INSTANCE;

/* ---- Results ---------------------------------------------------------------------------- */
#define VTWIDUNS_OK 0
#define VTWIDUNS_ERR_PARAM (-1)     /* null or unknown instance, key, kind or size */
#define VTWIDUNS_ERR_FAILED (-2)    /* general failure */
#define VTWIDUNS_ERR_NO_DEVICE (-3) /* no device has this key */
#define VTWIDUNS_ERR_NO_COMM (-4)   /* no conversation was started with the device */
#define VTWIDUNS_ERR_BUSY (-5)      /* another conversation holds the device */

/* ---- Records ---------------------------------------------------------------------------- */
#define VTWIDUNS_CELL_BYTES 129
#define VTWIDUNS_DEVICE_ENTRY_BYTES 768   /* device key (256 bytes), USB port name from 256 */
#define VTWIDUNS_DEVICE_KEY_BYTES 256
#define VTWIDUNS_DEVICE_PORT_OFFSET 256

#define VTWIDUNS_INFO_INTERFACES 2        /* VTWIDUNS_GetInfo kind: interface entries */
#define VTWIDUNS_INTERFACE_CELLS 20       /* cell 0 name, cell 7 channel list */
#define VTWIDUNS_INFO_ACCESS_POINTS 4     /* VTWIDUNS_GetInfo kind: access points of the last scan */
#define VTWIDUNS_ACCESS_POINT_CELLS 13    /* cell 0 SSID hex, 1 opaque, 3 signal, 6 and 9 "1" secured */

#define VTWIDUNS_SET_WIRELESS 1           /* VTWIDUNS_SetInfo kind: the wireless settings block */
#define VTWIDUNS_SECTION_CELLS 40         /* one section per wireless interface */
#define VTWIDUNS_SETTINGS_SECTIONS 3
#define VTWIDUNS_SETTINGS_BYTES (VTWIDUNS_SETTINGS_SECTIONS * VTWIDUNS_SECTION_CELLS * VTWIDUNS_CELL_BYTES)

#define VTWIDUNS_CONTROL_AP_SCAN 1        /* VTWIDUNS_Control code: start the access-point scan */

/* The key in cell 35 of a settings section: each byte XORed with this mask, as two upper-case
 * hexadecimal digits. */
#define VTWIDUNS_KEY_MASK 0x5Au

/* ---- Entries ---------------------------------------------------------------------------- */
VTWIDUNS_API VTWIDUNS_INSTANCE VTWIDUNS_CALL VTWIDUNS_CreateInstance(void);
VTWIDUNS_API void VTWIDUNS_CALL VTWIDUNS_DestroyInstance(VTWIDUNS_INSTANCE instance);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_OptSetting(VTWIDUNS_INSTANCE instance, int option, int value);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_Search(VTWIDUNS_INSTANCE instance, void* buffer, int* work,
                                               int countOnly);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_GetDeviceId(VTWIDUNS_INSTANCE instance, const char* deviceKey,
                                                    char* buffer, int capacity);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_CommStart(VTWIDUNS_INSTANCE instance, const char* deviceKey);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_CommEnd(VTWIDUNS_INSTANCE instance, const char* deviceKey);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_GetInfo(VTWIDUNS_INSTANCE instance, const char* deviceKey, int kind,
                                                void* buffer, int* work, int countOnly);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_SetInfo(VTWIDUNS_INSTANCE instance, const char* deviceKey, int kind,
                                                const void* block, int size);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_Control(VTWIDUNS_INSTANCE instance, const char* deviceKey, int code,
                                                int value);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_CommEndNotUnLock(VTWIDUNS_INSTANCE instance, const char* deviceKey);
VTWIDUNS_API int VTWIDUNS_CALL VTWIDUNS_UnLock(VTWIDUNS_INSTANCE instance, const char* deviceKey);

#ifdef __cplusplus
}
#endif

#endif /* VTWIDUNS_VTWIDUNS_API_H */
