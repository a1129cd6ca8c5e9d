/*
 * Control of the simulated world (qelworld.dll).
 *
 * Every stand-in library (vtmpu2.dll, vtmpu.dll, vtwiduns.dll, vtwidus.dll) is a face of one
 * world of simulated printers that lives in qelworld.dll for the whole process: the module pins
 * itself on first load, so loading and unloading the stand-ins loses nothing. Tests set the world
 * up and read back what the printers received and stored with the functions below.
 *
 * Binding: declared here so that a test can type its run-time bound table with
 * decltype(&QELWORLD_Reset); qelworld_client.h does that. Do not link against them.
 *
 * The world is described with the text of a world file (README.md in standins/world lists every
 * section and key): QELWORLD_Load replaces the world by a description, QELWORLD_Add adds the
 * printers of one, QELWORLD_Configure applies one "key = value" line to a printer (or, with a
 * null or empty printer name, to the [world] section). QELWORLD_Get reads a key back.
 *
 * Results: 0 success; -1 a null or unusable argument or an unknown printer; -2 the text is
 * wrong, and error (when given, errorSize bytes) receives why, for example
 * "control:7: ap: 'strength' is none of signal, channel, auth, encryption, phy, bssid, key".
 * Texts are NUL-terminated bytes (the ANSI code page of the printers' texts; file paths wide).
 * Functions that fill a buffer return the whole length and write at most size - 1 bytes and a NUL.
 * Everything is thread-safe and never throws.
 */
#ifndef QELWORLD_QELWORLD_CONTROL_H
#define QELWORLD_QELWORLD_CONTROL_H

#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QELWORLD_CALL __cdecl

/* An empty world: no printers, no faults, default settings, an empty journal. Channels, handles
 * and instances of the stand-in libraries stay valid and reach whatever printer their target
 * names in the new world; replies still to be read and conversations are forgotten. */
void QELWORLD_CALL QELWORLD_Reset(void);

/* The world becomes what the text describes (nothing changes on an error). */
int QELWORLD_CALL QELWORLD_Load(const char* text, char* error, int errorSize);
/* The printers of the text join the world; a [world] section replaces the world's settings. */
int QELWORLD_CALL QELWORLD_Add(const char* text, char* error, int errorSize);
/* As QELWORLD_Load, from a file. */
int QELWORLD_CALL QELWORLD_LoadFile(const wchar_t* path, char* error, int errorSize);
/* One "key = value" line for a printer, or for the world when printer is null or "". */
int QELWORLD_CALL QELWORLD_Configure(const char* printer, const char* line, char* error,
                                     int errorSize);

/* The value of a key: a printer key (as a line would set it; keys given several times read back
 * one line each, joined by '\n') or a read-only fact of the printer ("exchanges",
 * "application-data", "wifi-joined", ...). With a null or empty printer: a fact of the world
 * ("printers", "journal", "search", "loads vtmpu2", ...). Returns the whole length, or -1 for an
 * unknown printer or key. */
int QELWORLD_CALL QELWORLD_Get(const char* printer, const char* key, char* buffer, int size);

/* Empties the journal of face calls. */
void QELWORLD_CALL QELWORLD_ClearJournal(void);

/* Called by each face library when it is loaded and unloaded: the world counts loads and
 * unloads and drops (and counts) the handles of an unloaded library. */
void QELWORLD_CALL QELWORLD_LibraryLoaded(const char* library);
void QELWORLD_CALL QELWORLD_LibraryUnloaded(const char* library);

#ifdef __cplusplus
}
#endif

#endif /* QELWORLD_QELWORLD_CONTROL_H */
