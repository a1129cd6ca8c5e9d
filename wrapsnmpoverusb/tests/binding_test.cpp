// Binding the packet library from a folder, and the trace facility.
#include "aoidinfo.h"
#include "fake_vtwidus.h"
#include "trace.h"
#include "wrapvtwidus.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vtwidwus::test {
namespace {

namespace fs = std::filesystem;

fs::path ProgramFolder() {
    return fs::path(ModuleFolder(nullptr));
}

struct TempFolder {
    TempFolder() {
        path = fs::temp_directory_path() /
               ("vtwidwus_binding_" + std::to_string(::GetCurrentProcessId()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

TEST(BindingTest, MissingLibraryOrEntriesLeaveTheTableUnloaded) {
    TraceCapture traces;
    TempFolder folder;
    CWrapVtwidus missing;
    EXPECT_FALSE(missing.LoadFromFolder(folder.path.wstring()));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.Module(), nullptr);
    EXPECT_TRUE(traces.Contains(3, "CWrapVtwidus:GetProcApis()"));

    // Any DLL without the entries, under the packet library's name.
    fs::copy_file(ProgramFolder() / "vtwidwus.dll", folder.path / "vtwidus.dll");
    CWrapVtwidus wrong;
    EXPECT_FALSE(wrong.LoadFromFolder(folder.path.wstring()));
    EXPECT_FALSE(wrong.IsLoaded());
    EXPECT_NE(wrong.Module(), nullptr) << "the module stays loaded";
    EXPECT_EQ(wrong.Entries().pfnVTWIDUS_Comm_, nullptr);
    wrong.Unload();
    EXPECT_EQ(wrong.Module(), nullptr);
}

TEST(BindingTest, APathThatDoesNotFitIsAFailureNotACutPath) {
    TraceCapture traces;
    CWrapVtwidus table;
    EXPECT_FALSE(table.LoadFromFolder(std::wstring(1020, L'a')));
    EXPECT_EQ(table.Module(), nullptr);
    EXPECT_TRUE(traces.Contains(4, "CWrapVtwidus:GetModuleFileNameA() or PathRemoveFileSpecA()"));
    EXPECT_EQ(ModuleFolder(nullptr), ProgramFolder().wstring());
}

TEST(BindingTest, LoadsThePacketLibraryBesideTheModule) {
    ASSERT_TRUE(fs::exists(ProgramFolder() / "vtwidus.dll"))
        << "the stand-in packet library is not built beside the tests";
    CWrapVtwidus table;
    ASSERT_TRUE(table.LoadBesideModule(nullptr));
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_NE(table.Entries().pfnVTWIDUS_DiscoveryV3_, nullptr);
    table.Unload();
    EXPECT_FALSE(table.IsLoaded());
}

TEST(BindingTest, WithoutTheTraceLibraryNothingIsTraced) {
    CTraceFacility absent(L"vtwidlog_not_here.dll");
    EXPECT_FALSE(absent.IsLoaded());
    EXPECT_EQ(absent.Function(), nullptr);
    absent.Unload();

    // Trace sites then do nothing, and the work they trace is unchanged.
    SetTraceSinkForTest(nullptr);
    FakeVtwidus fake;
    VTWIDUS_VARBIND v{};
    v.oid_ = "1";
    v.type_ = VTWIDUS_TYPE_NOSUCHOBJECT;
    EXPECT_EQ(AOidInfo::GetValueToInt(v), -3);
    ClearTraceSinkForTest();
}

} // namespace
} // namespace vtwidwus::test
