// Gives a test its own HKEY_LOCAL_MACHINE: a fresh key below HKEY_CURRENT_USER that this process
// sees in its place, so tests running side by side never see each other's values.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/unique_any.h"

namespace qeltest {

class MachineKeySandbox : public ::testing::Test {
public:
    void SetUp() override {
        path_ = L"Software\\QelTests\\machine-" + std::to_wstring(::GetCurrentProcessId());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, sandbox_.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, sandbox_.get()), ERROR_SUCCESS);
        // Proof that the override holds: a key made here shows under HKEY_LOCAL_MACHINE.
        qelwin::unique_hkey probe;
        ASSERT_EQ(::RegCreateKeyExW(sandbox_.get(), L"qel-sandbox-probe", 0, nullptr, 0, KEY_READ,
                                    nullptr, probe.put(), nullptr),
                  ERROR_SUCCESS);
        qelwin::unique_hkey seen;
        ASSERT_EQ(
            ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"qel-sandbox-probe", 0, KEY_READ, seen.put()),
            ERROR_SUCCESS);
    }

    void TearDown() override {
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        sandbox_.reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }

public:
    // Writes raw bytes as a value of the given type below the sandboxed machine key.
    void WriteRaw(const std::wstring& subKey, const std::wstring& name, DWORD type,
                  const void* data, DWORD bytes) {
        qelwin::unique_hkey key;
        ASSERT_EQ(::RegCreateKeyExW(sandbox_.get(), subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                   bytes),
                  ERROR_SUCCESS);
    }

    // A text with its terminating null.
    void WriteText(const std::wstring& subKey, const std::wstring& name, const std::wstring& text,
                   DWORD type = REG_SZ) {
        WriteRaw(subKey, name, type, text.c_str(),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    void WriteDword(const std::wstring& subKey, const std::wstring& name, DWORD value) {
        WriteRaw(subKey, name, REG_DWORD, &value, sizeof(value));
    }

    void DeleteKey(const std::wstring& subKey) { ::RegDeleteTreeW(sandbox_.get(), subKey.c_str()); }

private:
    std::wstring path_;
    qelwin::unique_hkey sandbox_;
};

} // namespace qeltest
