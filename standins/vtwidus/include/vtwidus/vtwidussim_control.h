// Scenario control of the stand-in SNMP-over-USB packet library (vtwidus.dll).
//
// The stand-in answers the packet library's entries (vtwidus_api.h) with a simulated USB bus of
// printers, each with an SNMP agent over its management objects. Besides those entries,
// vtwidus.dll exports the VTWIDUSSIM_ functions below, with which a test chooses the printers
// on the bus, tunes their objects and behaviour, injects faults and reads back what was asked.
//
// Binding: the functions are declared here so that a test can type its run-time bound table
// with decltype(&VTWIDUSSIM_Reset); do not link against them. Load the same vtwidus.dll file
// that vtwidwus.dll loads from its own folder (LoadLibraryW with that full path; the build puts
// every DLL in one bin folder) and bind them with GetProcAddress. The bus is that of the
// simulated world (qelworld.dll, standins/world), which outlives any unloading of vtwidwus.dll
// and vtwidus.dll; keeping your own module reference for the test keeps the bound functions
// valid. Call VTWIDUSSIM_Reset at the start of each test.
//
// OID arguments are dotted texts; a text that starts with "." stands for that suffix below the
// printer maker's arc 1.3.6.1.4.1.58217 (".1.3.1.11.0" is 1.3.6.1.4.1.58217.1.3.1.11.0).
// Printers are named by the index that VTWIDUSSIM_AddPrinter returned.
//
// All functions are thread-safe and never throw. Unless said otherwise they return 0 on success
// and -1 for a bad argument (unknown printer, null pointer, unknown object).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// ---------------------------------------------------------------------------------------------
// Results that the stand-in's entries produce by themselves (the codes of vtwidus_api.h; a
// fault can make an entry return any value):
//   VTWIDUS_ERROR_CODE_PARAM            null argument, or a packet, instance or list entry that
//                                       the library did not hand out or that was destroyed
//   VTWIDUS_ERROR_CODE_ENCODE           an OID that is not dotted decimal, a name longer than
//                                       255 bytes, a request whose command is not GET or SET
//   VTWIDUS_ERROR_CODE_DEVICE           the printer was unplugged, or the bus was reset
//   VTWIDUS_ERROR_CODE_RECEIVE_TIMEOUT  a delay that reached the instance's USB time-out
//   VTWIDUS_ERROR_CODE_FAILED           VTWIDUS_Comm on an instance without a successful
//                                       VTWIDUS_DiscoveryV3
//   VTWIDUS_ERROR_CODE_NOT_FOUND        VTWIDUS_GetOid with an index outside the varbinds
//   VTWIDUS_ERROR_CODE_DECODE           octets that are not a number of 1 to 4 bytes (5 with a
//                                       leading zero for the unsigned form)
// VTWIDUS_CreatePacket accepts only VTWIDUS_PACKET_VERSION_3. A response names its varbinds as
// the request did; a GET answers noSuchObject for an unknown object and noSuchInstance for a
// missing table row; a SET is checked whole (type, length, value, writable) before anything
// changes, and its response echoes the request's varbinds.

