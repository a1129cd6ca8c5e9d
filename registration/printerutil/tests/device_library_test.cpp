// Binding the device library: where it is looked for, which libraries count as bound, retrying
// after a failure, and one binding for threads that race to it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "printerutil/device_library.h"
#include "printerutil/device_operations.h"
#include "qelcmn/text_utils.h"

namespace {

std::wstring ProbePath(const wchar_t* name) {
    return printerutil::MakeModuleDllPath(std::wstring(L"printerutil-probes\\") + name);
}

TEST(DeviceLibrary, PathIsTheProgramFolderAndTheName) {
    std::wstring folder = qelcmn::GetModuleFilePath();
    qelcmn::RemoveFileSpec(folder);
    EXPECT_EQ(printerutil::MakeModuleDllPath(L"vtqeldevc"), folder + L"\\vtqeldevc.dll");
    EXPECT_EQ(printerutil::MakeModuleDllPath(L""), L"");
}

TEST(DeviceLibrary, OnlyALibraryWithBothEntriesIsBound) {
    struct Row {
        const wchar_t* name;
        bool bound;
    };
    const Row rows[] = {
        {L"complete", true},
        {L"no_delete", false},
        {L"no_create", false},
        {L"absent", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(r.name)));
        const std::wstring path = ProbePath(r.name);
        {
            printerutil::DeviceLibraryHandle binding;
            EXPECT_EQ(binding.Bind(path.c_str()), r.bound);
            const auto entries = binding.Entries();
            ASSERT_EQ(entries.has_value(), r.bound);
            EXPECT_EQ(binding.Module() != nullptr, r.bound);
            // A library without its factory is not kept loaded.
            EXPECT_EQ(::GetModuleHandleW(path.c_str()) != nullptr, r.bound);
            if (r.bound) {
                void* object = nullptr;
                EXPECT_EQ(reinterpret_cast<int(WINAPI*)(void**)>(entries->create)(&object), 42);
                // Bound once: a second bind does nothing.
                EXPECT_FALSE(binding.Bind(path.c_str()));
                EXPECT_FALSE(binding.Bind(nullptr));
            }
        }
        // The binding frees what it bound.
        EXPECT_EQ(::GetModuleHandleW(path.c_str()), nullptr);
    }
}

TEST(DeviceLibrary, AFailedBindIsTriedAgain) {
    printerutil::DeviceLibraryHandle binding;
    EXPECT_FALSE(binding.Bind(nullptr));
    EXPECT_FALSE(binding.Bind(ProbePath(L"absent").c_str()));
    EXPECT_FALSE(binding.Bind(ProbePath(L"no_delete").c_str()));
    EXPECT_FALSE(binding.Entries());
    EXPECT_TRUE(binding.Bind(ProbePath(L"complete").c_str()));
    EXPECT_TRUE(binding.Entries());
}

TEST(DeviceLibrary, RacingThreadsBindOnceAndSeeTheWholeBinding) {
    const std::wstring path = ProbePath(L"complete");
    for (int round = 0; round < 5; ++round) {
        printerutil::DeviceLibraryHandle binding;
        std::atomic<bool> go{false};
        std::atomic<int> bound{0};
        std::atomic<int> torn{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i) {
            threads.emplace_back([&] {
                while (!go.load()) {
                    std::this_thread::yield();
                }
                if (binding.Bind(path.c_str())) {
                    ++bound;
                }
                const auto entries = binding.Entries();
                if (!entries || entries->create == nullptr || entries->destroy == nullptr) {
                    ++torn;
                }
            });
        }
        go.store(true);
        for (auto& t : threads) {
            t.join();
        }
        EXPECT_EQ(bound.load(), 1);
        EXPECT_EQ(torn.load(), 0);
    }
}

TEST(DeviceLibrary, TheProgramBindsTheLibraryBesideItOnceAndDrivesRealObjects) {
    const std::wstring path = printerutil::MakeModuleDllPath(L"vtqeldevc");
    EXPECT_TRUE(printerutil::LoadDeviceLibrary());
    EXPECT_FALSE(printerutil::LoadDeviceLibrary());
    EXPECT_EQ(printerutil::ProcessDeviceLibrary().Module(), ::GetModuleHandleW(path.c_str()));
    // An identity step on a real object, created, initialised, asked and ended: nobody answers
    // at this address, so the printer's failure comes back as a code.
    const auto ids = printerutil::GetPrinterIDs(L"AT", L"RT", L"http://x", 1, L"192.0.2.5");
    ASSERT_NE(ids, nullptr);
    EXPECT_NE(ids->code, 0);
}

} // namespace
