#pragma once
// The XML document model: pugixml on Linux, MSXML 6 through COM on Windows. Both implementations
// present the same tree: elements in document order, comments and processing instructions kept
// as non-element children, text nodes made only of blanks (space, tab, CR, LF) dropped, entities
// decoded, CDATA sections counted as text.
//
// Before either library sees a text, one shared checker (XmlCheck.h) verifies that it is
// well-formed XML 1.0 with namespaces, and refuses what the two libraries would treat differently
// or what could make them misbehave: document type declarations (so no entity expansion), text
// larger than kMaxDocumentBytes, elements nested deeper than kMaxDepth, more than kMaxAttributes
// attributes on one element, more than kMaxNamespaces namespace declarations in scope. The
// encoding named in an XML declaration is ignored: the text is already decoded.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace port {

class XmlDocument;

// A non-owning handle to one element of a document; valid while its document lives. A default
// handle is null (IsNull() true) and answers nothing (empty name, no children, empty text, no
// attributes). Handles are used on the thread that owns the document.
class XmlElement {
 public:
  XmlElement() = default;
  XmlElement(XmlDocument* aDocument, void* aNode) : fDocument(aDocument), fNode(aNode) {}
  bool IsNull() const { return fNode == nullptr; }
  explicit operator bool() const { return fNode != nullptr; }
  bool operator==(const XmlElement& aOther) const { return fNode == aOther.fNode; }

  std::u16string Name() const;
  // The element children, in document order.
  std::vector<XmlElement> Children() const;
  // The first element child named exactly aName (case-sensitive), or a null handle.
  XmlElement FirstChild(std::u16string_view aName) const;
  // Number of child nodes of any kind (text, CDATA, element, comment, processing instruction).
  size_t ChildNodeCount() const;
  // The element's value: the text of its one text (or CDATA) child; the empty text when it has no
  // children. Throws tVX_Error when it holds anything else (child elements, several nodes):
  // "Element \"<name>\" does not contain a single text node".
  std::u16string Text() const;
  // The attribute's value, or nothing when the element has no such attribute.
  std::optional<std::u16string> Attribute(std::u16string_view aName) const;
  // Appends a new element child named aName holding aText (no text node when aText is empty) and
  // returns it. Throws tVX_Error on a null handle, a name that is not an XML name (or holds a
  // colon), or a text with characters XML cannot carry (NUL, other control characters, unpaired
  // surrogates).
  XmlElement AddChild(std::u16string_view aName, std::u16string_view aText);

  void* Node() const { return fNode; }
  XmlDocument* Document() const { return fDocument; }

 private:
  XmlDocument* fDocument = nullptr;
  void* fNode = nullptr;
};

class XmlDocument {
 public:
  static constexpr size_t kMaxDocumentBytes = 8 * 1024 * 1024;  // measured in UTF-8
  static constexpr size_t kMaxDepth = 256;
  static constexpr size_t kMaxAttributes = 256;
  static constexpr size_t kMaxNamespaces = 64;
  static constexpr size_t kMaxNameLength = 10000;

  // Parses aText. Throws tVX_Error for an empty or malformed text, a document type declaration
  // or a text beyond the limits above; the message describes the fault (its wording is the
  // checker's, or for the rare fault only a library detects, that library's own).
  static std::unique_ptr<XmlDocument> Parse(std::u16string_view aText);
  // A new document whose root element is named aRootName (throws tVX_Error for an invalid name).
  static std::unique_ptr<XmlDocument> Create(std::u16string_view aRootName);

  // On Windows a document must be destroyed on the thread that created it (it balances that
  // thread's COM initialisation).
  virtual ~XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  virtual XmlElement Root() = 0;
  // The document as text (the form differs between implementations: compare parsed trees).
  virtual std::u16string Serialize() = 0;

 protected:
  XmlDocument() = default;
  friend class XmlElement;
  virtual std::u16string NameOf(void* aNode) = 0;
  virtual std::vector<void*> ChildElementsOf(void* aNode) = 0;
  virtual void* FirstChildOf(void* aNode, std::u16string_view aName) = 0;
  // Blank-only text nodes are not counted.
  virtual size_t ChildNodeCountOf(void* aNode) = 0;
  // The value of the only child when it is text or CDATA, the empty text without children, and
  // nothing otherwise. Blank-only text nodes are not children.
  virtual std::optional<std::u16string> SingleTextOf(void* aNode) = 0;
  virtual std::optional<std::u16string> AttributeOf(void* aNode, std::u16string_view aName) = 0;
  // aName and aText are already checked.
  virtual void* AddChildTo(void* aNode, std::u16string_view aName, std::u16string_view aText) = 0;
};

namespace detail {
// The library side of XmlDocument::Parse and Create, one per target. aText has passed the
// checker and starts after any byte order mark and XML declaration; aRootName is a valid name.
std::unique_ptr<XmlDocument> ParseCheckedXml(std::u16string_view aText);
std::unique_ptr<XmlDocument> CreateXmlDocument(std::u16string_view aRootName);
}  // namespace detail

}  // namespace port
