#pragma once
// The result documents returned to the host: one element per record field, in a fixed order,
// joined by CR LF, with no declaration, no root element, no indentation and no CR LF after the
// last element. Rendering never fails on any record content.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/uVX_Currency.h"
#include "base/uVX_DateTime.h"
#include "payment/uVxPayment_Results.h"

// aText with "&", "<", ">", the double quote and the apostrophe replaced by their entities; "&"
// first, so no entity is escaped twice. Line breaks stay as they are.
std::u16string EscapeXml(std::u16string_view aText);

// Builds one result document element by element.
class tVX_ResultDocument {
 public:
  void AddText(std::u16string_view aName, std::u16string_view aValue);  // escaped
  void AddWord(std::u16string_view aName, std::u16string_view aValue);  // a vocabulary word, as it is
  void AddBoolean(std::u16string_view aName, bool aValue);              // "True" / "False"
  void AddDateTime(std::u16string_view aName, tDateTime aValue);        // 2024-01-08T06:45:56
  void AddAmount(std::u16string_view aName, tVX_Currency aValue);       // 1234.5
  void AddInteger(std::u16string_view aName, int32_t aValue);

  const std::u16string& Text() const { return fText; }

 private:
  void AddElement(std::u16string_view aName, std::u16string_view aValue);
  std::u16string fText;
};

// The document of each result record.
std::u16string ResultDocument(const _int_OPEN_result& aResult);
std::u16string ResultDocument(const _int_CLOSE_result& aResult);
std::u16string ResultDocument(const _int_GETSTATUS_result& aResult);
std::u16string ResultDocument(const _int_PAY_result& aResult);
std::u16string ResultDocument(const _int_REPRINT_result& aResult);
std::u16string ResultDocument(const _int_DAYCLOSE_result& aResult);
std::u16string ResultDocument(const _int_GETTOTALS_result& aResult);
