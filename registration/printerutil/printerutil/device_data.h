// The application's copy of one printer the device library found.
#pragma once

#include <string>

#include <vtqeldevc/vtqeldevc.h>

namespace printerutil {

struct stDeviceData {
    std::wstring modelName;
    std::wstring serialNumber;
    std::wstring address;   // network printers only
    std::wstring extra;     // left empty here; set by the callers
    int connectionKind = 0; // ConnectionKind, assigned by the callers or the operation
    std::wstring regionCode;
    unsigned char qelSupport = 0;
    std::wstring macAddress;
    unsigned char agreement = 0; // 0 none, 1 unknown, 2 agreed, 3 disagreed
    DeviceConnection connection{};
    unsigned char serviceKind = 0; // 1 serviceA, 2 serviceD, 0 none
};

// The text of a fixed-size field: up to its NUL, or the whole field when a library left none.
template <std::size_t N> std::wstring FieldText(const wchar_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != L'\0') {
        ++length;
    }
    return std::wstring(field, length);
}

// Copies the record's texts, bytes and connection block; the connection kind and the extra text
// stay for the caller.
void CopyDeviceInfo(const tagDeviceInfo& record, stDeviceData& data);

// Masks all but the last 5 characters with '*'; a text of 5 characters or fewer gives an empty
// text.
std::wstring MaskString(const std::wstring& text);

} // namespace printerutil
