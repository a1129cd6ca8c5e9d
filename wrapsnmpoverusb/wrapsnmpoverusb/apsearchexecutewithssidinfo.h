// Starts an access-point search for one network name.
#pragma once

#include "aoidinfo.h"

#include <string>

namespace vtwidwus {

class CApSearchExecuteWithSsidInfo final : public AOidInfo {
public:
    explicit CApSearchExecuteWithSsidInfo(std::string ssid) : ssid_(std::move(ssid)) {}

    bool SetOidOfSetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfSetRequest(VTWIDUS_PACKET response) override;

    const std::string& Ssid() const noexcept { return ssid_; }

private:
    std::string ssid_;
};

} // namespace vtwidwus