// ---------------------------------------------------------------------------------------------
// Entry ids, in the order of the packet library's entry table; used by faults and call counts.
#define VTWIDUSSIM_ENTRY_CreatePacket 1
#define VTWIDUSSIM_ENTRY_DestroyPacket 2
#define VTWIDUSSIM_ENTRY_SetCommunityName 3
#define VTWIDUSSIM_ENTRY_SetMsgId 4
#define VTWIDUSSIM_ENTRY_GetMsgId 5
#define VTWIDUSSIM_ENTRY_EnableReportableFlag 6
#define VTWIDUSSIM_ENTRY_SetContextName 7
#define VTWIDUSSIM_ENTRY_SetCommand 8
#define VTWIDUSSIM_ENTRY_GetCommand 9
#define VTWIDUSSIM_ENTRY_SetRequestId 10
#define VTWIDUSSIM_ENTRY_GetRequestId 11
#define VTWIDUSSIM_ENTRY_GetErrorStatus 12
#define VTWIDUSSIM_ENTRY_GetErrorIndex 13
#define VTWIDUSSIM_ENTRY_AddOid 14
#define VTWIDUSSIM_ENTRY_GetOidCount 15
#define VTWIDUSSIM_ENTRY_GetOid 16
#define VTWIDUSSIM_ENTRY_OctetsToInt 17
#define VTWIDUSSIM_ENTRY_OctetsToUnsignedInt 18
#define VTWIDUSSIM_ENTRY_IntToOctets 19
#define VTWIDUSSIM_ENTRY_UnsignedIntToOctets 20
#define VTWIDUSSIM_ENTRY_Search 21
#define VTWIDUSSIM_ENTRY_CreateUsbInstance 22
#define VTWIDUSSIM_ENTRY_DestroyUsbInstance 23
#define VTWIDUSSIM_ENTRY_SetUsbTimeout 24
#define VTWIDUSSIM_ENTRY_Comm 25
#define VTWIDUSSIM_ENTRY_SetUsm 26
#define VTWIDUSSIM_ENTRY_DiscoveryV3 27

// ---------------------------------------------------------------------------------------------
// The bus and its printers.

// Empties the bus (the whole simulated world: its other printers too), drops every fault,
// clears call counts, the journal and the simulated clock, and lets every blocked call go. USB
// instances made before answer VTWIDUS_ERROR_CODE_DEVICE.
void __cdecl VTWIDUSSIM_Reset(void);

// Plugs in a printer with factory settings (infrastructure mode word 1, no network joined, no
// search results, searches with parameters supported for mode indexes 1 and 4, version text
// "1.00"). Returns its index (0, 1, ... in plugging order) or -1. Several printers may share a
// serial number. Searches list plugged printers in plugging order. The printer joins the
// simulated world on the next free USB port ("USB001", ...), seen by this library only.
int __cdecl VTWIDUSSIM_AddPrinter(const char* modelName, const char* serialNumber);

// Unplugs a printer: later searches do not list it and its USB instances answer
// VTWIDUS_ERROR_CODE_DEVICE (nor do the other USB faces of the world see it).
int __cdecl VTWIDUSSIM_UnplugPrinter(int printer);

// Sets the number that an object holds, keeping the object's kind (INTEGER, Gauge32, or an
// OCTET STRING of 4 bytes most significant first for the octet-coded words .1.3.1.11.0 and
// .1.3.2.100.2.0).
int __cdecl VTWIDUSSIM_SetInt(int printer, const char* oid, int value);

// Sets the text that an object holds: an OCTET STRING of the text's bytes, or for address
// objects the dotted IPv4 or the IPv6 text turned into 4 or 16 bytes (-1 for a bad address).
// The serial-number object .1.2.1.8.1.3.1.1 reads the printer's identity (the simulated
// printer's shared model); setting its text changes that identity. SetInt or SetRaw on it
// detaches it from the identity.
int __cdecl VTWIDUSSIM_SetText(int printer, const char* oid, const char* text);

// Stores a raw value of any SNMP type tag (bytes may be null when length is 0). An object that
// does not exist yet is created read-only.
int __cdecl VTWIDUSSIM_SetRaw(int printer, const char* oid, int type, const unsigned char* bytes,
                              int length);

// Removes an object, so that a GET answers noSuchObject and a SET noCreation.
int __cdecl VTWIDUSSIM_RemoveObject(int printer, const char* oid);

// Reads what an object holds now, without going through the agent (no search or mode step is
// taken). GetInt fails for a value that is not a number; GetText renders addresses as text and
// other values as their bytes, and returns the whole length (cut to size - 1, terminated).
int __cdecl VTWIDUSSIM_GetInt(int printer, const char* oid, int* value);
int __cdecl VTWIDUSSIM_GetText(int printer, const char* oid, char* buffer, int size);

