#pragma once
// Payment and reversal messages: the requests a sale, a refund and a void send, and the reader
// that maps a payment or reversal response (also the one repeated inside a transaction status)
// onto the payment result, with the card brand and entry mode tables.
#include <string>
#include <string_view>

#include "drivers/adyen/uVXPA_ADYEN_10_Envelope.h"
#include "payment/uVXPaymentDefs.h"
#include "payment/uVxPayment_Request.h"
#include "payment/uVxPayment_Results.h"

namespace adyen {

// What the payment messages take from the device and the machine it runs on.
struct tAdyenSaleContext {
  std::u16string POIID;
  std::u16string DriverVersion;  // GetDriverVersion
  std::u16string OsName;         // the operating system's product name
  std::u16string OsVersion;      // its full description
  std::u16string MachineName;    // COMPUTERNAME
};

// The sale data key lists before encoding.
std::u16string PaymentKeyList(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt);
std::u16string ReversalKeyList(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt);

// A payment request (header category "Payment", body PaymentRequest) for the request's sale
// reference, which must already be the one to send (1 to 10 characters). aTimeStamp is the
// current local time in ISO 8601 form.
std::u16string BuildPaymentRequestMessage(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt,
                                          std::u16string_view aTimeStamp);
// A reversal request (category "Reversal", body ReversalRequest) of the payment that the
// request's RefundReference names, for the amount plus the tip.
std::u16string BuildReversalRequestMessage(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt,
                                           std::u16string_view aTimeStamp);

// Reads a payment response (action Pay) or reversal response (Refund, Void) from the plain
// answer into aResult and answers whether its Result is "Success". Identifiers, time, receipts
// and amounts are filled whatever the outcome. Throws "Action Invalid. Must be PAY, VOID or
// REFUND" for any other action.
bool ReadPaymentResponse(std::u16string_view aPlainResponse, const kPaymentReceipt& aReceipt, _int_PAY_result& aResult);

// PaymentBrand text to network (exact, case-sensitive prefixes and names; Other otherwise).
vxPaymentNetwork BrandToPaymentNetwork(std::u16string_view aBrand);
// First EntryMode text to reading mode (exact, case-sensitive; ptt_Other otherwise).
vxPaymentTransactionType EntryModeToTransactionType(std::u16string_view aEntryMode);

// "Action Invalid. Must be PAY, VOID or REFUND"
extern const char16_t kActionInvalidMessage[];

}  // namespace adyen
