// The printer that the flows' tests register: a network printer of a European region behind a
// Windows queue, not yet registered, its qel service left to each test.
#pragma once

namespace qelapptest {

inline constexpr wchar_t kOfficeQueue[] = L"Office Queue";
inline constexpr wchar_t kOfficeModel[] = L"VT-X100 Series";
inline constexpr wchar_t kOfficeSerial[] = L"5A3X01234";
inline constexpr char kOfficeWorld[] = R"(
[printer office]
model = VT-X100 Series
serial = 5A3X01234
region = C
wireless-mac = 00:1B:A9:3C:00:01
ipv4 = 192.168.1.31
queue = Office Queue
agreement = unknown
registered-id = VTP-REG-0001
next-printer-id = VTP-0001-AAAA-0001
)";

} // namespace qelapptest
