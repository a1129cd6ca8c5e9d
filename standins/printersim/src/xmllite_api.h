// XmlLite bound at run time: the import library is not part of the tool chain.
#pragma once

#include <windows.h>
#include <xmllite.h>

namespace printersim {

struct XmlLiteApi {
    decltype(&::CreateXmlReader) create_reader = nullptr;
};

// Loaded once per process; null members when xmllite.dll or its entry cannot be found.
const XmlLiteApi& xmllite_api() noexcept;

} // namespace printersim
