// Starts a plain access-point search (SET of the start object to 3).
#pragma once

#include "aoidinfo.h"

namespace vtwidwus {

class CApSearchExecuteInfo final : public AOidInfo {
public:
    bool SetOidOfSetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfSetRequest(VTWIDUS_PACKET response) override;
};

} // namespace vtwidwus
