#include "dll_fixture.h"

namespace vtwidussim::test {

DllTest::DllTest() : sim_(qelwin::ThisModuleFolder()) {
    HMODULE m = sim_.Module();
    if (m == nullptr) {
        return;
    }
    bool all = true;
    auto bind = [&](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
            reinterpret_cast<void*>(::GetProcAddress(m, name)));
        all = all && slot != nullptr;
    };
    bind(api_.CreatePacket, "VTWIDUS_CreatePacket");
    bind(api_.DestroyPacket, "VTWIDUS_DestroyPacket");
    bind(api_.SetCommunityName, "VTWIDUS_SetCommunityName");
    bind(api_.SetMsgId, "VTWIDUS_SetMsgId");
    bind(api_.GetMsgId, "VTWIDUS_GetMsgId");
    bind(api_.SetCommand, "VTWIDUS_SetCommand");
    bind(api_.GetCommand, "VTWIDUS_GetCommand");
    bind(api_.SetRequestId, "VTWIDUS_SetRequestId");
    bind(api_.GetRequestId, "VTWIDUS_GetRequestId");
    bind(api_.GetErrorStatus, "VTWIDUS_GetErrorStatus");
    bind(api_.GetErrorIndex, "VTWIDUS_GetErrorIndex");
    bind(api_.AddOid, "VTWIDUS_AddOid");
    bind(api_.GetOidCount, "VTWIDUS_GetOidCount");
    bind(api_.GetOid, "VTWIDUS_GetOid");
    bind(api_.OctetsToInt, "VTWIDUS_OctetsToInt");
    bind(api_.OctetsToUnsignedInt, "VTWIDUS_OctetsToUnsignedInt");
    bind(api_.IntToOctets, "VTWIDUS_IntToOctets");
    bind(api_.UnsignedIntToOctets, "VTWIDUS_UnsignedIntToOctets");
    bind(api_.Search, "VTWIDUS_Search");
    bind(api_.CreateUsbInstance, "VTWIDUS_CreateUsbInstance");
    bind(api_.DestroyUsbInstance, "VTWIDUS_DestroyUsbInstance");
    bind(api_.SetUsbTimeout, "VTWIDUS_SetUsbTimeout");
    bind(api_.Comm, "VTWIDUS_Comm");
    bind(api_.DiscoveryV3, "VTWIDUS_DiscoveryV3");
    bound_ = all;
}

void DllTest::SetUp() {
    ASSERT_TRUE(sim_.Loaded());
    ASSERT_TRUE(bound_);
    sim_->Reset();
}

void DllTest::TearDown() {
    if (!bound_) {
        return;
    }
    for (VTWIDUS_USB_INSTANCE usb : opened_) {
        api_.DestroyUsbInstance(usb);
    }
    EXPECT_EQ(sim_->GetLivePackets(), 0) << "every packet is destroyed";
    EXPECT_EQ(sim_->GetLiveUsbInstances(), 0);
}

VTWIDUS_USB_INSTANCE DllTest::Open(int index) {
    VTWIDUS_USB_INSTANCE usb = api_.CreateUsbInstance(&list_[index]);
    if (usb != nullptr) {
        opened_.push_back(usb);
    }
    return usb;
}

int DllTest::Exchange(VTWIDUS_USB_INSTANCE usb, std::uint8_t command,
                      const std::vector<VTWIDUS_VARBIND>& varbinds, std::vector<Answered>* out,
                      int* status, int* errorIndex) {
    VTWIDUS_PACKET request = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    VTWIDUS_PACKET response = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    EXPECT_EQ(api_.SetCommand(request, command), 0);
    for (const VTWIDUS_VARBIND& vb : varbinds) {
        EXPECT_EQ(api_.AddOid(request, &vb), 0) << vb.oid_;
    }
    const int rc = api_.Comm(usb, request, response);
    if (rc == 0) {
        int s = -1;
        int index = -1;
        EXPECT_EQ(api_.GetErrorStatus(response, &s), 0);
        EXPECT_EQ(api_.GetErrorIndex(response, &index), 0);
        if (status != nullptr) {
            *status = s;
        }
        if (errorIndex != nullptr) {
            *errorIndex = index;
        }
        if (out != nullptr) {
            out->clear();
            const int n = api_.GetOidCount(response);
            for (int i = 0; i < n; ++i) {
                const VTWIDUS_VARBIND* vb = nullptr;
                EXPECT_EQ(api_.GetOid(response, i, &vb), 0);
                const std::uint8_t* p = vb->octets_.value_;
                out->push_back(
                    {vb->oid_, vb->type_, std::vector<std::uint8_t>(p, p + vb->octets_.length_)});
            }
        }
    }
    api_.DestroyPacket(request);
    api_.DestroyPacket(response);
    return rc;
}

int DllTest::Get(VTWIDUS_USB_INSTANCE usb, const std::vector<std::string>& oids,
                 std::vector<Answered>* out, int* status) {
    std::vector<VTWIDUS_VARBIND> varbinds;
    for (const std::string& oid : oids) {
        varbinds.push_back({oid.c_str(), VTWIDUS_TYPE_NULL, {0, nullptr}});
    }
    return Exchange(usb, VTWIDUS_COMMAND_GET, varbinds, out, status, nullptr);
}

int DllTest::Set(VTWIDUS_USB_INSTANCE usb, const std::vector<VTWIDUS_VARBIND>& varbinds,
                 int* status, int* errorIndex) {
    return Exchange(usb, VTWIDUS_COMMAND_SET, varbinds, nullptr, status, errorIndex);
}

int DllTest::GetInt(VTWIDUS_USB_INSTANCE usb, const std::string& oid) {
    EXPECT_EQ(api_.DiscoveryV3(usb), 0);
    std::vector<Answered> out;
    EXPECT_EQ(Get(usb, {oid}, &out), 0);
    if (out.size() != 1) {
        ADD_FAILURE() << "no varbind for " << oid;
        return INT32_MIN;
    }
    VTWIDUS_PACKET scratch = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    const VTWIDUS_OCTETS octets{static_cast<std::uint32_t>(out[0].bytes.size()),
                                out[0].bytes.data()};
    std::int32_t value = INT32_MIN;
    EXPECT_EQ(api_.OctetsToInt(scratch, &octets, &value), 0) << oid;
    api_.DestroyPacket(scratch);
    return value;
}

} // namespace vtwidussim::test
