#include "xmllite_binding.h"

#include "win/system_library.h"

namespace xmlutil::detail {

CreateXmlReaderFunction BoundCreateXmlReader() noexcept {
    static const qelwin::SystemLibrary xmllite(L"xmllite.dll");
    return xmllite.Find<CreateXmlReaderFunction>("CreateXmlReader");
}

} // namespace xmlutil::detail
