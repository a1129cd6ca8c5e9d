// Each variant of a stand-in library lacks exactly its one entry, keeps the others, and is still a
// face of the same world.
#include "face_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace qelworld::test {
namespace {

struct Library {
    const wchar_t* file;
    std::vector<const char*> entries;
};

const Library kLibraries[] = {
    {L"vtmpu2",
     {"pu2Open", "pu2Close", "pu2SetIF", "pu2SetIP", "pu2SetPrinterName", "pu2SetUrl",
      "pu2SetTimeout", "pu2SetMasterPortOption", "pu2SetEventType", "pu2SetCommandType",
      "pu2SetEventBufferSize", "pu2Write", "pu2Read"}},
    {L"vtmpu",
     {"puOpen", "puOpenPort", "puClose", "puDeviceID", "puRead", "puWrite", "pulowWorkingPort"}},
    {L"vtwiduns",
     {"VTWIDUNS_CreateInstance", "VTWIDUNS_DestroyInstance", "VTWIDUNS_OptSetting",
      "VTWIDUNS_Search", "VTWIDUNS_GetDeviceId", "VTWIDUNS_CommStart", "VTWIDUNS_CommEnd",
      "VTWIDUNS_GetInfo", "VTWIDUNS_SetInfo", "VTWIDUNS_Control", "VTWIDUNS_CommEndNotUnLock",
      "VTWIDUNS_UnLock"}},
};

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

TEST(WorldVariantsTest, EachVariantLacksExactlyItsEntry) {
    Client world(qelwin::ThisModuleFolder());
    ASSERT_EQ(world.Load("[printer office]\nipv4 = 192.168.1.31\n"), "");
    for (const Library& lib : kLibraries) {
        for (const char* missing : lib.entries) {
            const std::wstring folder =
                qelwin::ThisModuleFolder() + L"\\variants\\" + lib.file + L"-no-" + Wide(missing);
            SCOPED_TRACE(missing);
            FaceLibrary variant(std::wstring(lib.file) + L".dll", folder);
            ASSERT_TRUE(variant.Loaded());
            for (const char* entry : lib.entries) {
                const bool present = ::GetProcAddress(variant.Module(), entry) != nullptr;
                EXPECT_EQ(present, entry != missing) << entry;
            }
        }
    }
    // A variant answers from the same world: its channel reaches the world's printer.
    Vtmpu2 variant(qelwin::ThisModuleFolder() + L"\\variants\\vtmpu2-no-pu2SetMasterPortOption");
    const PU2_HANDLE h = variant.Open();
    EXPECT_EQ(variant.SetIP(h, L"192.168.1.31"), 0);
    EXPECT_EQ(world.Journal().back(), "pu2SetIP " + std::to_string(h) + " 192.168.1.31 -> 0");
}

} // namespace
} // namespace qelworld::test
