// The device object over scripted outside libraries: the load order and load matrix of
// Initialize, releases that pair every load with one free and every instance with one destroy,
// the guard, and the small rules every slot relies on (refusal details, caller record texts).
#include "scripted_outside.h"

#include "device_results.h"
#include "guard.h"
#include "record_text.h"
#include "vtesdev_lib.h"
#include "vtmpu2_ctrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;

int Count(const Strings& journal, const std::string& event) {
    return static_cast<int>(std::count(journal.begin(), journal.end(), event));
}

Strings Loads(const Strings& journal) {
    Strings loads;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(loads),
                 [](const std::string& e) { return e.rfind("load", 0) == 0; });
    return loads;
}

const std::string kUns = "load vtwiduns.dll";
const std::string kWus = "load vtwidwus.dll";
const std::string kPu2 = "load vtmpu2.dll";

struct LoadCase {
    std::string name;
    std::function<void(ScriptedOutside&)> setup;
    int initialized;
    Strings loads;
};

std::vector<LoadCase> LoadCases() {
    std::vector<LoadCase> cases = {
        {"everything beside the library", [](ScriptedOutside&) {}, 0, {kUns, kWus, kPu2}},
        {"no device library: nothing else is tried",
         [](ScriptedOutside& o) { o.Remove(L"vtwiduns.dll"); },
         2,
         {"load failed vtwiduns.dll"}},
        {"no wrapper",
         [](ScriptedOutside& o) { o.Remove(L"vtwidwus.dll"); },
         2,
         {kUns, "load failed vtwidwus.dll"}},
        {"no port library",
         [](ScriptedOutside& o) { o.Remove(L"vtmpu2.dll"); },
         2,
         {kUns, kWus, "load failed vtmpu2.dll"}},
        {"no device library instance",
         [](ScriptedOutside& o) { o.uns_instance = false; },
         2,
         {kUns}},
        {"no wrapper instance",
         [](ScriptedOutside& o) { o.wus_instance = false; },
         2,
         {kUns, kWus}},
        {"the wrapper's cancel and SET-and-wait are not needed",
         [](ScriptedOutside& o) {
             o.RemoveEntry(L"vtwidwus.dll", "VTWIDWUS_Cancel");
             o.RemoveEntry(L"vtwidwus.dll", "VTWIDWUS_SetInfoAndWaitChangeDot11Mode");
         },
         0,
         {kUns, kWus, kPu2}},
        {"running out of memory while loading",
         [](ScriptedOutside& o) { o.throw_on_load = L"vtwidwus.dll"; },
         2,
         {kUns, "load threw vtwidwus.dll"}},
    };
    // Every required entry of every library, the two that are never called included.
    auto missing = [&](const std::wstring& file, const char* entry, Strings loads) {
        cases.push_back(
            {"no " + std::string(entry),
             [file, name = std::string(entry)](ScriptedOutside& o) { o.RemoveEntry(file, name); },
             2, std::move(loads)});
    };
    UnsApi{}.ForEach([&](const char* entry, auto&) { missing(L"vtwiduns.dll", entry, {kUns}); });
    WusApi{}.ForEach([&](const char* entry, auto&) {
        missing(L"vtwidwus.dll", entry, {kUns, kWus});
    });
    Pu2Api{}.ForEach([&](const char* entry, auto&) {
        missing(L"vtmpu2.dll", entry, {kUns, kWus, kPu2});
    });
    return cases;
}

HMODULE TestModule() {
    return ::GetModuleHandleW(nullptr);
}

TEST(DeviceLibTest, InitializeLoadsInOrderAndTerminateReleasesWhatever) {
    const std::vector<LoadCase> cases = LoadCases();
    ASSERT_EQ(cases.size(), 8u + 12u + 10u + 13u);
    const std::wstring folder = ModuleFolder(TestModule());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedOutside outside;
        c.setup(outside);
        VTESDevLib device(TestModule(), outside.platform());
        EXPECT_EQ(device.Initialize(), c.initialized);
        EXPECT_EQ(Loads(outside.journal), c.loads);
        for (const auto& path : outside.load_paths) {
            EXPECT_EQ(path.substr(0, folder.size() + 1), folder + L"\\") << "loaded by full path";
        }
        EXPECT_EQ(device.Terminate(), 0);
        EXPECT_EQ(outside.Loaded(), 0) << "every load has its free";
        EXPECT_EQ(outside.bad_frees, 0);
        // Each instance made is destroyed once.
        for (const std::string library : {"VTWIDUNS", "VTWIDWUS"}) {
            const bool made = Count(outside.journal, library + "_CreateInstance") == 1 &&
                              (library == "VTWIDUNS" ? outside.uns_instance : outside.wus_instance);
            EXPECT_EQ(Count(outside.journal, library + "_DestroyInstance"), made ? 1 : 0)
                << library;
        }
        // A second Terminate, and the destructor, find nothing left to release.
        const std::size_t events = outside.journal.size();
        EXPECT_EQ(device.Terminate(), 0);
        EXPECT_EQ(outside.journal.size(), events);
    }
}

