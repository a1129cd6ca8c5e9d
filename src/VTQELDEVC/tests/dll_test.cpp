// vtqeldevc.dll itself: its exports by name and ordinal, the object's life across the
// boundary, and Initialize loading outside libraries from the DLL's own folder.
#include "device_dll.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vtqeldevc::test {
namespace {

TEST(DeviceDllTest, ExportsByNameAndOrdinal) {
    DeviceDll dll;
    const char* names[] = {"CreateVTESDev", "DeleteVTESDev", "GetVTESDevVersion"};
    for (WORD ordinal = 1; ordinal <= 3; ++ordinal) {
        EXPECT_EQ(::GetProcAddress(dll.module.get(), MAKEINTRESOURCEA(ordinal)),
                  ::GetProcAddress(dll.module.get(), names[ordinal - 1]))
            << ordinal;
    }
}

TEST(DeviceDllTest, VersionIsWrittenOnlyWhereAllThreeCanBe) {
    DeviceDll dll;
    struct Case {
        bool major, minor, revision;
    } const cases[] = {{false, true, true},
                       {true, false, true},
                       {true, true, false},
                       {false, false, false},
                       {true, true, true}};
    for (const auto& c : cases) {
        int major = -1, minor = -1, revision = -1;
        const bool all = c.major && c.minor && c.revision;
        EXPECT_EQ(dll.version(c.major ? &major : nullptr, c.minor ? &minor : nullptr,
                              c.revision ? &revision : nullptr),
                  all ? 1 : 0);
        EXPECT_EQ(major, all ? 1 : -1);
        EXPECT_EQ(minor, all ? 7 : -1);
        EXPECT_EQ(revision, all ? 0 : -1);
    }
}

TEST(DeviceDllTest, CreateOnlyIntoAnEmptyPointerAndDeleteClearsIt) {
    DeviceDll dll;
    EXPECT_EQ(dll.create(nullptr), 0);
    VTESDevIF* const taken = reinterpret_cast<VTESDevIF*>(std::uintptr_t{0x1000});
    VTESDevIF* device = taken;
    EXPECT_EQ(dll.create(&device), 0);
    EXPECT_EQ(device, taken) << "a set pointer is left as it was";
    device = nullptr;
    ASSERT_EQ(dll.create(&device), 1);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->Terminate(), 0);
    EXPECT_EQ(device->CancelSearch(), 0);
    dll.destroy(&device);
    EXPECT_EQ(device, nullptr);
    dll.destroy(&device);
    EXPECT_EQ(device, nullptr);
    dll.destroy(nullptr);
}

TEST(DeviceDllTest, InitializeLoadsFromTheLibrarysOwnFolderAndTerminateFreesIt) {
    // A library without the device library's entries stands in as vtwiduns.dll: loaded from
    // the DLL's folder, refused, and freed by Terminate.
    ASSERT_EQ(::GetModuleHandleW(L"vtwiduns.dll"), nullptr);
    const FolderBeside folder(FolderBeside::Copies{{L"vtqeldevc.dll", L"vtqeldevc.dll"},
                                                   {L"qelwin_probe.dll", L"vtwiduns.dll"}});
    {
        DeviceDll dll(folder.Path(L"vtqeldevc.dll"));
        DeviceObject device(dll);
        EXPECT_EQ(device->Initialize(), 2);
        EXPECT_NE(::GetModuleHandleW(folder.Path(L"vtwiduns.dll").c_str()), nullptr);
        EXPECT_EQ(::GetModuleHandleW(L"vtwidwus.dll"), nullptr) << "nothing after a failure";
        EXPECT_EQ(device->Terminate(), 0);
        EXPECT_EQ(::GetModuleHandleW(L"vtwiduns.dll"), nullptr);
        EXPECT_EQ(device->Terminate(), 0);
    }
    const FolderBeside alone(FolderBeside::Copies{{L"vtqeldevc.dll", L"vtqeldevc.dll"}});
    DeviceDll dll(alone.Path(L"vtqeldevc.dll"));
    DeviceObject device(dll);
    EXPECT_EQ(device->Initialize(), 2);
    EXPECT_EQ(device->Terminate(), 0);
}

} // namespace
} // namespace vtqeldevc::test
