#include "qelhttp/kiv_server_client.h"

#include "qelcmn/constants.h"
#include "qelcmn/exceptions.h"
#include "qelhttp/gateway_texts.h"
#include "qelhttp/kiv_request_session.h"
#include "xmlutil/sax.h"

namespace qelhttp {

namespace {

constexpr wchar_t kServiceAddressKey[] = L"NBE";
constexpr wchar_t kRegistrationAddressKey[] = L"CAP-API0122";

// Reads a step's reply into the record and decides by its result code: true for success,
// false for out of service (the chain ends with that record); anything else is an error.
bool ReadStepReply(const KIVRequestSession& session, xmlutil::KIVServerResponse& reply) {
    if (!session.replyBody.empty()) {
        xmlutil::KIVServerResponsePicker picker(&reply);
        xmlutil::ParseXml(session.replyBody, picker);
    }
    if (reply.GetResult() == qelcmn::CapiSuccess) {
        return true;
    }
    if (reply.GetResult() == qelcmn::CapiOutService) {
        return false;
    }
    throw http_exception(kCodeNetworkError, L"Network Error(" + reply.GetResult() + L")");
}

} // namespace

KIVServerClient::KIVServerClient(HttpEngineFactory factory)
    : CloudClient(std::move(factory), L"Http : Request Canceled.") {}

xmlutil::KIVServerResponse KIVServerClient::Request(const std::wstring& address,
                                                    const KIVURLParams& params,
                                                    const KIVRegistrationData& data) {
    core_.EnsureRequestObject();
    std::wstring next = address;
    xmlutil::KIVServerResponse reply;
    reply.Clear();

    // 1: the registration service's address.
    {
        reply.Clear();
        KIVRequestSession session;
        session.method = qelcmn::HttpVerbGet;
        session.address = BuildKIVQuery(next, params);
        core_.Exchange(session, session, session.status);
        if (!ReadStepReply(session, reply)) {
            return reply;
        }
        next = reply.GetParam(kServiceAddressKey);
    }
    // 2: the registration interface's address.
    {
        reply.Clear();
        KIVRequestSession session;
        session.method = qelcmn::HttpVerbGet;
        session.address = next;
        core_.Exchange(session, session, session.status);
        if (!ReadStepReply(session, reply)) {
            return reply;
        }
        next = reply.GetParam(kRegistrationAddressKey);
        if (next.empty()) {
            return reply;
        }
    }
    // 3: the registration document.
    {
        reply.Clear();
        KIVRequestSession session;
        session.method = qelcmn::HttpVerbPost;
        session.address = next;
        session.headers = L"Content-Type: application/x-www-form-urlencoded\r\n"
                          L"Pragma: no-cache\r\n"
                          L"Cache-Control: no-cache\r\n"
                          L"User-Agent: " +
                          data.agent;
        session.body = BuildRegistrationRequest(data);
        core_.Exchange(session, session, session.status);
        ReadStepReply(session, reply);
    }
    return reply;
}

xmlutil::KIVServerNullResponse KIVServerClient::Notify(const std::wstring& address,
                                                       const KIVURLParams& params) {
    core_.EnsureRequestObject();
    KIVRequestSession session;
    session.method = qelcmn::HttpVerbHead;
    session.address = BuildKIVQuery(address, params);
    core_.Exchange(session, session, session.status);
    return {};
}

} // namespace qelhttp
