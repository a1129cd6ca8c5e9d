// What a flow test against the simulated world and cloud starts from: a European user's settings
// in a private registry with the text-id language, the cloud of this test with the program's
// service addresses on it, waits that pass at once, the world's control and a hidden window for
// the flows to post to.
#pragma once

#include <windows.h>

#include "printerutil/server_param.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelinfo/ApplicationInfo.h"
#include "qelworld/qelworld_client.h"
#include "simulated_cloud.h"
#include "testkit/registry_sandbox.h"
#include "testkit/text_ids.h"
#include "win/module_path.h"
#include "win/unique_any.h"

namespace qeltest {

class SimulatedFlowTest : public MachineAndUserKeySandbox {
protected:
    void SetUp() override {
        MachineAndUserKeySandbox::SetUp();
        WriteText(qelinfo::kSettingsKey, L"LanguageCode", kTextIdsLanguage);
        // A European user.
        WriteText(qelinfo::kSettingsKey, L"AREA", L"DE");
        WriteText(qelinfo::kSettingsKey, L"RESIDENCE", L"europe");
        cloud_.Reset();
        window_.reset(::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr));
        ASSERT_TRUE(window_);
    }
    void TearDown() override {
        cloud_.Release();
        MachineAndUserKeySandbox::TearDown();
    }

    // The cloud afresh, with one misbehaviour rule ("" for none).
    void ResetCloud(const char* rule) {
        cloud_.Reset();
        if (*rule != '\0') {
            cloud_.AddRule(rule);
        }
    }

    qelcloud::SimulatedCloud cloud_;
    printerutil::ScopedServiceAddresses addresses_{
        printerutil::testing::SampleServiceAddresses(cloud_)};
    printerutil::testing::FakeWaits waits_;
    printerutil::ScopedWaits waitsScope_{waits_};
    qelworld::Client world_{qelwin::ThisModuleFolder()};
    qelwin::unique_hwnd window_;
};

} // namespace qeltest