TEST(DeviceLibTest, ReleasesPairWithLoadsHoweverTheObjectIsUsed) {
    struct Case {
        const char* name;
        std::function<void(VTESDevLib&)> use;
    } const cases[] = {
        {"initialised twice", [](VTESDevLib& d) { d.Initialize(), d.Initialize(), d.Terminate(); }},
        {"deleted without Terminate", [](VTESDevLib& d) { d.Initialize(); }},
        {"terminated without Initialize", [](VTESDevLib& d) { d.Terminate(); }},
        {"initialised again after Terminate",
         [](VTESDevLib& d) { d.Initialize(), d.Terminate(), d.Initialize(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedOutside outside;
        {
            VTESDevLib device(TestModule(), outside.platform());
            c.use(device);
        }
        EXPECT_EQ(outside.Loaded(), 0);
        EXPECT_EQ(outside.bad_frees, 0);
        EXPECT_EQ(Count(outside.journal, "VTWIDUNS_CreateInstance"),
                  Count(outside.journal, "VTWIDUNS_DestroyInstance"));
        EXPECT_EQ(Count(outside.journal, "VTWIDWUS_CreateInstance"),
                  Count(outside.journal, "VTWIDWUS_DestroyInstance"));
    }
}

TEST(DeviceLibTest, AModuleWhosePathCannotBeReadLoadsNothing) {
    for (const HMODULE module : {HMODULE{}, reinterpret_cast<HMODULE>(std::uintptr_t{0x10})}) {
        ScriptedOutside outside;
        VTESDevLib device(module, outside.platform());
        EXPECT_EQ(device.Initialize(), 2);
        EXPECT_TRUE(outside.load_paths.empty()) << "never by a bare file name";
        EXPECT_EQ(device.Terminate(), 0);
    }
}

TEST(DeviceLibTest, TheGuardTurnsAnythingThrownIntoTheFailureCode) {
    struct Case {
        const char* name;
        std::function<int()> work;
        int result;
    } const cases[] = {
        {"a result", [] { return 5; }, 5},
        {"no memory", []() -> int { throw std::bad_alloc(); }, 12},
        {"a broken invariant", []() -> int { throw std::logic_error("x"); }, 12},
        {"anything", []() -> int { throw 1; }, 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Guarded(12, c.work), c.result) << c.name;
    }
}

TEST(DeviceLibTest, RefusalDetailsBecomeResults) {
    struct Case {
        std::vector<int> details;
        int result;
    } const cases[] = {
        {{0}, 0},       {{6, 19}, 8},  {{12, 13, 14}, 11},
        {{15, 17}, 10}, {{16, 18}, 9}, {{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 20, 21, -1}, 7},
    };
    for (const auto& c : cases) {
        for (const int detail : c.details) {
            EXPECT_EQ(DetailToResult(detail), c.result) << detail;
        }
    }
}

TEST(DeviceLibTest, CallerRecordTextsAreReadWithinTheirFields) {
    DeviceConnection connection{};
    std::fill(std::begin(connection.deviceKey), std::end(connection.deviceKey), 'K');
    std::fill(std::begin(connection.serialNumber), std::end(connection.serialNumber), 'S');
    std::fill(std::begin(connection.portName), std::end(connection.portName), L'P');
    EXPECT_EQ(FieldText(connection.deviceKey), std::string(256, 'K'));
    EXPECT_EQ(FieldText(connection.serialNumber), std::string(128, 'S'));
    EXPECT_EQ(FieldText(connection.portName), std::wstring(10, L'P'));
    connection.serialNumber[3] = '\0';
    EXPECT_EQ(FieldText(connection.serialNumber), "SSS");
    EXPECT_EQ(BoundedText<char>(nullptr, 5), "");

    tagDeviceInfo record{};
    std::fill(std::begin(record.regionCode), std::end(record.regionCode), L'#');
    CopyToField(record.regionCode, std::wstring_view(L"123456"));
    EXPECT_EQ(std::wstring(record.regionCode), L"1234");
    CopyToField(record.regionCode, std::wstring_view(L"C"));
    EXPECT_EQ(record.regionCode[1], L'\0');
    EXPECT_EQ(record.regionCode[4], L'\0');
}

} // namespace
} // namespace vtqeldevc::test
