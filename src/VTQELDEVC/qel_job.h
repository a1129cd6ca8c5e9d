// The authenticated qel job with one printer: selection (the key text, the challenge and the
// authenticated start), the encrypted application_data exchanges that read the registered
// printer ID and create a new one, and the end of the job.
//
// The job works on the port control it is handed; the device object keeps that control and
// hands it in on every call. Results are the device object's: 0; 2 a request not built, a
// payload not made or a reply not usable; 5 an exchange failed; 7-11 the printer refused.
#pragma once

#include "command_exchange.h"
#include "command_xml.h"
#include "port_control.h"
#include "requests.h"

#include <vtqeldevc/vtqeldevc.h>

#include <string>

namespace vtqeldevc {

class QelJob {
public:
    QelJob() = default;
    explicit QelJob(QelCommandBuilder::JobDescriptionSource source);

    // Reads the printer's hardware address (wired first) over the device path as the key text,
    // then opens the qel path and starts the authenticated job. The port control must have its
    // library loaded. On 0 the port stays open on the qel path; on any failure it is closed and
    // no job is kept. A first open that fails gives 5, the second 2.
    int Select(CVTMPUCom& port, const wchar_t* address, int portType);

    // The printer ID that the printer reports as "registered": the unregistered one is checked
    // first, then the registered one; id is left as it was when neither is. A failure ends the
    // job first.
    int GetRegisteredId(CVTMPUCom& port, std::string* id);

    // Has the printer create a printer ID from the cloud's tokens and store them. The request's
    // texts must each end within their field and convert to the ANSI code page unchanged;
    // otherwise, or when the document does not fit the request, nothing is sent and 2 returned.
    // A reply without a printer ID is a failure (2). A failure ends the job first.
    int CreateId(CVTMPUCom& port, const CreateIdRequest& request, std::string* id);

    // Ends the job and closes the port, whatever the printer answers. Without an open job
    // nothing is sent and 2 returned.
    int End(CVTMPUCom& port);

    // Forgets the job values, the key text and the challenge.
    void Forget() noexcept;

    bool open() const noexcept { return !job_values_.empty(); }
    const std::string& key_text() const noexcept { return key_text_; }
    const PairList& job_values() const noexcept { return job_values_; }
    const std::string& job_description() const noexcept { return builder_.job_description(); }

private:
    int ReadKeyText(CVTMPUCom& port);
    int Start(CVTMPUCom& port);
    int Authenticate(CVTMPUCom& port);
    // One application_data document out, the deciphered reply document back.
    int ExchangeDocument(CVTMPUCom& port, const char* format, const std::string& document,
                         std::string* reply_document);
    int ReadIdStatus(CVTMPUCom& port, const std::string& id, std::string* status);
    // Ends the job after a failed step and hands the step's failure back.
    int Fail(CVTMPUCom& port, int failure);
    std::string JobId() const;

    QelCommandBuilder builder_;
    CommandExchange exchange_;
    std::string key_text_;
    PairList challenge_;
    PairList job_values_;
};

} // namespace vtqeldevc
