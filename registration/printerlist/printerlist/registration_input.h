// What the printer list hands on for one printer: the printer record of a registration and the
// facts that a registration or the service page of that printer runs on.
#pragma once

#include <memory>
#include <string>

#include "printerutil/device_data.h"
#include "printerutil/registration_records.h"
#include "qelinfo/ApplicationInfo.h"

namespace qelprinterlist {

// How the search reached the printer: USB when its connection block names a USB library (the
// search itself records no connection kind).
int SearchedConnectionKind(const printerutil::stDeviceData& printer) noexcept;

// The printer record of the registration: the printer's texts and agreement state, the connection
// kind above with its address (the USB port name for a USB printer, the network address
// otherwise), and the request to record the user's agreement, which this screen asked for.
std::shared_ptr<printerutil::stRegsterParam>
BuildRegisterParam(const printerutil::stDeviceData& printer);

// The facts for registering the printer: its identity chooses the service kind; residence and
// area are left empty, so they come from the user's settings again.
void SetRegistrationContext(qelinfo::ApplicationInfo& facts,
                            const printerutil::stDeviceData& printer);

// The facts for the service page of the printer: its model and region with the user's own
// residence and area.
void SetServiceInfoContext(qelinfo::ApplicationInfo& facts,
                           const printerutil::stDeviceData& printer);

} // namespace qelprinterlist