// ---------------------------------------------------------------------------------------------
// Access-point searches.

typedef struct VTWIDUSSIM_AccessPoint {
    const char* ssid;           // network name, at most 32 bytes
    const unsigned char* bssid; // station address bytes (usually 6), may be null
    int bssidLength;
    int phyType;
    int channel;
    int authentication;
    int encryption;
    int signalLevel;
} VTWIDUSSIM_AccessPoint;

// Adds a network that the printer's next searches find (in this order).
int __cdecl VTWIDUSSIM_AddAccessPoint(int printer, const VTWIDUSSIM_AccessPoint* accessPoint);
int __cdecl VTWIDUSSIM_ClearAccessPoints(int printer);

// Publishes the networks added so far as the result table of a finished search, with the
// given search time value and the matching count, without a search being started (a printer
// that scans by itself).
int __cdecl VTWIDUSSIM_PublishApSearchResults(int printer, unsigned int timeValue);

// Support-table row .1.3.2.100.100.8.1.2.<modeIndex>.<flags> = value; flags -1 gives the value
// for every flag set of that index. A row that is not set answers noSuchInstance.
int __cdecl VTWIDUSSIM_SetSupport(int printer, int modeIndex, int flags, int value);
int __cdecl VTWIDUSSIM_ClearSupport(int printer);

// Behaviours (VTWIDUSSIM_SetBehaviour).
// Reads of the search time value .1.3.2.100.100.3.0 that still show the old value after a
// search was started (default 0: the first read after the start shows the search finished).
#define VTWIDUSSIM_BEHAVIOUR_APSEARCH_POLLS 1
// Reads of the dot11 mode word .1.3.2.100.2.0 that still show the old word after a SET of it
// (default 0); -1: the printer never takes the new word.
#define VTWIDUSSIM_BEHAVIOUR_MODE_CHANGE_POLLS 2
// The mode word that the printer shows once a search has finished (default -1: unchanged).
#define VTWIDUSSIM_BEHAVIOUR_MODE_AFTER_SEARCH 3

int __cdecl VTWIDUSSIM_SetBehaviour(int printer, int behaviour, int value);

// A search starts with a SET of .1.3.2.100.100.2.0 = 3 (plain), of .1.3.2.100.100.7.0 (one
// network name) or of .1.3.2.100.100.9.0 (parameter text; the object reads back its version
// text). When it finishes, the time value .1.3.2.100.100.3.0 grows by one, the count
// .1.3.2.100.100.5.0 and the rows .1.3.2.100.100.10.1.1.<column>.<row> show the networks added.
// Number of searches started on the printer.
int __cdecl VTWIDUSSIM_GetApSearchStarts(int printer);
// The last search start: "plain", "ssid:<name>" or "params:<text>"; "" when none. Returns the
// whole length (cut to size - 1, terminated) or -1.
int __cdecl VTWIDUSSIM_GetLastApSearch(int printer, char* buffer, int size);

// The last time-out passed to VTWIDUS_SetUsbTimeout for an instance of this printer, -1 none.
int __cdecl VTWIDUSSIM_GetLastUsbTimeout(int printer);

// ---------------------------------------------------------------------------------------------
// Faults.

