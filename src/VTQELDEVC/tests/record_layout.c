/* The records as a C compiler lays them out: each field is marked through its member and found
 * again by scanning the record's raw bytes. */
#include <vtqeldevc/vtqeldevc.h>

#include <string.h>

#include "record_layout.h"

enum { kMark = 0xA5 };

static void Measure(const unsigned char* bytes, size_t size, RecordLayoutRow* row) {
    size_t i = 0;
    row->offset = -1;
    row->size = 0;
    for (i = 0; i < size; ++i) {
        if (bytes[i] == kMark) {
            if (row->offset < 0) {
                row->offset = (long)i;
            }
            ++row->size;
        }
    }
    row->record_size = (long)size;
}

#define PROBE(Record, member)                                                                      \
    do {                                                                                           \
        Record record;                                                                             \
        if (count < capacity) {                                                                    \
            memset(&record, 0, sizeof record);                                                     \
            memset(&record.member, kMark, sizeof record.member);                                   \
            rows[count].field = #Record "." #member;                                               \
            Measure((const unsigned char*)&record, sizeof record, &rows[count]);                   \
        }                                                                                          \
        ++count;                                                                                   \
    } while (0)

int RecordLayoutFromC(RecordLayoutRow* rows, int capacity) {
    int count = 0;
    PROBE(tagDeviceInfo, qelService);
    PROBE(tagDeviceInfo, reserved1);
    PROBE(tagDeviceInfo, model);
    PROBE(tagDeviceInfo, serialNumber);
    PROBE(tagDeviceInfo, address);
    PROBE(tagDeviceInfo, regionCode);
    PROBE(tagDeviceInfo, hardwareAddress);
    PROBE(tagDeviceInfo, agreement);
    PROBE(tagDeviceInfo, reserved2);
    PROBE(tagDeviceInfo, connection);
    PROBE(tagDeviceInfo, connection.kind);
    PROBE(tagDeviceInfo, connection.portName);
    PROBE(tagDeviceInfo, connection.deviceKey);
    PROBE(tagDeviceInfo, connection.serialNumber);
    PROBE(tagDeviceInfo, connection.modelName);
    PROBE(tagDeviceInfo, serviceKind);
    PROBE(tagDeviceInfo, reserved3);
    PROBE(DeviceConnection, reserved);
    PROBE(DeviceConnection, modelName);
    PROBE(AccessPointEntry, ssid);
    PROBE(AccessPointEntry, reserved);
    PROBE(AccessPointEntry, signal);
    PROBE(CreateIdRequest, access_token);
    PROBE(CreateIdRequest, refresh_token);
    PROBE(CreateIdRequest, server_url);
    PROBE(CreateIdRequest, service_id);
    return count;
}
