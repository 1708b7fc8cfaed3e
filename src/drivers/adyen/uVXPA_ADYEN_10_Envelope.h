#pragma once
// The envelope that every terminal message shares: the request's SaleToPOIRequest with its
// MessageHeader and one body member, the parts of a response that every reader takes in the same
// way (header, body, Response.Result, ErrorCondition, AdditionalResponse), the standard error
// text, and the clock-made service reference.
#include <initializer_list>
#include <string>
#include <string_view>

#include "drivers/adyen/uVXPA_ADYEN_10_Json.h"
#include "drivers/adyen/uVXPA_ADYEN_10_KeyList.h"

namespace adyen {

// What a request header carries besides its constants (ProtocolVersion "3.0", MessageClass
// "Service", MessageType "Request").
struct tAdyenHeader {
  std::u16string MessageCategory;
  std::u16string SaleID;     // store code + "-" + till code
  std::u16string ServiceID;  // 10 characters identifying this request
  std::u16string POIID;      // the configured terminal
};

// {"SaleToPOIRequest":{"MessageHeader":{...},aBodyName:aBody}} as compact text.
std::u16string BuildRequestMessage(const tAdyenHeader& aHeader, std::u16string_view aBodyName, tJson aBody);

// A parsed answer. Every read is forgiving: a text that is not JSON, or lacks the members,
// reads as missing objects and empty texts.
class kAdyenResponse {
 public:
  explicit kAdyenResponse(std::u16string_view aPlainText) : fDocument(ParseJson(aPlainText)) {}

  const tJson& Document() const { return fDocument; }
  // "SaleToPOIResponse.MessageHeader", or nullptr.
  const tJson* Header() const;
  // "SaleToPOIResponse." + aBodyName, or nullptr.
  const tJson* Body(std::u16string_view aBodyName) const;

 private:
  tJson fDocument;
};

// The Response object of a body: the outcome and the texts that explain it.
struct tAdyenResponseStatus {
  bool Success = false;  // Result is exactly "Success"
  std::u16string ErrorCondition;
  kKeyValueList AdditionalResponse;
};
tAdyenResponseStatus ReadResponseStatus(const tJson* aBody);

// aText followed by " - " and the value of each of aKeys, in order, that is not empty.
std::u16string AppendAdditionalTexts(std::u16string aText, const kKeyValueList& aList,
                                     std::initializer_list<std::u16string_view> aKeys);

// The error text of a failed command: ErrorCondition, then " - " and each non-empty value of
// aKeys in the additional response.
std::u16string StandardErrorText(const tAdyenResponseStatus& aStatus,
                                 std::initializer_list<std::u16string_view> aKeys);

// The store and till codes as the header's SaleID: aStoreCode + "-" + aTillCode.
std::u16string SaleIDOf(std::u16string_view aStoreCode, std::u16string_view aTillCode);

// The local clock as "yyyymmddhhnnsszzz" cut to its last 10 characters: the second digit of the
// day, hour, minute, second and milliseconds (2024-03-15 14:07:09.123 gives 5140709123).
std::u16string NewServiceReference();

}  // namespace adyen
