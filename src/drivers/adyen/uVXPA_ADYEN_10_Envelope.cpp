#include "drivers/adyen/uVXPA_ADYEN_10_Envelope.h"

#include <mutex>
#include <utility>

#include "base/uVX_Text.h"
#include "platform/Clock.h"

namespace adyen {

std::u16string BuildRequestMessage(const tAdyenHeader& aHeader, std::u16string_view aBodyName, tJson aBody) {
  tJson header = tJson::object();
  header["ProtocolVersion"] = "3.0";
  header["MessageClass"] = "Service";
  header["MessageCategory"] = JsonText(aHeader.MessageCategory);
  header["MessageType"] = "Request";
  header["SaleID"] = JsonText(aHeader.SaleID);
  header["ServiceID"] = JsonText(aHeader.ServiceID);
  header["POIID"] = JsonText(aHeader.POIID);

  tJson request = tJson::object();
  request["MessageHeader"] = std::move(header);
  request[vxtext::Utf8(aBodyName)] = std::move(aBody);
  tJson envelope = tJson::object();
  envelope["SaleToPOIRequest"] = std::move(request);
  return JsonToText(envelope);
}

const tJson* kAdyenResponse::Header() const {
  return kJSONUtils::GetObject(&fDocument, u"SaleToPOIResponse.MessageHeader");
}

const tJson* kAdyenResponse::Body(std::u16string_view aBodyName) const {
  return kJSONUtils::GetObject(&fDocument, u"SaleToPOIResponse." + std::u16string(aBodyName));
}

tAdyenResponseStatus ReadResponseStatus(const tJson* aBody) {
  tAdyenResponseStatus status;
  status.Success = kJSONUtils::GetString(aBody, u"Response.Result") == u"Success";
  status.ErrorCondition = kJSONUtils::GetString(aBody, u"Response.ErrorCondition");
  status.AdditionalResponse = SplitKeyValueList(kJSONUtils::GetString(aBody, u"Response.AdditionalResponse"));
  return status;
}

std::u16string AppendAdditionalTexts(std::u16string aText, const kKeyValueList& aList,
                                     std::initializer_list<std::u16string_view> aKeys) {
  for (std::u16string_view key : aKeys) {
    std::u16string value = aList.Value(key);
    if (!value.empty()) aText += u" - " + value;
  }
  return aText;
}

std::u16string StandardErrorText(const tAdyenResponseStatus& aStatus,
                                 std::initializer_list<std::u16string_view> aKeys) {
  return AppendAdditionalTexts(aStatus.ErrorCondition, aStatus.AdditionalResponse, aKeys);
}

std::u16string SaleIDOf(std::u16string_view aStoreCode, std::u16string_view aTillCode) {
  return std::u16string(aStoreCode) + u"-" + std::u16string(aTillCode);
}

namespace {

std::u16string ClockReference() {
  port::LocalTime t = port::Now();
  std::u16string stamp = vxtext::ZeroPad(t.year, 4) + vxtext::ZeroPad(t.month, 2) + vxtext::ZeroPad(t.day, 2) +
                         vxtext::ZeroPad(t.hour, 2) + vxtext::ZeroPad(t.minute, 2) + vxtext::ZeroPad(t.second, 2) +
                         vxtext::ZeroPad(t.millisecond, 3);
  return stamp.substr(stamp.size() - 10);
}

}  // namespace

// A login and the report request after it can be built within one millisecond on a fast link,
// and would then carry the same ServiceID, by which the terminal tells requests apart. So the
// clock is read again, a millisecond later, while it repeats the last reference; a clock that
// stands still (a test's) is given up on after a few tries.
std::u16string NewServiceReference() {
  static std::mutex guard;
  static std::u16string last;
  const std::lock_guard<std::mutex> lock(guard);
  std::u16string reference = ClockReference();
  for (int tries = 0; tries < 20 && reference == last; ++tries) {
    port::SleepMs(1);
    reference = ClockReference();
  }
  last = reference;
  return reference;
}

}  // namespace adyen
