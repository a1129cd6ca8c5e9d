// CreateXmlReader, bound at run time: the cross toolchain ships no import library for it.
#pragma once

#include <objidl.h>
#include <xmllite.h>

namespace xmlutil::detail {

using CreateXmlReaderFunction = decltype(&::CreateXmlReader);

// The entry point of the system's xmllite.dll, loaded once for the life of the process; null
// when the library or the entry point is missing.
CreateXmlReaderFunction BoundCreateXmlReader() noexcept;

} // namespace xmlutil::detail
