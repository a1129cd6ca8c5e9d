// The simulated USB bus seen through vtwidus.dll: enumeration and printer instances.
#include "dll_fixture.h"

namespace vtwidussim::test {
namespace {

using BusTest = DllTest;

TEST_F(BusTest, SearchListsThePluggedPrintersInOrder) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> printers;
        std::vector<std::string> models;
    };
    const Case cases[] = {
        {{}, {}},
        {{{"Model A", "S1"}}, {"Model A"}},
        {{{"Model A", "S1"}, {"Model B", "S2"}, {"Model C", "S3"}},
         {"Model A", "Model B", "Model C"}},
        {{{"Model A", "DUP"}, {"Model B", "DUP"}}, {"Model A", "Model B"}},
    };
    for (const Case& c : cases) {
        sim_->Reset();
        for (const auto& [model, serial] : c.printers) {
            sim_->AddPrinter(model, serial);
        }
        const VTWIDUS_USB_ENTRY* list = reinterpret_cast<const VTWIDUS_USB_ENTRY*>(1);
        const int n = api_.Search(&list);
        ASSERT_EQ(n, static_cast<int>(c.models.size()));
        if (n == 0) {
            EXPECT_EQ(list, nullptr);
        }
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(list[i].modelName_, c.models[static_cast<std::size_t>(i)]);
        }
    }
}

TEST_F(BusTest, DuplicateSerialsAreTwoPrinters) {
    sim_->AddPrinter("Model A", "DUP");
    sim_->AddPrinter("Model B", "DUP");
    sim_->SetInt(1, ".1.3.1.10.0", 7);
    ASSERT_EQ(api_.Search(&list_), 2);
    EXPECT_EQ(GetInt(Open(0), Full(".1.3.1.10.0")), 1);
    EXPECT_EQ(GetInt(Open(1), Full(".1.3.1.10.0")), 7);
}

TEST_F(BusTest, SearchFaults) {
    sim_->AddPrinter("Model A", "S1");
    const auto noList =
        Client::Fault(VTWIDUSSIM_ENTRY_Search, VTWIDUSSIM_ACTION_COUNT_WITHOUT_LIST, 2);
    sim_->AddFault(&noList);
    const VTWIDUS_USB_ENTRY* list = reinterpret_cast<const VTWIDUS_USB_ENTRY*>(1);
    EXPECT_EQ(api_.Search(&list), 2);
    EXPECT_EQ(list, nullptr) << "a positive count with no list";

    const auto code = Client::Fault(VTWIDUSSIM_ENTRY_Search, VTWIDUSSIM_ACTION_RETURN,
                                    VTWIDUS_ERROR_CODE_NOT_INITIALIZED);
    sim_->AddFault(&code);
    list = nullptr;
    EXPECT_EQ(api_.Search(&list), VTWIDUS_ERROR_CODE_NOT_INITIALIZED);
    EXPECT_EQ(api_.Search(&list), 1) << "the fault fired once";
    EXPECT_EQ(api_.Search(nullptr), VTWIDUS_ERROR_CODE_PARAM);
    EXPECT_EQ(sim_->GetCallCount(VTWIDUSSIM_ENTRY_Search), 4);
}

TEST_F(BusTest, InstancesOnlyFromTheCurrentList) {
    sim_->AddPrinter("Model A", "S1");
    ASSERT_EQ(api_.Search(&list_), 1);
    const VTWIDUS_USB_ENTRY copy = list_[0];
    EXPECT_EQ(api_.CreateUsbInstance(&copy), nullptr) << "not an entry the library handed out";
    EXPECT_EQ(api_.CreateUsbInstance(nullptr), nullptr);
    VTWIDUS_USB_INSTANCE usb = Open(0);
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(sim_->GetLiveUsbInstances(), 1);
    EXPECT_EQ(api_.DestroyUsbInstance(nullptr), 0);
    EXPECT_EQ(api_.DestroyUsbInstance(usb), 0);
    opened_.clear();
    EXPECT_EQ(api_.DestroyUsbInstance(usb), VTWIDUS_ERROR_CODE_PARAM) << "destroyed twice";
    EXPECT_EQ(api_.DiscoveryV3(usb), VTWIDUS_ERROR_CODE_PARAM) << "used after destruction";
}

TEST_F(BusTest, UnpluggedOrResetPrintersAreGone) {
    sim_->AddPrinter("Model A", "S1");
    sim_->AddPrinter("Model B", "S2");
    ASSERT_EQ(api_.Search(&list_), 2);
    VTWIDUS_USB_INSTANCE a = Open(0);
    VTWIDUS_USB_INSTANCE b = Open(1);
    sim_->UnplugPrinter(0);
    EXPECT_EQ(api_.DiscoveryV3(a), VTWIDUS_ERROR_CODE_DEVICE);
    EXPECT_EQ(api_.DiscoveryV3(b), 0);
    const VTWIDUS_USB_ENTRY* list = nullptr;
    ASSERT_EQ(api_.Search(&list), 1);
    EXPECT_STREQ(list[0].modelName_, "Model B");

    sim_->Reset();
    EXPECT_EQ(api_.DiscoveryV3(b), VTWIDUS_ERROR_CODE_DEVICE);
}

TEST_F(BusTest, UsbTimeoutIsRecordedPerPrinter) {
    sim_->AddPrinter("Model A", "S1");
    ASSERT_EQ(api_.Search(&list_), 1);
    VTWIDUS_USB_INSTANCE usb = Open(0);
    EXPECT_EQ(sim_->GetLastUsbTimeout(0), -1);
    EXPECT_EQ(api_.SetUsbTimeout(usb, 2500), 0);
    EXPECT_EQ(sim_->GetLastUsbTimeout(0), 2500);
    EXPECT_EQ(api_.SetUsbTimeout(usb, -1), VTWIDUS_ERROR_CODE_PARAM);
    EXPECT_EQ(api_.SetUsbTimeout(nullptr, 10), VTWIDUS_ERROR_CODE_PARAM);
    EXPECT_EQ(sim_->GetLastUsbTimeout(0), 2500);
}

} // namespace
} // namespace vtwidussim::test
