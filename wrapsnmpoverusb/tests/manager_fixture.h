// An instance with one fake printer found by a search, a fake clock and captured traces.
#pragma once

#include "fake_vtwidus.h"
#include "wrapvtwidusmanager.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vtwidwus::test {

inline const std::string kArc = "1.3.6.1.4.1.58217";
inline std::string Oid(const char* suffix) {
    return kArc + suffix;
}

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_.models = {"Model One"};
        SetText(".1.2.1.8.1.3.1.1", "SN0001");
        SetState(1, 1, 1, 4);
        int count = 0;
        tagUsbDevice* list = nullptr;
        ASSERT_EQ(manager_.Search(&count, &list), 0);
        ASSERT_EQ(count, 1);
        device_ = list[0];
        ResetCounters();
    }

    void SetInt(const char* suffix, int value) {
        fake_.mib[Oid(suffix)] = IntegerValue(Oid(suffix), value);
    }
    void SetText(const char* suffix, const std::string& text) {
        fake_.mib[Oid(suffix)] = TextValue(Oid(suffix), text);
    }
    void SetState(int networkState, int select, int dot11State, int mode) {
        SetInt(".1.3.1.10.0", networkState);
        SetInt(".1.3.1.11.0", select);
        SetInt(".1.3.2.100.1.0", dot11State);
        SetInt(".1.3.2.100.2.0", mode);
    }
    void ResetCounters() {
        fake_.requests.clear();
        fake_.comms = 0;
        fake_.discoveries = 0;
        clock_.sleeps.clear();
        TraceCapture::Lines().clear();
    }
    // The OIDs of request i.
    std::vector<std::string> Oids(std::size_t i) const {
        std::vector<std::string> oids;
        for (const FakeVarbind& v : fake_.requests.at(i).varbinds) {
            oids.push_back(v.oid);
        }
        return oids;
    }
    // Cancels the device at the first sleep.
    void CancelAtFirstSleep() {
        clock_.onSleep = [this](std::uint64_t) {
            if (!cancelled_) {
                cancelled_ = true;
                EXPECT_EQ(manager_.Cancel(&device_, 1), 0);
            }
        };
    }

    FakeVtwidus fake_;
    FakeConvert clock_;
    TraceCapture traces_;
    CWrapVtwidusManager manager_;
    tagUsbDevice device_{};
    bool cancelled_ = false;
};

} // namespace vtwidwus::test
