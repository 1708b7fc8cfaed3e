// The XML document model on MSXML 6 through COM. The document keeps one record per element it
// has handed out, holding the element's COM pointer; a handle is the record's address, valid
// until the document (which releases every pointer) is destroyed. Blank-only text nodes are
// kept by the parser (so that a character reference such as &#10; is never lost) and skipped
// here, as the pugixml side drops them.
#include "platform/XmlDom.h"

#include <msxml2.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/XmlCheck.h"
#include "platform/win32/ComSupport.h"

namespace port {
namespace {

using com::Bstr;
using com::ComPtr;

// Not in mingw's uuid library.
const IID kIID_IXMLDOMDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

void Check(HRESULT aResult, const char16_t* aWhat) {
  if (FAILED(aResult))
    throw tVX_Error(std::u16string(u"MSXML: ") + aWhat + u" failed (" + com::HResultText(aResult) + u")");
}

struct ElementRecord {
  ComPtr<IXMLDOMElement> element;
  std::u16string name;
  bool childrenLoaded = false;
  std::vector<ElementRecord*> children;  // element children, once loaded
  size_t nodeCount = 0;                  // counted child nodes, once loaded
};

ElementRecord* RecordOf(void* aNode) { return static_cast<ElementRecord*>(aNode); }

std::u16string ValueOf(IXMLDOMNode* aNode) {
  VARIANT value;
  VariantInit(&value);
  Check(aNode->get_nodeValue(&value), u"reading a node value");
  std::u16string text;
  if (value.vt == VT_BSTR && value.bstrVal)
    text.assign(reinterpret_cast<const char16_t*>(value.bstrVal), SysStringLen(value.bstrVal));
  VariantClear(&value);
  return text;
}

// Calls aVisit(node, type, value) for every child that belongs to the tree (blank-only text
// nodes do not); the value is read for text and CDATA nodes only. Siblings are walked one by
// one: indexing a node list costs a list walk per item in some MSXML versions.
template <class Visit>
void ForEachChild(IXMLDOMNode* aParent, Visit aVisit) {
  ComPtr<IXMLDOMNode> child;
  Check(aParent->get_firstChild(child.Out()), u"reading a child node");
  while (child) {
    DOMNodeType type = NODE_INVALID;
    Check(child->get_nodeType(&type), u"reading a node type");
    std::u16string value;
    if (type == NODE_TEXT || type == NODE_CDATA_SECTION) value = ValueOf(child.Get());
    if (type != NODE_TEXT || !xmlcheck::IsBlank(value)) {
      if (!aVisit(child.Get(), type, value)) return;
    }
    ComPtr<IXMLDOMNode> next;
    Check(child->get_nextSibling(next.Out()), u"reading a sibling node");
    child = std::move(next);
  }
}

void SetProperty(IXMLDOMDocument2* aDocument, const wchar_t* aName, VARIANT aValue) {
  Bstr name(std::u16string_view(reinterpret_cast<const char16_t*>(aName)));
  aDocument->setProperty(name.Get(), aValue);  // best effort: older parsers lack some properties
}

class MsxmlDocument final : public XmlDocument {
 public:
  MsxmlDocument() {
    CLSID classId;
    Check(CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &classId), u"finding Msxml2.DOMDocument.6.0");
    Check(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, kIID_IXMLDOMDocument2,
                           reinterpret_cast<void**>(fDocument.Out())),
          u"creating a document");
    Check(fDocument->put_async(VARIANT_FALSE), u"setting async");
    Check(fDocument->put_preserveWhiteSpace(VARIANT_TRUE), u"setting preserveWhiteSpace");
    fDocument->put_resolveExternals(VARIANT_FALSE);
    fDocument->put_validateOnParse(VARIANT_FALSE);
    VARIANT flag;
    VariantInit(&flag);
    flag.vt = VT_BOOL;
    flag.boolVal = VARIANT_TRUE;
    SetProperty(fDocument.Get(), L"ProhibitDTD", flag);
    VARIANT depth;  // the checker limits the depth; the parser's own limit must not differ
    VariantInit(&depth);
    depth.vt = VT_I4;
    depth.lVal = 0;
    SetProperty(fDocument.Get(), L"MaxElementDepth", depth);
  }

  void Load(std::u16string_view aText) {
    Bstr text(aText);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT result = fDocument->loadXML(text.Get(), &loaded);
    if (FAILED(result) || loaded != VARIANT_TRUE) throw tVX_Error(ParseErrorText());
    if (!Root()) throw tVX_Error(u"No document element found");
  }

  void CreateRoot(std::u16string_view aName) {
    ComPtr<IXMLDOMElement> element;
    Check(fDocument->createElement(Bstr(aName).Get(), element.Out()), u"creating an element");
    ComPtr<IXMLDOMNode> appended;
    Check(fDocument->appendChild(element.Get(), appended.Out()), u"appending the root element");
  }

  XmlElement Root() override {
    if (!fRoot) {
      ComPtr<IXMLDOMElement> element;
      Check(fDocument->get_documentElement(element.Out()), u"reading the document element");
      if (element) fRoot = Adopt(std::move(element));
    }
    return XmlElement(this, fRoot);
  }

