// The target-independent half of the XML document model: the checks every text and every new
// element pass, and the element handle forwarding to its document.
#include "platform/XmlDom.h"

#include "platform/Error.h"
#include "platform/XmlCheck.h"

namespace port {

std::unique_ptr<XmlDocument> XmlDocument::Parse(std::u16string_view aText) {
  size_t bodyStart = xmlcheck::CheckDocument(aText);
  return detail::ParseCheckedXml(aText.substr(bodyStart));
}

std::unique_ptr<XmlDocument> XmlDocument::Create(std::u16string_view aRootName) {
  if (!xmlcheck::IsValidElementName(aRootName))
    throw tVX_Error(u"Invalid XML element name \"" + std::u16string(aRootName) + u"\"");
  return detail::CreateXmlDocument(aRootName);
}

std::u16string XmlElement::Name() const { return fNode ? fDocument->NameOf(fNode) : std::u16string(); }

std::vector<XmlElement> XmlElement::Children() const {
  std::vector<XmlElement> children;
  if (!fNode) return children;
  for (void* node : fDocument->ChildElementsOf(fNode)) children.emplace_back(fDocument, node);
  return children;
}

XmlElement XmlElement::FirstChild(std::u16string_view aName) const {
  if (!fNode) return {};
  void* node = fDocument->FirstChildOf(fNode, aName);
  return node ? XmlElement(fDocument, node) : XmlElement();
}

size_t XmlElement::ChildNodeCount() const { return fNode ? fDocument->ChildNodeCountOf(fNode) : 0; }

std::u16string XmlElement::Text() const {
  if (!fNode) return {};
  std::optional<std::u16string> text = fDocument->SingleTextOf(fNode);
  if (!text) throw tVX_Error(u"Element \"" + Name() + u"\" does not contain a single text node");
  return std::move(*text);
}

std::optional<std::u16string> XmlElement::Attribute(std::u16string_view aName) const {
  if (!fNode) return std::nullopt;
  return fDocument->AttributeOf(fNode, aName);
}

XmlElement XmlElement::AddChild(std::u16string_view aName, std::u16string_view aText) {
  if (!fNode) throw tVX_Error(u"No XML element to add \"" + std::u16string(aName) + u"\" to");
  if (!xmlcheck::IsValidElementName(aName))
    throw tVX_Error(u"Invalid XML element name \"" + std::u16string(aName) + u"\"");
  if (!xmlcheck::IsValidText(aText))
    throw tVX_Error(u"The text for XML element \"" + std::u16string(aName) + u"\" holds a character XML cannot carry");
  return XmlElement(fDocument, fDocument->AddChildTo(fNode, aName, aText));
}

}  // namespace port
