#include "printerutil/device_starters.h"

#include "printerutil/task_start.h"

namespace printerutil {
namespace {

DeviceList NoDevices() {
    return {};
}

stRegSeqResult NothingDone() {
    return {};
}

} // namespace

std::future<DeviceList> StartFindPrinterByAddress(std::wstring address) {
    return StartTask<DeviceList>(
        [address = std::move(address)] { return FindPrinterByAddress(address); }, NoDevices);
}

std::future<DeviceList> StartEnumPrinters() {
    return StartTask<DeviceList>([] { return EnumPrinters(); }, NoDevices);
}

std::future<stRegSeqResult> StartSearchAccessPoints(std::wstring* ssid, std::wstring* key,
                                                    std::wstring modelName,
                                                    std::wstring serialNumber,
                                                    DeviceConnection target,
                                                    AccessPointEntry* names, int capacity) {
    return StartTask<stRegSeqResult>(
        [=, modelName = std::move(modelName), serialNumber = std::move(serialNumber)] {
            return SearchAccessPoints(ssid, key, modelName, serialNumber, target, names, capacity);
        },
        NothingDone);
}

std::future<stRegSeqResult> StartApplyAccessPoint(std::wstring ssid, std::wstring key,
                                                  std::wstring modelName, std::wstring serialNumber,
                                                  DeviceConnection target) {
    return StartTask<stRegSeqResult>(
        [ssid = std::move(ssid), key = std::move(key), modelName = std::move(modelName),
         serialNumber = std::move(serialNumber),
         target] { return ApplyAccessPoint(ssid, key, modelName, serialNumber, target); },
        NothingDone);
}

} // namespace printerutil