  std::u16string Serialize() override {
    Bstr text;
    Check(fDocument->get_xml(text.Out()), u"writing the document");
    return text.ToString();
  }

 protected:
  std::u16string NameOf(void* aNode) override { return RecordOf(aNode)->name; }

  std::vector<void*> ChildElementsOf(void* aNode) override {
    ElementRecord* record = Loaded(aNode);
    return std::vector<void*>(record->children.begin(), record->children.end());
  }

  void* FirstChildOf(void* aNode, std::u16string_view aName) override {
    for (ElementRecord* child : Loaded(aNode)->children)
      if (child->name == aName) return child;
    return nullptr;
  }

  size_t ChildNodeCountOf(void* aNode) override { return Loaded(aNode)->nodeCount; }

  std::optional<std::u16string> SingleTextOf(void* aNode) override {
    size_t count = 0;
    bool isText = false;
    std::u16string text;
    ForEachChild(RecordOf(aNode)->element.Get(), [&](IXMLDOMNode*, DOMNodeType aType, std::u16string& aValue) {
      isText = aType == NODE_TEXT || aType == NODE_CDATA_SECTION;
      text = std::move(aValue);
      return ++count < 2;
    });
    if (count == 0) return std::u16string();
    if (count > 1 || !isText) return std::nullopt;
    return text;
  }

  std::optional<std::u16string> AttributeOf(void* aNode, std::u16string_view aName) override {
    VARIANT value;
    VariantInit(&value);
    Check(RecordOf(aNode)->element->getAttribute(Bstr(aName).Get(), &value), u"reading an attribute");
    std::optional<std::u16string> result;
    if (value.vt == VT_BSTR)
      result.emplace(reinterpret_cast<const char16_t*>(value.bstrVal), value.bstrVal ? SysStringLen(value.bstrVal) : 0);
    VariantClear(&value);
    return result;
  }

  void* AddChildTo(void* aNode, std::u16string_view aName, std::u16string_view aText) override {
    ComPtr<IXMLDOMElement> element;
    Check(fDocument->createElement(Bstr(aName).Get(), element.Out()), u"creating an element");
    // put_text keeps a CR as it is; some MSXML versions fold line ends in createTextNode.
    if (!aText.empty()) Check(element->put_text(Bstr(aText).Get()), u"setting an element's text");
    ElementRecord* parent = Loaded(aNode);  // read first, so that the new record is the only one
    ComPtr<IXMLDOMNode> appended;
    Check(parent->element->appendChild(element.Get(), appended.Out()), u"appending an element");
    ElementRecord* child = Adopt(std::move(element));
    parent->children.push_back(child);
    ++parent->nodeCount;
    return child;
  }

 private:
  ElementRecord* Adopt(ComPtr<IXMLDOMElement> aElement) {
    auto record = std::make_unique<ElementRecord>();
    Bstr name;
    Check(aElement->get_nodeName(name.Out()), u"reading an element name");
    record->name = name.ToString();
    record->element = std::move(aElement);
    fRecords.push_back(std::move(record));
    return fRecords.back().get();
  }

  // The record with its children read (once; AddChildTo keeps it current).
  ElementRecord* Loaded(void* aNode) {
    ElementRecord* record = RecordOf(aNode);
    if (record->childrenLoaded) return record;
    std::vector<ElementRecord*> children;
    size_t count = 0;
    ForEachChild(record->element.Get(), [&](IXMLDOMNode* aChild, DOMNodeType aType, const std::u16string&) {
      ++count;
      if (aType == NODE_ELEMENT) {
        ComPtr<IXMLDOMElement> element;
        Check(aChild->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.Out())),
              u"reading an element");
        children.push_back(Adopt(std::move(element)));
      }
      return true;
    });
    record->children = std::move(children);
    record->nodeCount = count;
    record->childrenLoaded = true;
    return record;
  }

  std::u16string ParseErrorText() {
    ComPtr<IXMLDOMParseError> error;
    Bstr reason;
    long line = 0, position = 0;
    if (SUCCEEDED(fDocument->get_parseError(error.Out())) && error) {
      error->get_reason(reason.Out());
      error->get_line(&line);
      error->get_linepos(&position);
    }
    std::u16string text = reason.ToString();
    while (!text.empty() && text.back() <= u' ') text.pop_back();
    if (text.empty()) text = u"The XML text could not be parsed";
    if (line > 0)
      text += u" (line " + FromUtf8(std::to_string(line)) + u", position " + FromUtf8(std::to_string(position)) + u")";
    return text;
  }

  com::Apartment fApartment;  // first member: initialised before, and left after, every COM pointer
  ComPtr<IXMLDOMDocument2> fDocument;
  std::vector<std::unique_ptr<ElementRecord>> fRecords;  // every element handed out
  ElementRecord* fRoot = nullptr;
};

}  // namespace

namespace detail {

std::unique_ptr<XmlDocument> ParseCheckedXml(std::u16string_view aText) {
  auto document = std::make_unique<MsxmlDocument>();
  document->Load(aText);
  return document;
}

std::unique_ptr<XmlDocument> CreateXmlDocument(std::u16string_view aRootName) {
  auto document = std::make_unique<MsxmlDocument>();
  document->CreateRoot(aRootName);
  return document;
}

}  // namespace detail
}  // namespace port
