#include "platform/XmlCheck.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Error.h"
#include "platform/Utf8.h"
#include "platform/XmlDom.h"

namespace port::xmlcheck {
namespace {

bool IsBlankChar(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStartChar(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ':' || c == '_' || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
  return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The code point at aPos and the number of UTF-16 units it takes; an unpaired surrogate comes
// back as itself (which no name or text accepts).
char32_t CodePointAt(std::u16string_view aText, size_t aPos, size_t& aUnits) {
  char16_t c = aText[aPos];
  aUnits = 1;
  if (c >= 0xD800 && c <= 0xDBFF && aPos + 1 < aText.size() && aText[aPos + 1] >= 0xDC00 && aText[aPos + 1] <= 0xDFFF) {
    aUnits = 2;
    return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(aText[aPos + 1]) - 0xDC00);
  }
  return c;
}

// Length in units of the name starting at aPos (0 when none starts there).
size_t NameLength(std::u16string_view aText, size_t aPos) {
  size_t pos = aPos;
  while (pos < aText.size()) {
    size_t units = 0;
    char32_t c = CodePointAt(aText, pos, units);
    if (pos == aPos ? !IsNameStartChar(c) : !IsNameChar(c)) break;
    pos += units;
  }
  return pos - aPos;
}

// The prefix of a qualified name ("" without one); false when the colons are misplaced.
bool SplitQName(std::u16string_view aName, std::u16string_view& aPrefix) {
  size_t colon = aName.find(u':');
  aPrefix = {};
  if (colon == std::u16string_view::npos) return true;
  if (colon == 0 || colon + 1 == aName.size() || aName.find(u':', colon + 1) != std::u16string_view::npos) return false;
  aPrefix = aName.substr(0, colon);
  return true;
}

std::u16string Decimal(size_t aValue) { return port::FromUtf8(std::to_string(aValue)); }

std::u16string Hex(uint32_t aValue) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text;
  do {
    text.insert(text.begin(), kDigits[aValue & 0xF]);
    aValue >>= 4;
  } while (aValue != 0);
  while (text.size() < 4) text.insert(text.begin(), u'0');
  return text;
}

class Checker {
 public:
  explicit Checker(std::u16string_view aText) : fText(aText) {}

  size_t Run() {
    CheckCharacters();
    if (Peek() == 0xFEFF) ++fPos;
    if (At(u"<?xml") && fPos + 5 < fText.size() && IsBlankChar(fText[fPos + 5])) XmlDeclaration();
    size_t bodyStart = fPos;
    Misc();
    if (AtEnd()) Fail(u"no root element");
    if (Peek() != u'<' || At(u"<!")) Fail(u"root element expected");
    Content();
    Misc();
    if (!AtEnd()) Fail(Peek() == u'<' ? u"markup after the root element" : u"text after the root element");
    return bodyStart;
  }

 private:
  struct Declaration {
    std::u16string_view prefix;  // empty for the default namespace
    size_t depth;
  };

  [[noreturn]] void Fail(std::u16string_view aFault) const { Fail(aFault, fPos); }
  [[noreturn]] void Fail(std::u16string_view aFault, size_t aAt) const {
    size_t line = 1, lineStart = 0;
    for (size_t i = 0; i < aAt && i < fText.size(); ++i)
      if (fText[i] == u'\n') ++line, lineStart = i + 1;
    std::string where =
        "XML error at line " + std::to_string(line) + ", column " + std::to_string(aAt - lineStart + 1) + ": ";
    throw tVX_Error(port::FromUtf8(where) + std::u16string(aFault));
  }

