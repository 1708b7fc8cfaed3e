#pragma once
// The result documents read back the way a shop owner wants to hear them: one sentence saying
// what happened ("Sale of 12.50 EUR approved — Visa ****1234, auth 123456") and the receipts
// framed to their width.
#include <string>
#include <string_view>

namespace vxpa {

// The text of the element aName in a result document (a sequence of <Name>value</Name>
// elements), unescaped; empty when the element is missing or empty.
std::string ResultField(std::u16string_view aDocument, std::string_view aName);

// "12.5" -> "12.50", "100" -> "100.00", "0.125" stays: at least two decimals.
std::string MoneyText(const std::string& aAmount);

// "visa" -> "Visa", "mastercard" -> "Mastercard", "amex" -> "American Express", ...;
// "other" and the empty text -> "card".
std::string NetworkName(const std::string& aNetwork);

// The sentence for a PAY or VERIFYTRAN result document, starting with aSubject ("Sale of",
// "Refund of", ...). aAmount and aCurrency are what was asked, used when the answer carries none.
// It says that the terminal approved or declined, or that the command failed before the terminal
// decided.
std::string PaymentSentence(std::string_view aSubject, std::u16string_view aDocument, const std::string& aAmount,
                            const std::string& aCurrency);

// A receipt text (lines ending in CR LF) framed under a title, the frame as wide as the widest
// line; empty when the receipt is empty.
std::string FramedReceipt(const std::string& aTitle, const std::string& aReceipt);

}  // namespace vxpa
