// The addresses of the gateway's service pages that a flow opens in the browser.
#pragma once

#include <string>

#include "qelinfo/IApplicationInfo.h"

namespace printerutil {

// A service page for the facts: the gateway's base address and its query for the function
// (kivutil::kFunctionInfo "INFO", kivutil::kFunctionLogin "MLOGIN"), reporting no connectivity
// result.
std::wstring ServicePageAddress(qelinfo::IApplicationInfo& facts, const std::wstring& gatewayBase,
                                unsigned int function);

} // namespace printerutil
