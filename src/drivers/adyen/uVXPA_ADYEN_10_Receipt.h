#pragma once
// Receipt rendering: the terminal sends each receipt copy as a list of output lines whose text is
// a key list (key, name, value); they are laid out here into lines of the caller's width, with
// headings centred, values aligned to the right edge and QR codes left out.
#include <cstdint>
#include <string>

#include "drivers/adyen/uVXPA_ADYEN_10_Json.h"
#include "payment/uVxPayment_Results.h"

namespace adyen {

// The lines of an OutputContent.OutputText array laid out at aWidth columns, each followed by
// CR LF (the last one too). Without an array: one empty line. Lengths count UTF-16 code units.
std::u16string RenderReceiptLines(const tJson* aOutputText, int32_t aWidth);

// One element of a PaymentReceipt array: SignatureRequested := its RequiredSignatureFlag; its
// text goes to CashierReceiptText when its DocumentQualifier is "CashierReceipt", else to
// ReceiptText, replacing what an earlier element put there.
void RenderPaymentReceipt(const tJson* aReceipt, int32_t aWidth, _int_PAY_result& aResult);

}  // namespace adyen
