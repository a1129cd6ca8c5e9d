/*
 * vtwidsd: the outside network search library. It finds the printers on the local network and
 * lists their addresses.
 *
 * C entry points of vtwidsd.dll, exported by these undecorated names and bound at run time with
 * GetProcAddress; a loader types its table as decltype(&VTWNSCH_...).
 *
 * Conventions:
 * - The instance is an opaque pointer; VTWNSCH_CreateInstance gives null on failure. Every other
 *   entry takes it first and refuses a null one.
 * - The search entries return the number of printers found, or a negative code; they end by
 *   themselves and return promptly once VTWNSCH_CancelSearch was called from another thread.
 *   A cancel stays in force for the instance, so a fallback search after it finds nothing.
 * - Other int results: 0 success, negative failure.
 */
#ifndef VTWIDSD_VTWIDSD_API_H
#define VTWIDSD_VTWIDSD_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VTWNSCH_CALL __stdcall

#ifdef VTWIDSD_BUILDING_DLL
#define VTWNSCH_API __declspec(dllexport)
#else
#define VTWNSCH_API
#endif

typedef void* VTWNSCH_INSTANCE;

#define VTWNSCH_OK 0
#define VTWNSCH_ERR_PARAM (-1)
#define VTWNSCH_ERR_FAILED (-2)
#define VTWNSCH_ERR_CANCELED (-3)

#define VTWNSCH_OPTION_TIMEOUT_MS 4 /* VTWNSCH_OptSetting: how long a search listens, in ms */

/* One printer found: the scope index of its interface (IPv6 link-local addresses) and its
 * address as ANSI text. 1676 bytes. */
#define VTWNSCH_ADDRESS_BYTES 64
typedef struct VTWNSCH_SEARCH_INFO {
    int32_t scopeIndex;
    char address[VTWNSCH_ADDRESS_BYTES];
    char reserved[1676 - 4 - VTWNSCH_ADDRESS_BYTES];
} VTWNSCH_SEARCH_INFO;

VTWNSCH_API VTWNSCH_INSTANCE VTWNSCH_CALL VTWNSCH_CreateInstance(void);
VTWNSCH_API void VTWNSCH_CALL VTWNSCH_DestroyInstance(VTWNSCH_INSTANCE instance);
VTWNSCH_API int VTWNSCH_CALL VTWNSCH_OptSetting(VTWNSCH_INSTANCE instance, int option, int value);
/* Search over IPv4, and over IPv6 only. The three ints are reserved (0). */
VTWNSCH_API int VTWNSCH_CALL VTWNSCH_Search(VTWNSCH_INSTANCE instance, int reserved1, int reserved2,
                                            int reserved3);
VTWNSCH_API int VTWNSCH_CALL VTWNSCH_SearchByIpv6(VTWNSCH_INSTANCE instance, int reserved1,
                                                  int reserved2, int reserved3);
VTWNSCH_API int VTWNSCH_CALL VTWNSCH_CancelSearch(VTWNSCH_INSTANCE instance);
/* The printers of the last search. With a null buffer, *size receives the bytes all entries
 * need. With a buffer, *size gives its room in bytes; whole entries that fit are written, in the
 * order found, and *size receives the bytes written. */
VTWNSCH_API int VTWNSCH_CALL VTWNSCH_EnumSearchInfo(VTWNSCH_INSTANCE instance, void* buffer,
                                                    unsigned* size);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(VTWNSCH_SEARCH_INFO) == 1676, "search entry is 1676 bytes");
#endif

#endif /* VTWIDSD_VTWIDSD_API_H */
