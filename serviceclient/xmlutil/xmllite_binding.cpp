#include "xmllite_binding.h"

#include "win/unique_any.h"

namespace xmlutil::detail {
namespace {

struct XmlLiteModule {
    XmlLiteModule() noexcept
        : module(::LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        if (module) {
            createXmlReader = reinterpret_cast<CreateXmlReaderFunction>(
                reinterpret_cast<void*>(::GetProcAddress(module.get(), "CreateXmlReader")));
        }
    }

    qelwin::unique_hmodule module;
    CreateXmlReaderFunction createXmlReader = nullptr;
};

} // namespace

CreateXmlReaderFunction BoundCreateXmlReader() noexcept {
    static const XmlLiteModule xmllite;
    return xmllite.createXmlReader;
}

} // namespace xmlutil::detail