  bool AtEnd() const { return fPos >= fText.size(); }
  // 0 at the end (a NUL cannot occur once the characters are checked).
  char16_t Peek() const { return fPos < fText.size() ? fText[fPos] : 0; }
  bool At(std::u16string_view aWord) const { return fText.substr(fPos, aWord.size()) == aWord; }
  void Expect(std::u16string_view aWord, std::u16string_view aFault) {
    if (!At(aWord)) Fail(aFault);
    fPos += aWord.size();
  }
  bool SkipBlanks() {
    size_t start = fPos;
    while (IsBlankChar(Peek())) ++fPos;
    return fPos != start;
  }
  void SkipPast(std::u16string_view aTerminator, std::u16string_view aFault) {
    size_t end = fText.find(aTerminator, fPos);
    if (end == std::u16string_view::npos) Fail(aFault);
    fPos = end + aTerminator.size();
  }

  void CheckCharacters() {
    if (fText.size() > XmlDocument::kMaxDocumentBytes)
      Fail(u"the text is larger than " + Decimal(XmlDocument::kMaxDocumentBytes / 1048576) + u" MiB");
    size_t bytes = 0;
    for (fPos = 0; fPos < fText.size(); ++fPos) {
      size_t units = 0;
      char32_t c = CodePointAt(fText, fPos, units);
      if (!IsXmlChar(c)) Fail(u"invalid character U+" + Hex(c));
      bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
      fPos += units - 1;
    }
    if (bytes > XmlDocument::kMaxDocumentBytes)
      Fail(u"the text is larger than " + Decimal(XmlDocument::kMaxDocumentBytes / 1048576) + u" MiB");
    fPos = 0;
  }

  std::u16string_view Name() {
    size_t length = NameLength(fText, fPos);
    if (length == 0) Fail(AtEnd() ? u"unexpected end of text" : u"name expected");
    if (length > XmlDocument::kMaxNameLength)
      Fail(u"name longer than " + Decimal(XmlDocument::kMaxNameLength) + u" characters");
    std::u16string_view name = fText.substr(fPos, length);
    fPos += length;
    return name;
  }

  // "=" between blanks, then a quoted value in which references are checked; true when empty.
  bool AttributeValue() {
    SkipBlanks();
    Expect(u"=", u"\"=\" expected after an attribute name");
    SkipBlanks();
    char16_t quote = Peek();
    if (quote != u'"' && quote != u'\'') Fail(u"quoted attribute value expected");
    size_t start = ++fPos;
    for (;;) {
      char16_t c = Peek();
      if (c == 0) Fail(u"attribute value is not closed");
      if (c == quote) break;
      if (c == u'<') Fail(u"\"<\" in an attribute value");
      if (c == u'&')
        Reference();
      else
        ++fPos;
    }
    ++fPos;
    return fPos - 1 == start;
  }

  void Reference() {
    size_t start = fPos++;  // '&'
    if (Peek() == u'#') {
      ++fPos;
      bool hex = Peek() == u'x';
      if (hex) ++fPos;
      uint32_t value = 0;
      size_t digits = 0;
      for (;; ++fPos, ++digits) {
        char16_t c = Peek();
        int digit = c >= u'0' && c <= u'9'          ? c - u'0'
                    : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                    : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                    : -1;
        if (digit < 0) break;
        value = std::min<uint32_t>(value * (hex ? 16 : 10) + uint32_t(digit), 0x110000);
      }
      if (digits == 0 || Peek() != u';') Fail(u"malformed character reference", start);
      if (!IsXmlChar(value)) Fail(u"character reference to an invalid character", start);
      ++fPos;
      return;
    }
    size_t length = NameLength(fText, fPos);
    std::u16string_view name = fText.substr(fPos, length);
    fPos += length;
    if (length == 0 || Peek() != u';') Fail(u"malformed entity reference", start);
    if (name != u"lt" && name != u"gt" && name != u"amp" && name != u"apos" && name != u"quot")
      Fail(u"undefined entity &" + std::u16string(name) + u";", start);
    ++fPos;
  }