// The entry returns value as its result. Entries that return a handle return null; GetOidCount
// returns value as the count; Search returns value without writing the list pointer.
#define VTWIDUSSIM_ACTION_RETURN 1
// DiscoveryV3, Comm, Search: the answer takes value ms of simulated time. When value reaches
// the instance's USB time-out, the time-out passes and the entry returns
// VTWIDUS_ERROR_CODE_RECEIVE_TIMEOUT (Comm: the request does not reach the printer).
#define VTWIDUSSIM_ACTION_DELAY 2
// Comm: the response carries error status value, with the error index of the first varbind
// under the fault's OID (1 without an OID); the printer changes nothing.
#define VTWIDUSSIM_ACTION_ERROR_STATUS 3
// Comm: response varbinds under the fault's OID (all without an OID) become noSuchObject,
// noSuchInstance, an empty value of their type (length 0, null bytes), or are left out.
#define VTWIDUSSIM_ACTION_NO_SUCH_OBJECT 4
#define VTWIDUSSIM_ACTION_NO_SUCH_INSTANCE 5
#define VTWIDUSSIM_ACTION_EMPTY_VALUE 6
#define VTWIDUSSIM_ACTION_OMIT_VARBIND 7
// Search: returns value (a positive count) and a null list.
#define VTWIDUSSIM_ACTION_COUNT_WITHOUT_LIST 8
// Any entry: the call waits (in real time, at most 20 s) until VTWIDUSSIM_ReleaseBlocked, then
// returns value when it is not 0 (as VTWIDUSSIM_ACTION_RETURN), else goes on normally.
#define VTWIDUSSIM_ACTION_BLOCK 9

typedef struct VTWIDUSSIM_Fault {
    int entry;       // VTWIDUSSIM_ENTRY_...
    int printer;     // printer index, -1 any (entries without a printer: use -1)
    const char* oid; // Comm: only requests with a varbind at or under this OID; null any
    int command;     // Comm: 0xA0 GET, 0xA3 SET, 0 any
    int skip;        // matching calls that pass before the fault fires
    int times;       // how often it fires; -1 for every later matching call
    int action;      // VTWIDUSSIM_ACTION_...
    int value;       // result, delay in ms, error status or count, as the action says
} VTWIDUSSIM_Fault;

// Adds a fault; returns its id (0, 1, ...) or -1. Faults fire in the order they were added;
// every matching fault fires, and of those that decide the result the first one wins.
int __cdecl VTWIDUSSIM_AddFault(const VTWIDUSSIM_Fault* fault);
// How often the fault fired; -1 for an unknown id.
int __cdecl VTWIDUSSIM_GetFaultHits(int faultId);
void __cdecl VTWIDUSSIM_ClearFaults(void);

// True (1) once at least count calls wait in a VTWIDUSSIM_ACTION_BLOCK fault, within timeoutMs
// of real time; else 0.
int __cdecl VTWIDUSSIM_WaitForBlocked(int count, int timeoutMs);
// Lets every call that waits in a VTWIDUSSIM_ACTION_BLOCK fault go on.
void __cdecl VTWIDUSSIM_ReleaseBlocked(void);

// ---------------------------------------------------------------------------------------------
// What the library was asked.

// Calls of an entry since the last reset (also calls with bad arguments); -1 unknown entry.
int __cdecl VTWIDUSSIM_GetCallCount(int entry);

// One journal line per VTWIDUS_Comm that reached a printer, in order:
//   "<serial> GET <oid> <oid> ..." or "<serial> SET <oid>=<value> ...", with no varbind
//   "<serial> SET"; OIDs below the maker's arc are written with a leading "."; values as
//   "i:<int>" INTEGER, "g:<unsigned>" Gauge32, "a:<a.b.c.d>" IpAddress, "s:<text>" printable
//   OCTET STRING, "x:<hex>" other OCTET STRING (lowercase, two digits per byte), "null",
//   "t<tag>:<hex>" other types.
int __cdecl VTWIDUSSIM_GetJournalCount(void);
// Returns the whole line's length (cut to size - 1, terminated) or -1.
int __cdecl VTWIDUSSIM_GetJournalLine(int index, char* buffer, int size);
void __cdecl VTWIDUSSIM_ClearJournal(void);

// Packets and USB instances created and not yet destroyed (across resets).
int __cdecl VTWIDUSSIM_GetLivePackets(void);
int __cdecl VTWIDUSSIM_GetLiveUsbInstances(void);

// Simulated milliseconds that delays and time-outs took since the last reset.
long long __cdecl VTWIDUSSIM_GetSimulatedTimeMs(void);

#ifdef __cplusplus
}
#endif
