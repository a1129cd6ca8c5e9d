// Loads the stand-in vtwidus.dll from the test's own folder with its packet-library entries
// and its control functions.
#pragma once

#include "vtwidus/vtwidus_api.h"
#include "vtwidus/vtwidussim_client.h"
#include "win/module_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtwidussim::test {

struct PacketApi {
    decltype(&VTWIDUS_CreatePacket) CreatePacket = nullptr;
    decltype(&VTWIDUS_DestroyPacket) DestroyPacket = nullptr;
    decltype(&VTWIDUS_SetCommunityName) SetCommunityName = nullptr;
    decltype(&VTWIDUS_SetMsgId) SetMsgId = nullptr;
    decltype(&VTWIDUS_GetMsgId) GetMsgId = nullptr;
    decltype(&VTWIDUS_SetCommand) SetCommand = nullptr;
    decltype(&VTWIDUS_GetCommand) GetCommand = nullptr;
    decltype(&VTWIDUS_SetRequestId) SetRequestId = nullptr;
    decltype(&VTWIDUS_GetRequestId) GetRequestId = nullptr;
    decltype(&VTWIDUS_GetErrorStatus) GetErrorStatus = nullptr;
    decltype(&VTWIDUS_GetErrorIndex) GetErrorIndex = nullptr;
    decltype(&VTWIDUS_AddOid) AddOid = nullptr;
    decltype(&VTWIDUS_GetOidCount) GetOidCount = nullptr;
    decltype(&VTWIDUS_GetOid) GetOid = nullptr;
    decltype(&VTWIDUS_OctetsToInt) OctetsToInt = nullptr;
    decltype(&VTWIDUS_OctetsToUnsignedInt) OctetsToUnsignedInt = nullptr;
    decltype(&VTWIDUS_IntToOctets) IntToOctets = nullptr;
    decltype(&VTWIDUS_UnsignedIntToOctets) UnsignedIntToOctets = nullptr;
    decltype(&VTWIDUS_Search) Search = nullptr;
    decltype(&VTWIDUS_CreateUsbInstance) CreateUsbInstance = nullptr;
    decltype(&VTWIDUS_DestroyUsbInstance) DestroyUsbInstance = nullptr;
    decltype(&VTWIDUS_SetUsbTimeout) SetUsbTimeout = nullptr;
    decltype(&VTWIDUS_Comm) Comm = nullptr;
    decltype(&VTWIDUS_DiscoveryV3) DiscoveryV3 = nullptr;
};

// A decoded response varbind.
struct Answered {
    std::string oid;
    int type = 0;
    std::vector<std::uint8_t> bytes;
};

class DllTest : public ::testing::Test {
protected:
    DllTest();
    void SetUp() override;
    void TearDown() override;

    // Opens the printer of search entry index (after a Search).
    VTWIDUS_USB_INSTANCE Open(int index);
    // One exchange on an instance: GET with NULL varbinds, or SET of the given varbinds.
    // Returns the Comm result; on 0 fills status and the response varbinds.
    int Get(VTWIDUS_USB_INSTANCE usb, const std::vector<std::string>& oids,
            std::vector<Answered>* out, int* status = nullptr);
    int Set(VTWIDUS_USB_INSTANCE usb, const std::vector<VTWIDUS_VARBIND>& varbinds,
            int* status = nullptr, int* errorIndex = nullptr);
    // Discovery and a GET of one OID; the value's int, or the failure as a test failure.
    int GetInt(VTWIDUS_USB_INSTANCE usb, const std::string& oid);

    static std::string Full(const std::string& suffix) { return "1.3.6.1.4.1.58217" + suffix; }

    vtwidussim::Client sim_;
    PacketApi api_;
    bool bound_ = false;
    const VTWIDUS_USB_ENTRY* list_ = nullptr;
    std::vector<VTWIDUS_USB_INSTANCE> opened_;

private:
    int Exchange(VTWIDUS_USB_INSTANCE usb, std::uint8_t command,
                 const std::vector<VTWIDUS_VARBIND>& varbinds, std::vector<Answered>* out,
                 int* status, int* errorIndex);
};

} // namespace vtwidussim::test
