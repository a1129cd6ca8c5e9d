// Reading the trace lines that the stand-in trace library (vtwidlog.dll) recorded.
//
// Besides VTWIDLOG_Trace, vtwidlog.dll exports the functions below. They are declared here so
// that a test can type its run-time bound table with decltype(&VTWIDLOGSIM_GetCount); do not
// link against them. Bind them with GetProcAddress on the module that the traced library
// loaded (GetModuleHandleW(L"vtwidlog.dll"), or LoadLibraryW of the same file, which shares the
// module and its records). The records live in the module: they are lost when its last
// reference is freed, so a test that reads them after the traced library was unloaded keeps a
// reference of its own.
//
// Every VTWIDLOG_Trace call is recorded, formatted with its arguments, in call order. At most
// VTWIDLOGSIM_MAX_RECORDS are kept; older ones are dropped first (index 0 is the oldest kept).
// Texts are cut to VTWIDLOGSIM_MAX_TEXT - 1 bytes. All functions are thread-safe and never
// throw.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define VTWIDLOGSIM_MAX_RECORDS 100000
#define VTWIDLOGSIM_MAX_TEXT 4096

// Number of records kept.
int __cdecl VTWIDLOGSIM_GetCount(void);

// Copies record index's formatted text into text (cut to textSize - 1 bytes, always terminated;
// text may be null with textSize 0) and its level into *level (level may be null). Returns the
// length of the whole text, or -1 for an index that is not kept or a bad buffer.
int __cdecl VTWIDLOGSIM_GetRecord(int index, int* level, char* text, int textSize);

// As VTWIDLOGSIM_GetRecord, for the format text as it was passed, before formatting.
int __cdecl VTWIDLOGSIM_GetFormat(int index, char* format, int formatSize);

// The source path and line passed with the record; returns the path length or -1.
int __cdecl VTWIDLOGSIM_GetSource(int index, char* path, int pathSize, int* line);

// Drops every record.
void __cdecl VTWIDLOGSIM_Clear(void);

#ifdef __cplusplus
}
#endif
