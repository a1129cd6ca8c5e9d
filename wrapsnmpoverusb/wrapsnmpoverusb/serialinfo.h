// The printer's serial number, read when a search creates the device.
#pragma once

#include "aoidinfo.h"

#include <string>

namespace vtwidwus {

class CSerialInfo final : public AOidInfo {
public:
    bool SetOidOfGetRequest(VTWIDUS_PACKET request) override;
    // Takes the first varbind of the serial OID; false (untraced) when there is none.
    bool GetOidOfGetRequest(VTWIDUS_PACKET response) override;

    const std::string& Serial() const noexcept { return serial_; }
    void SetSerial(std::string serial) { serial_ = std::move(serial); }

private:
    std::string serial_;
};

} // namespace vtwidwus
