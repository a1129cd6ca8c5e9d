#include "printerutil/page_address.h"

#include "kivutil/kiv_url_params.h"
#include "qelhttp/gateway_texts.h"

namespace printerutil {

namespace {

// A connectivity status that reports nothing: the page is no registration.
constexpr unsigned char kNoConnectivityResult = 200;

} // namespace

std::wstring ServicePageAddress(qelinfo::IApplicationInfo& facts, const std::wstring& gatewayBase,
                                unsigned int function) {
    KIVURLParams params;
    kivutil::KIVServerURLParamBuilder().Build(params, function,
                                              {&facts, kNoConnectivityResult, L"", L""});
    return qelhttp::BuildKIVQuery(gatewayBase, params);
}

} // namespace printerutil
