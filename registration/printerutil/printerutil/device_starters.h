// The device operations on workers of their own. Each copies its arguments into the task; a
// failure of the program itself (no memory, no thread) gives the operation's empty result.
#pragma once

#include <future>
#include <string>

#include "printerutil/device_operations.h"

namespace printerutil {

std::future<DeviceList> StartFindPrinterByAddress(std::wstring address);
std::future<DeviceList> StartEnumPrinters();
// ssid, key and names belong to the caller and must outlive the task.
std::future<stRegSeqResult>
StartSearchAccessPoints(std::wstring* ssid, std::wstring* key, std::wstring modelName,
                        std::wstring serialNumber, DeviceConnection target, AccessPointEntry* names,
                        int capacity = kAccessPointCapacity);
std::future<stRegSeqResult> StartApplyAccessPoint(std::wstring ssid, std::wstring key,
                                                  std::wstring modelName, std::wstring serialNumber,
                                                  DeviceConnection target);

} // namespace printerutil
