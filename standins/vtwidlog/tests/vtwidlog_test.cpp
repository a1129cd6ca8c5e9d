// The stand-in trace library records what it is given, formatted, for tests to read.
#include "vtwidlog/vtwidlog_api.h"
#include "vtwidlog/vtwidlogsim_control.h"
#include "win/module_path.h"
#include "win/unique_any.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

class TraceLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring path = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"vtwidlog.dll");
        module_.reset(::LoadLibraryW(path.c_str()));
        ASSERT_TRUE(module_);
        bind(trace_, "VTWIDLOG_Trace");
        bind(count_, "VTWIDLOGSIM_GetCount");
        bind(record_, "VTWIDLOGSIM_GetRecord");
        bind(format_, "VTWIDLOGSIM_GetFormat");
        bind(source_, "VTWIDLOGSIM_GetSource");
        bind(clear_, "VTWIDLOGSIM_Clear");
        clear_();
    }
    template <typename Slot> void bind(Slot& slot, const char* name) {
        slot =
            reinterpret_cast<Slot>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
        ASSERT_NE(slot, nullptr) << name;
    }
    std::string Text(int index, int* level = nullptr) {
        const int n = record_(index, level, nullptr, 0);
        if (n < 0) {
            return "<none>";
        }
        std::string text(static_cast<std::size_t>(n) + 1, '\0');
        record_(index, level, text.data(), n + 1);
        text.resize(static_cast<std::size_t>(n));
        return text;
    }

    qelwin::unique_hmodule module_;
    decltype(&VTWIDLOG_Trace) trace_ = nullptr;
    decltype(&VTWIDLOGSIM_GetCount) count_ = nullptr;
    decltype(&VTWIDLOGSIM_GetRecord) record_ = nullptr;
    decltype(&VTWIDLOGSIM_GetFormat) format_ = nullptr;
    decltype(&VTWIDLOGSIM_GetSource) source_ = nullptr;
    decltype(&VTWIDLOGSIM_Clear) clear_ = nullptr;
};

TEST_F(TraceLibraryTest, RecordsFormattedTextLevelFormatAndSource) {
    trace_(0, "wrapvtwidus.cpp", 12, "VTWIDWUS_CreateInstance:in");
    trace_(3, "device.cpp", 345, "Comm:errStatus:%d", 5);
    trace_(0, "exports.cpp", 7, "VTWIDWUS_GetInfo:device:modelName_:%s serialNumber_:%s", "M",
           "S1");
    trace_(2, "ap.cpp", 8, "paramInfo:%08X handle:%lu", 0x2Au, 4096ul);
    ASSERT_EQ(count_(), 4);
    int level = -1;
    EXPECT_EQ(Text(0, &level), "VTWIDWUS_CreateInstance:in");
    EXPECT_EQ(level, 0);
    EXPECT_EQ(Text(1, &level), "Comm:errStatus:5");
    EXPECT_EQ(level, 3);
    EXPECT_EQ(Text(2), "VTWIDWUS_GetInfo:device:modelName_:M serialNumber_:S1");
    EXPECT_EQ(Text(3), "paramInfo:0000002A handle:4096");

    char buffer[64] = {};
    EXPECT_EQ(format_(1, buffer, sizeof buffer), 17);
    EXPECT_STREQ(buffer, "Comm:errStatus:%d");
    int line = 0;
    EXPECT_EQ(source_(1, buffer, sizeof buffer, &line), 10);
    EXPECT_STREQ(buffer, "device.cpp");
    EXPECT_EQ(line, 345);
}

TEST_F(TraceLibraryTest, ReadingIsBoundedAndCheckedAndClearEmpties) {
    trace_(1, nullptr, 0, "%s", std::string(5000, 'x').c_str());
    trace_(1, "f", 1, nullptr);
    ASSERT_EQ(count_(), 2);
    EXPECT_EQ(Text(0).size(), static_cast<std::size_t>(VTWIDLOGSIM_MAX_TEXT - 1));
    EXPECT_EQ(Text(1), "");
    char small[4] = {'?', '?', '?', '?'};
    EXPECT_EQ(record_(0, nullptr, small, sizeof small), VTWIDLOGSIM_MAX_TEXT - 1);
    EXPECT_STREQ(small, "xxx");
    EXPECT_EQ(record_(2, nullptr, small, sizeof small), -1);
    EXPECT_EQ(record_(-1, nullptr, small, sizeof small), -1);
    EXPECT_EQ(record_(0, nullptr, nullptr, 5), -1);
    clear_();
    EXPECT_EQ(count_(), 0);
}

TEST_F(TraceLibraryTest, ConcurrentTracesAreAllKept) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 250; ++i) {
                trace_(0, "t", t, "thread %d line %d", t, i);
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    EXPECT_EQ(count_(), 1000);
}

} // namespace
