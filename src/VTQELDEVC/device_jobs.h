// The two device requests of a registration that need no qel job: recording the user's
// web-service agreement on the printer and reading the printer's own connectivity test. Each
// call opens a port control of its own and leaves none behind.
#pragma once

#include "platform.h"

#include <string>

namespace vtqeldevc {

// Results of the connectivity test as the device object reports them: "none" and anything it
// does not know 200, "confirming" 201, "success" 202, "server_error" 203,
// "not_connect_internet" 204, "connect_timeout" 205, "other_connect_error" 206.
inline constexpr unsigned char kConnectivityNone = 200;

// Records "agree": by the vendor command when the printer's capability accepts it (with host
// application id "3060" when the capability asks for one), else in a job of its own whose end
// is sent whenever its start succeeded. 0; 2 no port, a request not built or the setting
// refused; 5 an exchange failed; 7-11 the job's start or end refused.
int RecordAgreement(const Platform& platform, const std::wstring& folder, const wchar_t* address,
                    int portType);

// Asks the qel service for its connectivity test and stores the result (200-206) in *out.
// 0; 2 no port or no answer (out is then not written).
int ReadConnectivityTest(const Platform& platform, const std::wstring& folder,
                         const wchar_t* address, int portType, unsigned char* out);

} // namespace vtqeldevc
