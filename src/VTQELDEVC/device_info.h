// The identity of one printer read into a tagDeviceInfo: model, serial number, region code,
// wireless hardware address, web-service agreement and the qel service it offers.
#pragma once

#include "platform.h"

#include <vtqeldevc/vtqeldevc.h>

#include <string>

namespace vtqeldevc {

// Opens a port of its own to address (folder: where the port libraries lie) and reads the
// printer's identity into out, writing only the model, serial number, region code, hardware
// address, agreement, qel flag and service kind; a step that did not run leaves its fields as
// the caller put them. Each call owns its port control and buffers, so calls may run side by
// side on several threads.
// 0; 3 address or out null; 2 port library not loaded, port not opened or a request not built;
// 5 an exchange failed; 7-11 the printer refused.
int QueryDeviceInfo(const Platform& platform, const std::wstring& folder, const wchar_t* address,
                    int portType, tagDeviceInfo* out);

} // namespace vtqeldevc
