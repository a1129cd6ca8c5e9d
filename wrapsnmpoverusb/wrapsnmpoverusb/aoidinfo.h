// The abstract information object: OIDs of one group of the printer's management information,
// the varbinds of its GET and SET requests, and its record at the library boundary.
#pragma once

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>
#include <vtwidus/vtwidus_api.h>

#include <string>
#include <string_view>

// The printer maker's private enterprise arc; every OID of the wrapper lies below it.
#define VTW_OID(suffix) "1.3.6.1.4.1.58217" suffix

namespace vtwidwus {

// What an int decoder stores for a noSuchObject or noSuchInstance value, and for a value that
// cannot be decoded.
inline constexpr int kNoSuchIntValue = VTWIDWUS_NOSUCHOBJECT_NOSUCHINSTANCE_INT_VALUE;
inline constexpr int kUndecodedIntValue = -2;

class AOidInfo {
public:
    // Adds the GET varbinds to a request packet.
    virtual bool SetOidOfGetRequest(VTWIDUS_PACKET request);
    // Decodes a GET response; true when at least one varbind was taken.
    virtual bool GetOidOfGetRequest(VTWIDUS_PACKET response);
    // Adds the SET varbinds of the values that differ from the before-values.
    virtual bool SetOidOfSetRequest(VTWIDUS_PACKET request);
    // Checks a SET response.
    virtual bool GetOidOfSetRequest(VTWIDUS_PACKET response);
    // Copies the values into the caller's record.
    virtual void GetInfoTagData(void* record) const;
    // Takes the values from the caller's record.
    virtual void SetInfoTagData(const void* record);
    // Remembers an object of exactly the same class as the before-values of the next SET.
    virtual bool SetOrgInstance(const AOidInfo* org);

    // Builders: add one varbind to a request packet; true on success.
    static bool AddGetRequestOid(VTWIDUS_PACKET packet, const char* oid);
    static bool AddSetRequestOidIntValue(VTWIDUS_PACKET packet, const char* oid, int value);
    static bool AddSetRequestOidGaugeValue(VTWIDUS_PACKET packet, const char* oid, int value);
    static bool AddSetRequestOidStringValue(VTWIDUS_PACKET packet, const char* oid,
                                            std::string_view value);
    static bool AddSetRequestOidIpAddrValue(VTWIDUS_PACKET packet, const char* oid,
                                            const char* text);
    static bool AddSetRequestOidIpV6AddrValue(VTWIDUS_PACKET packet, const char* oid,
                                              const char* text);
    static bool AddSetRequestOidOctetValueByInt(VTWIDUS_PACKET packet, const char* oid, int value);

    // Decoders of one response varbind.
    static std::string GetValueToString(const VTWIDUS_VARBIND& varbind);
    static int GetValueToInt(const VTWIDUS_VARBIND& varbind);
    static int GetValueToUnsignedInt(const VTWIDUS_VARBIND& varbind);
    static std::string GetValueToToHexString(const VTWIDUS_VARBIND& varbind);
    static std::string GetValueToIpAddr(const VTWIDUS_VARBIND& varbind);
    static std::string GetValueToIpV6Addr(const VTWIDUS_VARBIND& varbind);

protected:
    AOidInfo() = default;
    AOidInfo(const AOidInfo&) = default;
    AOidInfo& operator=(const AOidInfo&) = default;
    ~AOidInfo() = default;

    // Calls take(varbind) for every varbind of a response that the library hands out (a
    // failed hand-out is traced and skipped); take returns whether it used the varbind.
    // Returns the number used.
    template <typename Take> static int WalkResponse(VTWIDUS_PACKET response, Take&& take);
    // Whether a decode took at least one value of a response; a decode that took none is traced.
    static bool AnyTaken(int taken);
    static bool OidEquals(const VTWIDUS_VARBIND& varbind, std::string_view oid) noexcept;
    // The row OID: base, ".", the decimal index; false (traced) when the index has no text.
    static bool AppendIndex(std::string& oid, int index, const char* traceText);
    // The check of a SET response of the objects that start a search: true when a varbind with
    // the OID carries a value that is not empty.
    static bool SetAnswered(VTWIDUS_PACKET response, std::string_view oid);
};

} // namespace vtwidwus

#include "aoidinfo_walk.h"
