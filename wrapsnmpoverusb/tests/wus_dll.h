// vtwidwus.dll loaded as its callers load it, and the trace records of vtwidlog.dll.
#pragma once

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>
#include <vtwidlog/vtwidlogsim_control.h>
#include <win/module_path.h>
#include <win/unique_any.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtwidwus::test {

template <typename Fn> void BindDllEntry(HMODULE module, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    ASSERT_NE(slot, nullptr) << name;
}

#define VTW_WUS_ENTRY(name) decltype(&VTWIDWUS_##name) name = nullptr
#define VTW_BIND_WUS(name) BindDllEntry(module.get(), "VTWIDWUS_" #name, name)

struct WusDll {
    void Load(const std::wstring& path) {
        module.reset(::LoadLibraryW(path.c_str()));
        ASSERT_TRUE(module) << "vtwidwus.dll";
        VTW_BIND_WUS(CreateInstance);
        VTW_BIND_WUS(DestroyInstance);
        VTW_BIND_WUS(Search);
        VTW_BIND_WUS(SetTimeout);
        VTW_BIND_WUS(GetInfo);
        VTW_BIND_WUS(SetInfo);
        VTW_BIND_WUS(SetInfoAndWaitChangeDot11Mode);
        VTW_BIND_WUS(ApSearch);
        VTW_BIND_WUS(ApSearchAndWait);
        VTW_BIND_WUS(ApSearchExecuteWithParams);
        VTW_BIND_WUS(GetApSearchResultInfoList);
        VTW_BIND_WUS(Cancel);
    }
    void Load() { Load(qelwin::JoinPath(qelwin::ThisModuleFolder(), L"vtwidwus.dll")); }

    qelwin::unique_hmodule module;
    VTW_WUS_ENTRY(CreateInstance);
    VTW_WUS_ENTRY(DestroyInstance);
    VTW_WUS_ENTRY(Search);
    VTW_WUS_ENTRY(SetTimeout);
    VTW_WUS_ENTRY(GetInfo);
    VTW_WUS_ENTRY(SetInfo);
    VTW_WUS_ENTRY(SetInfoAndWaitChangeDot11Mode);
    VTW_WUS_ENTRY(ApSearch);
    VTW_WUS_ENTRY(ApSearchAndWait);
    VTW_WUS_ENTRY(ApSearchExecuteWithParams);
    VTW_WUS_ENTRY(GetApSearchResultInfoList);
    VTW_WUS_ENTRY(Cancel);
};

struct TraceRecords {
    void Load() {
        const std::wstring path = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"vtwidlog.dll");
        module.reset(::LoadLibraryW(path.c_str()));
        ASSERT_TRUE(module) << "vtwidlog.dll";
        BindDllEntry(module.get(), "VTWIDLOGSIM_GetCount", GetCount);
        BindDllEntry(module.get(), "VTWIDLOGSIM_GetRecord", GetRecord);
        BindDllEntry(module.get(), "VTWIDLOGSIM_GetFormat", GetFormat);
        BindDllEntry(module.get(), "VTWIDLOGSIM_Clear", Clear);
        Clear();
    }
    struct Line {
        int level;
        std::string text;
        std::string format;
    };
    std::vector<Line> Lines() {
        std::vector<Line> lines;
        for (int i = 0; i < GetCount(); ++i) {
            char text[VTWIDLOGSIM_MAX_TEXT] = {};
            char format[VTWIDLOGSIM_MAX_TEXT] = {};
            int level = -1;
            GetRecord(i, &level, text, sizeof text);
            GetFormat(i, format, sizeof format);
            lines.push_back({level, text, format});
        }
        return lines;
    }
    bool HasText(int level, const std::string& text) {
        for (const Line& l : Lines()) {
            if (l.level == level && l.text == text) {
                return true;
            }
        }
        return false;
    }
    int CountFormat(int level, const std::string& format) {
        int n = 0;
        for (const Line& l : Lines()) {
            n += (l.level == level && l.format == format) ? 1 : 0;
        }
        return n;
    }

    qelwin::unique_hmodule module;
    decltype(&VTWIDLOGSIM_GetCount) GetCount = nullptr;
    decltype(&VTWIDLOGSIM_GetRecord) GetRecord = nullptr;
    decltype(&VTWIDLOGSIM_GetFormat) GetFormat = nullptr;
    decltype(&VTWIDLOGSIM_Clear) Clear = nullptr;
};

} // namespace vtwidwus::test
