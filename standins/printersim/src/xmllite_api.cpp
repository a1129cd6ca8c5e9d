#include "xmllite_api.h"

#include "win/unique_any.h"

namespace printersim {

const XmlLiteApi& xmllite_api() noexcept {
    static const XmlLiteApi api = [] {
        XmlLiteApi a;
        // Kept for the life of the process: readers may be made from any thread at any time.
        static qelwin::unique_hmodule module(::LoadLibraryW(L"xmllite.dll"));
        if (module) {
            a.create_reader = reinterpret_cast<decltype(&::CreateXmlReader)>(
                reinterpret_cast<void*>(::GetProcAddress(module.get(), "CreateXmlReader")));
        }
        return a;
    }();
    return api;
}

} // namespace printersim
