// The device operations of the screens and the registration: each runs one interface object of
// the device library from creation to deletion and hands back what the caller owns. A missing
// library or object gives the empty result, silently.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "printerutil/device_data.h"
#include "printerutil/registration_records.h"

namespace printerutil {

using DeviceList = std::vector<std::shared_ptr<stDeviceData>>;

// How many access-point names the screens' buffer holds.
inline constexpr int kAccessPointCapacity = 100;
// Characters of the identity buffers and of the access-point name and key buffers.
inline constexpr int kPrinterIdChars = 100;
inline constexpr int kAccessPointTextChars = 65;

// The printer at an address or behind a queue: one entry (empty texts when it did not answer),
// none for an empty address or without the library. Takes at least 3 s for a non-empty address,
// so that the search dialog stays up.
DeviceList FindPrinterByAddress(const std::wstring& address);

// The printers on the network and on USB that the printer list offers, by their region.
DeviceList EnumPrinters();

// The printer's registered identity and the one it creates from the tokens; nothing without the
// library or an object. Tokens or an address longer than the request's fields are refused with
// code 2 before the printer is asked anything.
std::shared_ptr<stPrinterIDs> GetPrinterIDs(const std::wstring& accessToken,
                                            const std::wstring& refreshToken,
                                            const std::wstring& serverUrl, int connectionKind,
                                            const std::wstring& address);

// Has the USB printer search the access points it sees and match them with the PC's saved
// networks: code 6 with the matched name and key in *ssid and *key. The names it saw go to
// names[0..capacity).
stRegSeqResult SearchAccessPoints(std::wstring* ssid, std::wstring* key,
                                  const std::wstring& modelName, const std::wstring& serialNumber,
                                  const DeviceConnection& target, AccessPointEntry* names,
                                  int capacity = kAccessPointCapacity);

// Writes the access point into the USB printer: code 7 when written.
stRegSeqResult ApplyAccessPoint(const std::wstring& ssid, const std::wstring& key,
                                const std::wstring& modelName, const std::wstring& serialNumber,
                                const DeviceConnection& target);

// Which found printers the list offers, and which may take an access point, by region code.
bool OfferedInPrinterList(const tagDeviceInfo& record);
bool TakesAccessPoint(const tagDeviceInfo& record);

// Fills a zeroed request with the tokens, the address and service id "001"; false, with the
// record zeroed again, when a text holds a NUL or is longer than its field allows.
bool FillCreateIdRequest(CreateIdRequest& request, const std::wstring& accessToken,
                         const std::wstring& refreshToken, const std::wstring& serverUrl);

} // namespace printerutil
