// The SAX parser over the platform's XmlLite pull reader.
#pragma once

#include <objidl.h>
#include <xmllite.h>

#include "win/unique_any.h"
#include "xmlutil/sax.h"

namespace xmlutil {

class XmlSAXParserWin : public IXmlSaxParser {
public:
    XmlSAXParserWin() = default;

    bool SetInput(const std::string& document) override;
    bool SetHandler(XmlSAXEventCallBack* handler) override;
    bool Parse() override;

protected:
    ~XmlSAXParserWin() override = default;

private:
    void ReadAttributes(AttributeMap& attributes);

    qelwin::unique_com<IXmlReader> reader_;
    std::size_t inputSize_ = 0;
    XmlSAXEventCallBack* handler_ = nullptr;
};

} // namespace xmlutil
