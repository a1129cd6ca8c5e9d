/*
 * vtwidlog: the optional trace library of the USB wrapper.
 *
 * vtwidlog.dll exports VTWIDLOG_Trace by this undecorated name. The wrapper loads the library by
 * its bare name and binds the entry at run time, typing the pointer as decltype(&VTWIDLOG_Trace).
 *
 * The entry takes a variable argument list with the C calling convention (the caller removes
 * the arguments); the library formats the message from the printf-style format and the
 * arguments ("%d", "%lu", "%s", "%08X" and the like, as the C runtime's printf knows them).
 * Levels: 0 entry and exit, 1 no-such-object values, 2 retries and cancels, 3 errors,
 * 4 memory exhaustion and conversion failures.
 */
#ifndef VTWIDLOG_VTWIDLOG_API_H
#define VTWIDLOG_VTWIDLOG_API_H

#ifdef __cplusplus
extern "C" {
#endif

#ifdef VTWIDLOG_BUILDING_DLL
#define VTWIDLOG_API __declspec(dllexport)
#else
#define VTWIDLOG_API
#endif

/* level: 0 to 4; sourcePath and line: where the trace was written; format: printf-style. */
VTWIDLOG_API void __cdecl VTWIDLOG_Trace(int level, const char* sourcePath, int line,
                                         const char* format, ...)
    __attribute__((format(printf, 4, 5)));

#ifdef __cplusplus
}
#endif

#endif /* VTWIDLOG_VTWIDLOG_API_H */
