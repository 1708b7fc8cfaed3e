// krptUtil: the readers of child elements, attributes, and adding elements.
#include "base/uVX_Base_XmlDates.h"
#include "base/uVX_Text.h"
#include "base/uVxReceipt.h"
#include "platform/Error.h"

namespace {

// Finds the child, returns aMissing without one, converts its text otherwise; a failure while
// reading or converting becomes aMessage (the child's name for %s), CR LF and the cause.
template <class T, class Convert>
T ReadChild(const port::XmlElement& aParent, std::u16string_view aName, std::u16string_view aMessage, T aMissing,
            Convert aConvert) {
  port::XmlElement child = aParent.FirstChild(aName);
  if (child.IsNull()) return aMissing;
  try {
    return aConvert(child.Text());
  } catch (const tVX_Error& e) {
    throw tVX_Error(vxtext::FormatS(aMessage, aName) + u"\r\n" + e.Message());
  }
}

[[noreturn]] void Refuse(std::u16string_view aCause, std::u16string_view aText) {
  throw tVX_Error(vxtext::FormatS(aCause, aText));
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A decimal number (optional blanks around, sign, digits with an optional fraction, optional
// exponent); aNonZero tells whether any of its digits before the exponent is not 0.
bool TryDecimalNonZero(std::u16string_view aText, bool& aNonZero) {
  std::u16string text = vxtext::Trim(aText);
  size_t i = 0, digits = 0;
  bool nonZero = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) nonZero |= text[i] != u'0';
  if (i < text.size() && text[i] == u'.')
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) nonZero |= text[i] != u'0';
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == start) return false;
  }
  if (i != text.size()) return false;
  aNonZero = nonZero;
  return true;
}

}  // namespace

std::u16string krptUtil::GetNodeValueAsString(const port::XmlElement& aParentNode, std::u16string_view aNodeName) {
  return ReadChild(aParentNode, aNodeName, u"Error in processing node %s as string.", std::u16string(),
                   [](std::u16string aText) { return aText; });
}

int32_t krptUtil::GetNodeValueAsInteger(const port::XmlElement& aParentNode, std::u16string_view aNodeName) {
  return ReadChild(aParentNode, aNodeName, u"Error in processing node %s as integer.", int32_t(0),
                   [](const std::u16string& aText) {
                     int32_t value = 0;
                     if (!aText.empty() && !vxtext::TryStrToInt(aText, value))
                       Refuse(u"'%s' is not a valid integer value", aText);
                     return value;
                   });
}

tVX_Currency krptUtil::GetNodeValueAsCurrency(const port::XmlElement& aParentNode, std::u16string_view aNodeName) {
  return ReadChild(aParentNode, aNodeName, u"Error in processing node %s as currency.", tVX_Currency(),
                   [](const std::u16string& aText) {
                     tVX_Currency value;
                     if (!aText.empty() && !tVX_Currency::TryParseDecimal(aText, value))
                       Refuse(u"'%s' is not a valid floating point value", aText);
                     return value;
                   });
}

bool krptUtil::GetNodeValueAsBoolean(const port::XmlElement& aParentNode, std::u16string_view aNodeName,
                                     bool aDefaultValue) {
  return ReadChild(aParentNode, aNodeName, u"Error in processing node %s as boolean.", aDefaultValue,
                   [](const std::u16string& aText) {
                     if (vxtext::SameText(aText, u"true")) return true;
                     if (vxtext::SameText(aText, u"false")) return false;
                     bool nonZero = false;
                     if (!TryDecimalNonZero(aText, nonZero)) Refuse(u"'%s' is not a valid boolean value", aText);
                     return nonZero;
                   });
}

tDateTime krptUtil::GetNodeValueAsDate(const port::XmlElement& aParentNode, std::u16string_view aNodeName) {
  return ReadChild(aParentNode, aNodeName, u"Error in processing node %s as date.", vxdate::kZeroDateTime,
                   [](const std::u16string& aText) { return XmlStringToDate(aText); });
}

tDateTime krptUtil::GetNodeValueAsDateTime(const port::XmlElement& aParentNode, std::u16string_view aNodeName) {
  return ReadChild(aParentNode, aNodeName, u"Error in processing node %s as datetime.", vxdate::kZeroDateTime,
                   [](const std::u16string& aText) { return XmlStringToDateTime(aText); });
}

tDateTime krptUtil::TryGetNodeValueAsDateTime(const port::XmlElement& aParentNode, std::u16string_view aNodeName) {
  try {
    return GetNodeValueAsDateTime(aParentNode, aNodeName);
  } catch (...) {
    return vxdate::kZeroDateTime;
  }
}

std::u16string krptUtil::GetAttributeValueAsString(const port::XmlElement& aNode, std::u16string_view aAttrName) {
  return aNode.Attribute(aAttrName).value_or(std::u16string());
}

bool krptUtil::HasNode(const port::XmlElement& aParentNode, std::u16string_view aNodeName) {
  return !aParentNode.FirstChild(aNodeName).IsNull();
}

port::XmlElement krptUtil::AddNode(port::XmlElement aParentNode, std::u16string_view aNodeName,
                                   std::u16string_view aNodeValue) {
  return aParentNode.AddChild(aNodeName, aNodeValue);
}