  void XmlDeclaration() {
    const std::u16string_view fault = u"invalid XML declaration";
    fPos += 5;
    SkipBlanks();
    Expect(u"version", fault);
    std::u16string_view version = DeclarationValue(fault);
    if (version.size() < 3 || version.substr(0, 2) != u"1." ||
        !std::all_of(version.begin() + 2, version.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
      Fail(fault);
    bool blank = SkipBlanks();
    if (blank && At(u"encoding")) {
      fPos += 8;
      std::u16string_view name = DeclarationValue(fault);
      auto alpha = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
      if (name.empty() || !alpha(name[0]) || !std::all_of(name.begin(), name.end(), [&](char16_t c) {
            return alpha(c) || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' || c == u'-';
          }))
        Fail(fault);
      blank = SkipBlanks();
    }
    if (blank && At(u"standalone")) {
      fPos += 10;
      std::u16string_view value = DeclarationValue(fault);
      if (value != u"yes" && value != u"no") Fail(fault);
      SkipBlanks();
    }
    Expect(u"?>", fault);
  }

  std::u16string_view DeclarationValue(std::u16string_view aFault) {
    SkipBlanks();
    Expect(u"=", aFault);
    SkipBlanks();
    char16_t quote = Peek();
    if (quote != u'"' && quote != u'\'') Fail(aFault);
    size_t start = ++fPos;
    size_t end = fText.find(quote, start);
    if (end == std::u16string_view::npos) Fail(aFault);
    fPos = end + 1;
    return fText.substr(start, end - start);
  }

  // Blanks, comments and processing instructions before or after the root element.
  void Misc() {
    for (;;) {
      SkipBlanks();
      if (At(u"<!--"))
        Comment();
      else if (At(u"<?"))
        ProcessingInstruction();
      else if (At(u"<!DOCTYPE"))
        Fail(u"document type declarations are not accepted");
      else
        return;
    }
  }

  void Comment() {
    fPos += 4;
    size_t dashes = fText.find(u"--", fPos);
    if (dashes == std::u16string_view::npos) Fail(u"comment is not closed");
    fPos = dashes;
    if (fPos + 2 >= fText.size() || fText[fPos + 2] != u'>') Fail(u"\"--\" inside a comment");
    fPos += 3;
  }

  void ProcessingInstruction() {
    fPos += 2;
    std::u16string_view target = Name();
    if (target.size() == 3 && (target[0] | 0x20) == u'x' && (target[1] | 0x20) == u'm' && (target[2] | 0x20) == u'l')
      Fail(u"the XML declaration is only allowed at the start");
    if (At(u"?>")) {
      fPos += 2;
      return;
    }
    if (!SkipBlanks()) Fail(u"blank expected after a processing instruction target");
    SkipPast(u"?>", u"processing instruction is not closed");
  }

  // The root element and everything in it, iteratively.
  void Content() {
    StartTag();
    while (!fOpen.empty()) {
      char16_t c = Peek();
      if (c == 0) Fail(u"element <" + std::u16string(fOpen.back()) + u"> is not closed");
      if (c == u'&')
        Reference();
      else if (c != u'<') {
        if (c == u']' && At(u"]]>")) Fail(u"\"]]>\" in text");
        ++fPos;
      } else if (At(u"</"))
        EndTag();
      else if (At(u"<!--"))
        Comment();
      else if (At(u"<![CDATA[")) {
        fPos += 9;
        SkipPast(u"]]>", u"CDATA section is not closed");
      } else if (At(u"<?"))
        ProcessingInstruction();
      else if (At(u"<!"))
        Fail(u"unexpected markup");
      else
        StartTag();
    }
  }

  void StartTag() {
    ++fPos;  // '<'
    std::u16string_view name = Name();
    fAttributes.clear();
    size_t depth = fOpen.size() + 1;
    if (depth > XmlDocument::kMaxDepth)
      Fail(u"elements nested deeper than " + Decimal(XmlDocument::kMaxDepth) + u" levels");
    bool empty = false;
    for (;;) {
      bool blank = SkipBlanks();
      if (At(u"/>")) {
        fPos += 2;
        empty = true;
        break;
      }
      if (Peek() == u'>') {
        ++fPos;
        break;
      }
      if (AtEnd()) Fail(u"unexpected end of text in a start tag");
      if (!blank) Fail(u"blank expected between attributes");
      std::u16string_view attribute = Name();
      bool emptyValue = AttributeValue();
      if (fAttributes.size() == XmlDocument::kMaxAttributes)
        Fail(u"more than " + Decimal(XmlDocument::kMaxAttributes) + u" attributes on one element");
      fAttributes.push_back(attribute);
      if (attribute == u"xmlns" || attribute.substr(0, 6) == u"xmlns:") {
        std::u16string_view prefix = attribute.size() > 6 ? attribute.substr(6) : std::u16string_view();
        if (emptyValue && !prefix.empty()) Fail(u"empty namespace name for prefix " + std::u16string(prefix));
        if (prefix == u"xmlns") Fail(u"the prefix xmlns cannot be declared");
        Declare(prefix, depth);
      }
    }
    CheckAttributeNames();
    CheckPrefix(name, false);
    for (std::u16string_view attribute : fAttributes) CheckPrefix(attribute, true);
    fOpen.push_back(name);
    if (empty) CloseElement();
  }

  void EndTag() {
    size_t start = fPos;
    fPos += 2;
    std::u16string_view name = Name();
    SkipBlanks();
    Expect(u">", u"\">\" expected in an end tag");
    if (name != fOpen.back())
      Fail(u"end tag </" + std::u16string(name) + u"> does not match <" + std::u16string(fOpen.back()) + u">", start);
    CloseElement();
  }

  void CloseElement() {
    size_t depth = fOpen.size();
    while (!fDeclarations.empty() && fDeclarations.back().depth == depth) {
      auto found = fInScope.find(fDeclarations.back().prefix);
      if (--found->second == 0) fInScope.erase(found);
      fDeclarations.pop_back();
    }
    fOpen.pop_back();
  }

  void Declare(std::u16string_view aPrefix, size_t aDepth) {
    if (fDeclarations.size() == XmlDocument::kMaxNamespaces)
      Fail(u"more than " + Decimal(XmlDocument::kMaxNamespaces) + u" namespace declarations in scope");
    fDeclarations.push_back({aPrefix, aDepth});
    ++fInScope[aPrefix];
  }

  void CheckAttributeNames() {
    std::vector<std::u16string_view> sorted(fAttributes);
    std::sort(sorted.begin(), sorted.end());
    auto twice = std::adjacent_find(sorted.begin(), sorted.end());
    if (twice != sorted.end()) Fail(u"duplicate attribute " + std::u16string(*twice));
  }

  void CheckPrefix(std::u16string_view aName, bool aAttribute) {
    std::u16string_view prefix;
    if (!SplitQName(aName, prefix)) Fail(u"invalid qualified name " + std::u16string(aName));
    if (prefix.empty() || prefix == u"xml" || (aAttribute && prefix == u"xmlns")) return;
    if (fInScope.find(prefix) == fInScope.end()) Fail(u"undeclared namespace prefix " + std::u16string(prefix));
  }

  std::u16string_view fText;
  size_t fPos = 0;
  std::vector<std::u16string_view> fOpen;                    // names of the open elements, outermost first
  std::vector<std::u16string_view> fAttributes;              // of the start tag being read
  std::vector<Declaration> fDeclarations;                    // namespace declarations in scope, in order
  std::unordered_map<std::u16string_view, size_t> fInScope;  // prefix -> declarations in scope
};

}  // namespace

size_t CheckDocument(std::u16string_view aText) { return Checker(aText).Run(); }

bool IsValidElementName(std::u16string_view aName) {
  return !aName.empty() && aName.size() <= XmlDocument::kMaxNameLength && NameLength(aName, 0) == aName.size() &&
         aName.find(u':') == std::u16string_view::npos;
}

bool IsValidText(std::u16string_view aText) {
  for (size_t pos = 0; pos < aText.size();) {
    size_t units = 0;
    if (!IsXmlChar(CodePointAt(aText, pos, units))) return false;
    pos += units;
  }
  return true;
}

bool IsBlank(std::u16string_view aText) { return std::all_of(aText.begin(), aText.end(), IsBlankChar); }

}  // namespace port::xmlcheck
