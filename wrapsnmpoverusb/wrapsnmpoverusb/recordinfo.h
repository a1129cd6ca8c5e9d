// Settable information classes: one boundary record, described field by field.
#pragma once

#include "aoidinfo.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <typeinfo>

namespace vtwidwus {

// How a field's value is read from a GET response.
enum class GetKind : std::uint8_t { None, Int, Text, IpV4, IpV6 };
// How a field's value is written in a SET request.
enum class SetKind : std::uint8_t { None, OctetsByInt, Integer, Gauge, Text, IpV4, IpV6 };

// One field of a boundary record: its OID, where it lies and how it travels. Int fields are 4
// bytes; text fields are NUL-terminated char arrays of the given size.
struct OidField {
    const char* oid;
    std::uint16_t offset;
    std::uint16_t size;
    GetKind get;
    SetKind set;
    bool sentEveryTime = false; // sent with every SET, changed or not
};

// Field-table work shared by the record classes.
namespace recordcodec {
// Initial state: ints -1, texts empty, padding zero.
void Reset(std::span<const OidField> fields, unsigned char* record, std::size_t size) noexcept;
bool AddGetVarbinds(VTWIDUS_PACKET request, std::span<const OidField> fields);
// Decodes the varbinds whose OIDs are fields; true when at least one was taken.
bool Decode(VTWIDUS_PACKET response, std::span<const OidField> fields, unsigned char* record);
// Adds SET varbinds for the fields that differ from org (all of them without org).
bool AddSetVarbinds(VTWIDUS_PACKET request, std::span<const OidField> fields,
                    const unsigned char* record, const unsigned char* org);
// Takes fields from the caller's record, each text read no further than its field.
void Take(std::span<const OidField> fields, unsigned char* record, const unsigned char* from,
          bool settableOnly) noexcept;
bool FieldEquals(const OidField& field, const unsigned char* a, const unsigned char* b) noexcept;
} // namespace recordcodec

template <typename Record> class CRecordInfo : public AOidInfo {
public:
    bool SetOidOfGetRequest(VTWIDUS_PACKET request) override {
        return recordcodec::AddGetVarbinds(request, fields_);
    }
    bool GetOidOfGetRequest(VTWIDUS_PACKET response) override {
        return recordcodec::Decode(response, fields_, Bytes(values_));
    }
    bool SetOidOfSetRequest(VTWIDUS_PACKET request) override {
        return recordcodec::AddSetVarbinds(request, fields_, Bytes(values_),
                                           org_ != nullptr ? Bytes(org_->values_) : nullptr);
    }
    bool GetOidOfSetRequest(VTWIDUS_PACKET) override { return true; }
    void GetInfoTagData(void* record) const override {
        if (record != nullptr) {
            std::memcpy(record, &values_, sizeof(Record));
        }
    }
    void SetInfoTagData(const void* record) override {
        if (record != nullptr) {
            recordcodec::Take(fields_, Bytes(values_), static_cast<const unsigned char*>(record),
                              false);
        }
    }
    bool SetOrgInstance(const AOidInfo* org) override {
        if (org == nullptr || typeid(*org) != typeid(*this)) {
            VTW_TRACE(3, "SetOrgInstance:param");
            return false;
        }
        org_ = static_cast<const CRecordInfo*>(org);
        return true;
    }
    // Forgets the before-values (their owner is going away).
    void ClearOrgInstance() noexcept { org_ = nullptr; }

    const Record& Values() const noexcept { return values_; }
    Record& Values() noexcept { return values_; }

protected:
    explicit CRecordInfo(std::span<const OidField> fields) noexcept : fields_(fields) {
        recordcodec::Reset(fields_, Bytes(values_), sizeof(Record));
    }
    CRecordInfo(const CRecordInfo&) = default;
    CRecordInfo& operator=(const CRecordInfo&) = default;
    ~CRecordInfo() = default;

    static unsigned char* Bytes(Record& r) noexcept { return reinterpret_cast<unsigned char*>(&r); }
    static const unsigned char* Bytes(const Record& r) noexcept {
        return reinterpret_cast<const unsigned char*>(&r);
    }

    std::span<const OidField> fields_;
    Record values_{};
    const CRecordInfo* org_ = nullptr;
};

} // namespace vtwidwus

// Offset and size of a record member, for an OidField.
#define VTW_FIELD(record, member)                                                                  \
    static_cast<std::uint16_t>(offsetof(record, member)),                                          \
        static_cast<std::uint16_t>(sizeof(record::member))

// OIDs of the interface table columns: IF10.n and IF20.n of an interface row (.2 wired,
// .3 infrastructure).
#define VTW_IF10(n, row) VTW_OID(".1.3.3.1.100.10.1." #n "." #row)
#define VTW_IF20(n, row) VTW_OID(".1.3.3.1.100.20.1." #n "." #row)
