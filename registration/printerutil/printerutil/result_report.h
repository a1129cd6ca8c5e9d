// The report of a registration to the cloud gateway, the notice of a skipped invitation, and the
// page address opened after an installer's registration.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "printerutil/cancel_flag.h"
#include "printerutil/registration_records.h"
#include "qelcmn/unix_time.h"
#include "qelinfo/IApplicationInfo.h"
#include "xmlutil/kiv_server_response.h"

namespace printerutil {

// Register kinds of the sequence.
enum RegisterKind : int {
    kRegisterNone = 0,
    kRegisterAuto = 1,
    kRegisterServiceA = 2,
    kRegisterServiceX = 3,
    kRegisterServiceY = 4,
};

// "USB" for kinds 3 and 5, "LAN" for 1, 2 and 4, empty otherwise.
std::wstring ConnectionWord(int connectionKind);

// The printer's outcome as the gateway reads it (kinds 2 to 4 only): the identity step's code
// as a word, replaced for serviceY by the connectivity test's 203-206.
std::wstring StatusWord(int registerKind, const stPrinterIDs* ids,
                        unsigned char connectivityStatus);

// "0", "1" or "2" from the printer's region code, else from the user's area.
std::wstring GetRegionDigit(const std::wstring& deviceRegionCode, const std::wstring& residence,
                            const std::wstring& area);

// A UTC time moved into local standard time (bias in minutes west of UTC, as the time-zone
// information gives it), carrying that offset.
qelcmn::UnixTimeStamp LocalStandardTime(const SYSTEMTIME& utc, LONG biasMinutes);

// Reports the registration: the gateway's query, its service and interface look-ups and the
// registration document. Gives the gateway's last answer; throws what the gateway client throws
// (qelhttp::qel_operation_canceled once the cancel flag stopped it).
xmlutil::KIVServerResponse
ReportRegistrationResult(int registerKind, qelinfo::IApplicationInfo* info,
                         const CancelFlag* cancel, const std::shared_ptr<stPrinterIDs>& ids,
                         const stServerParam& server, const stRegsterParam& printer);

// Tells the gateway the user skipped the invitation: a HEAD request waited for at most 2 s.
// Never throws and reports nothing.
void SendInvitationNotice(qelinfo::IApplicationInfo* info) noexcept;
// The same to another gateway address.
void SendInvitationNotice(qelinfo::IApplicationInfo* info, const std::wstring& gateway) noexcept;

// The base address, followed by "&VTM_SEP=1&reg_url=" and the form-encoded registration
// address when there is one.
std::wstring MakeResultUrl(const std::wstring& base, const std::wstring& registrationAddress);

} // namespace printerutil
