// SAX-style reading of reply documents: a parser that turns a document into events and the
// handler interface that receives them.
#pragma once

#include <map>
#include <string>

#include "qelcmn/destructible.h"

namespace xmlutil {

// Attributes of one element by local name, in name order.
using AttributeMap = std::map<std::wstring, std::wstring>;

// Receives the events of one document. Names come as local name, namespace URI and qualified
// name. A handler may throw (for example invalid_response_format) to stop the parse; the
// exception leaves Parse.
class XmlSAXEventCallBack {
public:
    virtual ~XmlSAXEventCallBack() = default;

    virtual void StartDocument() = 0;
    virtual void EndDocument() = 0;
    virtual void StartElement(const std::wstring& localName, const std::wstring& namespaceUri,
                              const std::wstring& qualifiedName,
                              const AttributeMap& attributes) = 0;
    virtual void EndElement(const std::wstring& localName, const std::wstring& namespaceUri,
                            const std::wstring& qualifiedName) = 0;
    virtual void Characters(const std::wstring& text) = 0;
    virtual void CData(const std::wstring& text) = 0;
};

class IXmlSaxParser : public qelcmn::destructible::IDestructible {
public:
    // Takes the document (bytes as received); true when a reader stands ready on it.
    virtual bool SetInput(const std::string& document) = 0;
    // The handler is not owned. Gives true.
    virtual bool SetHandler(XmlSAXEventCallBack* handler) = 0;
    // Runs the whole document through the handler: StartDocument before the first node,
    // EndDocument when reading stops (at the end or at a parse error, which the handler
    // detects by what is still open). A document that cannot be read from its first byte gives
    // no event. False only without input.
    virtual bool Parse() = 0;
};

// Makes a parser, feeds it the document, parses it with the handler and releases it, also
// when the handler throws. Gives the result of Parse (false when no reader could be made).
bool ParseXml(const std::string& document, XmlSAXEventCallBack& handler);

} // namespace xmlutil
