// The XML document model on pugixml. The library works in UTF-8; names and texts are converted
// at this edge. A handle is the library's node pointer, stable while the document lives.
#include "platform/XmlDom.h"

#include <pugixml.hpp>
#include <string>

#include "platform/Error.h"
#include "platform/Utf8.h"

namespace port {
namespace {

// Entities decoded, line ends normalised, attribute blanks folded as XML prescribes; comments and
// processing instructions kept; blank-only text dropped (the default). The checker has refused
// document type declarations and removed the XML declaration before the text gets here.
constexpr unsigned kParseFlags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol |
                                 pugi::parse_wconv_attribute | pugi::parse_comments | pugi::parse_pi;

pugi::xml_node NodeOf(void* aNode) { return pugi::xml_node(static_cast<pugi::xml_node_struct*>(aNode)); }
void* HandleOf(pugi::xml_node aNode) { return aNode.internal_object(); }

bool IsBlankUtf8(const char* aText) {
  for (; *aText; ++aText)
    if (*aText != ' ' && *aText != '\t' && *aText != '\n' && *aText != '\r') return false;
  return true;
}

// Blank-only text nodes are not part of the tree (they may still come from AddChild).
bool IsCounted(pugi::xml_node aNode) { return aNode.type() != pugi::node_pcdata || !IsBlankUtf8(aNode.value()); }

class StringWriter final : public pugi::xml_writer {
 public:
  void write(const void* aData, size_t aSize) override { fText.append(static_cast<const char*>(aData), aSize); }
  std::string fText;
};

class PugiDocument final : public XmlDocument {
 public:
  pugi::xml_document fDocument;

  XmlElement Root() override { return XmlElement(this, HandleOf(fDocument.document_element())); }

  std::u16string Serialize() override {
    StringWriter writer;
    fDocument.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    // The library escapes control characters in attributes but writes a CR in text as it is,
    // which a reader turns into LF. Raw output has no CR of its own, and parsing has already
    // normalised line ends in comments and CDATA, so every CR left belongs to a text.
    std::string text;
    text.reserve(writer.fText.size());
    for (char c : writer.fText) {
      if (c == '\r')
        text += "&#13;";
      else
        text += c;
    }
    return FromUtf8(text);
  }

 protected:
  std::u16string NameOf(void* aNode) override { return FromUtf8(NodeOf(aNode).name()); }

  std::vector<void*> ChildElementsOf(void* aNode) override {
    std::vector<void*> children;
    for (pugi::xml_node child : NodeOf(aNode).children())
      if (child.type() == pugi::node_element) children.push_back(HandleOf(child));
    return children;
  }

  void* FirstChildOf(void* aNode, std::u16string_view aName) override {
    std::string name = ToUtf8(aName);
    for (pugi::xml_node child : NodeOf(aNode).children())
      if (child.type() == pugi::node_element && name == child.name()) return HandleOf(child);
    return nullptr;
  }

  size_t ChildNodeCountOf(void* aNode) override {
    size_t count = 0;
    for (pugi::xml_node child : NodeOf(aNode).children()) count += IsCounted(child) ? 1 : 0;
    return count;
  }

  std::optional<std::u16string> SingleTextOf(void* aNode) override {
    pugi::xml_node only;
    for (pugi::xml_node child : NodeOf(aNode).children()) {
      if (!IsCounted(child)) continue;
      if (only) return std::nullopt;
      only = child;
    }
    if (!only) return std::u16string();
    if (only.type() != pugi::node_pcdata && only.type() != pugi::node_cdata) return std::nullopt;
    return FromUtf8(only.value());
  }

  std::optional<std::u16string> AttributeOf(void* aNode, std::u16string_view aName) override {
    pugi::xml_attribute attribute = NodeOf(aNode).attribute(ToUtf8(aName).c_str());
    if (!attribute) return std::nullopt;
    return FromUtf8(attribute.value());
  }

  void* AddChildTo(void* aNode, std::u16string_view aName, std::u16string_view aText) override {
    pugi::xml_node child = NodeOf(aNode).append_child(ToUtf8(aName).c_str());
    if (!child || (!aText.empty() && !child.append_child(pugi::node_pcdata).set_value(ToUtf8(aText).c_str())))
      throw tVX_Error(u"Could not add XML element \"" + std::u16string(aName) + u"\"");
    return HandleOf(child);
  }
};

}  // namespace

namespace detail {

std::unique_ptr<XmlDocument> ParseCheckedXml(std::u16string_view aText) {
  auto document = std::make_unique<PugiDocument>();
  pugi::xml_parse_result result =
      document->fDocument.load_buffer(aText.data(), aText.size() * sizeof(char16_t), kParseFlags, pugi::encoding_utf16);
  if (!result)
    throw tVX_Error(FromUtf8(result.description()) + u" at offset " + FromUtf8(std::to_string(result.offset)));
  if (!document->fDocument.document_element()) throw tVX_Error(u"No document element found");
  return document;
}

std::unique_ptr<XmlDocument> CreateXmlDocument(std::u16string_view aRootName) {
  auto document = std::make_unique<PugiDocument>();
  if (!document->fDocument.append_child(ToUtf8(aRootName).c_str()))
    throw tVX_Error(u"Could not create XML element \"" + std::u16string(aRootName) + u"\"");
  return document;
}

}  // namespace detail
}  // namespace port
