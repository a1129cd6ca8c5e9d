// The printer's version of the search with parameters (GET) and the start of such a search
// (SET of the parameter text).
#pragma once

#include "aoidinfo.h"

#include <string>

namespace vtwidwus {

class CApSearchExecuteWithParamsInfo final : public AOidInfo {
public:
    CApSearchExecuteWithParamsInfo() = default;
    // Word -1: not sent; empty texts: not sent.
    CApSearchExecuteWithParamsInfo(int channel24, int channel5, std::string ssid, std::string bssid)
        : channel24_(channel24), channel5_(channel5), ssid_(std::move(ssid)),
          bssid_(std::move(bssid)) {}

    bool SetOidOfGetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfGetRequest(VTWIDUS_PACKET response) override;
    bool SetOidOfSetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfSetRequest(VTWIDUS_PACKET response) override;

    // The SET value: "<bgch-8:...>", "<ach-8:...>", "<ssid-n:...>", "<bssid-n:...>" for the
    // pieces that apply, in that order.
    std::string ParameterText() const;
    const std::string& Version() const noexcept { return version_; }
    int Channel24() const noexcept { return channel24_; }
    int Channel5() const noexcept { return channel5_; }
    const std::string& Ssid() const noexcept { return ssid_; }
    const std::string& Bssid() const noexcept { return bssid_; }

private:
    int channel24_ = -1;
    int channel5_ = -1;
    std::string ssid_;
    std::string bssid_;
    std::string version_;
};

} // namespace vtwidwus
