#include "qelcmn/config_store.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string_view>

namespace {

TEST(ConfigStore, EntriesExistExactlyForTheKnownIds) {
    for (int id = -2; id < 20; ++id) {
        const bool present = (id >= 0 && id <= 11) || id == 14 || id == 15;
        EXPECT_EQ(!qelcmn::GetObfuscatedString(id).empty(), present) << "id " << id;
    }
}

TEST(ConfigStore, DevelopmentAddressesPointAtLoopback) {
    for (int id : {0, 1, 4, 8}) {
        const std::string address = qelcmn::GetObfuscatedString(id);
        EXPECT_EQ(address.rfind("http://127.0.0.1:", 0), 0u) << id << ": " << address;
    }
    // The printer-ID signature uses at most 33 bytes of its key.
    const std::string key = qelcmn::GetObfuscatedString(qelcmn::kConfigPrinterIdSigningKey);
    EXPECT_GT(key.size(), 0u);
    EXPECT_LE(key.size(), 33u);
}

TEST(ConfigStore, TextsAreNotStoredInTheClear) {
    const std::string gateway = qelcmn::GetObfuscatedString(0);
    const HMODULE self = ::GetModuleHandleW(nullptr);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(self);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        reinterpret_cast<const char*>(self) + dos->e_lfanew);
    const char* image = reinterpret_cast<const char*>(self);
    const std::size_t size = nt->OptionalHeader.SizeOfImage;
    // Look only in the image's sections that were loaded from the file.
    const auto* section = IMAGE_FIRST_SECTION(nt);
    for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const char* begin = image + section->VirtualAddress;
        const std::size_t length = std::min<std::size_t>(section->Misc.VirtualSize, size);
        const std::string_view view(begin, length);
        EXPECT_EQ(view.find(gateway), std::string_view::npos)
            << "found in section " << reinterpret_cast<const char*>(section->Name);
    }
}

} // namespace
