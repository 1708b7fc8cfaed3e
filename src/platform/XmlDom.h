#pragma once
// The XML document model: pugixml on Linux, MSXML 6 through COM on Windows. Both implementations
// present the same tree: elements in document order, comments and processing instructions kept
// as non-element children, whitespace-only text between elements dropped, entities decoded,
// document type declarations refused (no entity expansion, so no entity bombs).
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace port {

class XmlDocument;

// A non-owning handle to one element of a document; valid while its document lives. A default
// handle is null (IsNull() true) and answers nothing.
class XmlElement {
 public:
  XmlElement() = default;
  XmlElement(XmlDocument* aDocument, void* aNode) : fDocument(aDocument), fNode(aNode) {}
  bool IsNull() const { return fNode == nullptr; }
  explicit operator bool() const { return fNode != nullptr; }

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
  // Appends a new element child named aName holding aText (no text node when aText is empty).
  XmlElement AddChild(std::u16string_view aName, std::u16string_view aText);

  void* Node() const { return fNode; }
  XmlDocument* Document() const { return fDocument; }

 private:
  XmlDocument* fDocument = nullptr;
  void* fNode = nullptr;
};

class XmlDocument {
 public:
  // Parses aText. Throws tVX_Error with the parser's own description of the fault (its wording
  // differs between the implementations) for a malformed or empty text, or a document type
  // declaration.
  static std::unique_ptr<XmlDocument> Parse(std::u16string_view aText);
  // A new document whose root element is named aRootName.
  static std::unique_ptr<XmlDocument> Create(std::u16string_view aRootName);

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
  virtual size_t ChildNodeCountOf(void* aNode) = 0;
  virtual std::u16string TextOf(void* aNode) = 0;
  virtual std::optional<std::u16string> AttributeOf(void* aNode, std::u16string_view aName) = 0;
  virtual void* AddChildTo(void* aNode, std::u16string_view aName, std::u16string_view aText) = 0;
};

}  // namespace port
