// Gives a test its own HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER: a fresh key below the real
// HKEY_CURRENT_USER that this process sees in the root's place, so tests running side by side
// never see each other's values. A machine sandbox starts with the system's cryptography
// settings, so code that hashes or encrypts through the system's providers still finds them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/registry_view.h"
#include "win/unique_any.h"

namespace qeltest {

// One overridden root for the life of the object (open with Open, from a test's SetUp).
class KeySandbox {
public:
    KeySandbox(HKEY root, std::wstring tag) : root_(root), tag_(std::move(tag)) {}
    ~KeySandbox() { Close(); }
    KeySandbox(const KeySandbox&) = delete;
    KeySandbox& operator=(const KeySandbox&) = delete;

    void Open() {
        path_ = L"Software\\QelTests\\" + tag_ + L"-" + std::to_wstring(::GetCurrentProcessId());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS | qelwin::kRegistryView, nullptr, sandbox_.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        if (root_ == HKEY_LOCAL_MACHINE) {
            CarryOver(L"SOFTWARE\\Microsoft\\Cryptography");
        }
        ASSERT_EQ(::RegOverridePredefKey(root_, sandbox_.get()), ERROR_SUCCESS);
        overridden_ = true;
        // Proof that the override holds: a key made here shows under the root.
        qelwin::unique_hkey probe;
        ASSERT_EQ(::RegCreateKeyExW(sandbox_.get(), L"qel-sandbox-probe", 0, nullptr, 0,
                                    KEY_READ | qelwin::kRegistryView, nullptr, probe.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        qelwin::unique_hkey seen;
        ASSERT_EQ(::RegOpenKeyExW(root_, L"qel-sandbox-probe", 0, KEY_READ | qelwin::kRegistryView,
                                  seen.put()),
                  ERROR_SUCCESS);
    }

    void Close() {
        if (overridden_) {
            ::RegOverridePredefKey(root_, nullptr);
            overridden_ = false;
        }
        sandbox_.reset();
        if (!path_.empty()) {
            // With the override gone, HKEY_CURRENT_USER is the real one again.
            ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
            path_.clear();
        }
    }

    // Writes raw bytes as a value of the given type below the sandboxed root.
    void WriteRaw(const std::wstring& subKey, const std::wstring& name, DWORD type,
                  const void* data, DWORD bytes) {
        qelwin::unique_hkey key;
        ASSERT_EQ(::RegCreateKeyExW(sandbox_.get(), subKey.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS | qelwin::kRegistryView, nullptr, key.put(),
                                    nullptr),
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
    // Copies the root's real sub-key into the sandbox (before the root is overridden).
    void CarryOver(const wchar_t* subKey) {
        qelwin::unique_hkey real;
        if (::RegOpenKeyExW(root_, subKey, 0, KEY_READ | qelwin::kRegistryView, real.put()) !=
            ERROR_SUCCESS) {
            return;
        }
        qelwin::unique_hkey copy;
        ASSERT_EQ(::RegCreateKeyExW(sandbox_.get(), subKey, 0, nullptr, 0,
                                    KEY_ALL_ACCESS | qelwin::kRegistryView, nullptr, copy.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegCopyTreeW(real.get(), nullptr, copy.get()), ERROR_SUCCESS);
    }

    HKEY root_;
    std::wstring tag_;
    std::wstring path_;
    qelwin::unique_hkey sandbox_;
    bool overridden_ = false;
};

// A test with its own HKEY_LOCAL_MACHINE.
class MachineKeySandbox : public ::testing::Test {
public:
    void SetUp() override { machine_.Open(); }
    void TearDown() override { machine_.Close(); }

    void WriteRaw(const std::wstring& subKey, const std::wstring& name, DWORD type,
                  const void* data, DWORD bytes) {
        machine_.WriteRaw(subKey, name, type, data, bytes);
    }
    void WriteText(const std::wstring& subKey, const std::wstring& name, const std::wstring& text,
                   DWORD type = REG_SZ) {
        machine_.WriteText(subKey, name, text, type);
    }
    void WriteDword(const std::wstring& subKey, const std::wstring& name, DWORD value) {
        machine_.WriteDword(subKey, name, value);
    }
    void DeleteKey(const std::wstring& subKey) { machine_.DeleteKey(subKey); }

protected:
    KeySandbox machine_{HKEY_LOCAL_MACHINE, L"machine"};
};

// A test with its own HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
class MachineAndUserKeySandbox : public MachineKeySandbox {
public:
    void SetUp() override {
        MachineKeySandbox::SetUp();
        user_.Open();
    }
    void TearDown() override {
        user_.Close();
        MachineKeySandbox::TearDown();
    }

protected:
    KeySandbox user_{HKEY_CURRENT_USER, L"user"};
};

} // namespace qeltest
