#include "FriendlySession.h"

#include <stdexcept>

#include "Console.h"
#include "ResultView.h"
#include "platform/Utf8.h"

namespace vxpa {
namespace {

std::string Element(const std::string& aName, const std::string& aValue) {
  return "<" + aName + ">" + EscapeXml(aValue) + "</" + aName + ">";
}

std::string KindOf(const std::string& aAction) {
  if (aAction == "REFUND") return "Refund";
  if (aAction == "VOID") return "Void";
  return "Sale";
}

void Say(const std::string& aText) { Write(stdout, aText + "\n"); }

}  // namespace

void CheckAmount(const std::string& aFlag, const std::string& aAmount) {
  size_t digits = 0;
  size_t points = 0;
  size_t decimals = 0;
  for (char c : aAmount) {
    if (c == '.') {
      ++points;
    } else if (c >= '0' && c <= '9') {
      ++digits;
      if (points > 0) ++decimals;
    } else {
      digits = 0;
      break;
    }
  }
  if (digits == 0 || points > 1 || decimals > 4 || aAmount.front() == '.' || aAmount.back() == '.') {
    throw std::invalid_argument(aFlag + " needs an amount such as 12.50, not \"" + aAmount + "\"");
  }
}

int FriendlySession::Open() {
  const HostModule::Answer answer =
      fContext.Module().Call("OPEN", port::FromUtf8(RequestDocument(fProfile, 0, "")));
  const std::u16string document = answer.Output.value_or(u"");
  if (ResultField(document, "Error") != "False") {
    Say("Could not open the terminal " + fProfile.POIID + " — " + ResultField(document, "ErrorText"));
    return kExitFailed;
  }
  fHandle = std::stoi(ResultField(document, "Handle"));
  Say("Terminal " + fProfile.POIID + " at " + fProfile.URL + " is ready (device handle " + std::to_string(fHandle) + ").");
  return kExitOk;
}

int FriendlySession::Pay(const PaymentOrder& aOrder) {
  const std::string kind = KindOf(aOrder.Action);
  const bool reversal = aOrder.Action != "PAY";
  std::string amount = aOrder.Amount;
  std::string currency = aOrder.Currency.empty() ? fProfile.Currency : aOrder.Currency;
  std::string paymentId = aOrder.PaymentId;
  std::string paymentTime = aOrder.PaymentTime;
  if (reversal && paymentId.empty()) {
    if (!fLastSale) throw std::invalid_argument(kind + " needs --payment-id and --payment-time (no sale to refer to yet)");
    paymentId = fLastSale->PaymentId;
    paymentTime = fLastSale->PaymentTime;
    if (amount.empty()) amount = fLastSale->Amount;
    if (aOrder.Currency.empty()) currency = fLastSale->Currency;
  }
  if (amount.empty()) throw std::invalid_argument(kind + " needs --amount");

  std::string payment = "<Payment>" + Element("StoreCode", fProfile.StoreCode) + Element("TillCode", fProfile.TillCode);
  if (!aOrder.Reference.empty()) payment += Element("Reference", aOrder.Reference);
  payment += Element("Amount", amount) + Element("Currency", currency) + Element("Action", aOrder.Action);
  if (!aOrder.Tip.empty()) payment += Element("TipAmount", aOrder.Tip);
  if (aOrder.AskTip) payment += Element("RequestTipAmount", "true");
  if (!aOrder.TokenReference.empty()) {
    payment += Element("TokenizeCard", "true") + Element("TokenReference", aOrder.TokenReference);
  }
  const std::string width = aOrder.Width.empty() ? fProfile.ReceiptColCount : aOrder.Width;
  if (!width.empty()) payment += Element("ReceiptColCount", width);
  if (!fProfile.PrintLocation.empty()) payment += Element("PrintLocation", fProfile.PrintLocation);
  if (reversal) {
    payment += "<RefundReference>" + Element("PaymentId", paymentId) + Element("PaymentDateTime", paymentTime) +
               "</RefundReference>";
  }
  payment += "</Payment>";

  const HostModule::Answer answer =
      fContext.Module().Call("PAY", port::FromUtf8(RequestDocument(fProfile, fHandle, payment)));
  const std::u16string document = answer.Output.value_or(u"");
  Say(PaymentSentence(kind + " of", document, amount, currency));
  const bool approved = ResultField(document, "Error") == "False";
  if (approved || !ResultField(document, "DeviceId").empty()) {
    const std::string token = ResultField(document, "CardToken");
    if (!token.empty()) Say("  card stored for later payments under " + token);
    Say("  terminal reference " + ResultField(document, "RefundReference") + ", " +
        ResultField(document, "PaymentDateTime"));
    if (ResultField(document, "SignatureRequested") == "True") Say("  the customer must sign the cashier's copy");
    Write(stdout, FramedReceipt("customer receipt", ResultField(document, "ReceiptText")));
    Write(stdout, FramedReceipt("cashier receipt", ResultField(document, "CashierReceiptText")));
  }
  if (approved && !reversal) {
    fLastSale = Sale{ResultField(document, "PaymentAmount"), ResultField(document, "PaymentCurrency"),
                     ResultField(document, "RefundReference"), ResultField(document, "PaymentDateTime")};
  }
  if (aOrder.ExpectDecline) {
    // A decline is a decision of the terminal; a failure without one is still a failure.
    const bool declined = !approved && !ResultField(document, "DeviceId").empty();
    return declined ? kExitOk : kExitFailed;
  }
  return approved ? kExitOk : kExitFailed;
}

int FriendlySession::Close(int aHandle) {
  const int handle = aHandle > 0 ? aHandle : fHandle;
  const HostModule::Answer answer =
      fContext.Module().Call("CLOSE", port::FromUtf8(RequestDocument(fProfile, handle, "")));
  const std::u16string document = answer.Output.value_or(u"");
  if (ResultField(document, "Error") != "False") {
    Say(handle > 0 ? "Device " + std::to_string(handle) + " is not open." : "No device is open (give --handle N).");
    return kExitFailed;
  }
  Say("Device " + std::to_string(handle) + " closed.");
  if (handle == fHandle) fHandle = 0;
  return kExitOk;
}

std::string FriendlySession::Node(const std::string& aName, const std::string& aReceiptId, bool aReversal,
                                  const std::string& aWidth) const {
  std::string node = "<" + aName + ">" + Element("StoreCode", fProfile.StoreCode) + Element("TillCode", fProfile.TillCode);
  if (!aReceiptId.empty()) node += Element("ReceiptId", aReceiptId);
  if (aReversal) node += Element("Action", "REFUND");
  const std::string width = aWidth.empty() ? fProfile.ReceiptColCount : aWidth;
  if (!width.empty()) node += Element("ReceiptColCount", width);
  return node + "</" + aName + ">";
}

int FriendlySession::Verify(const std::string& aReceiptId, bool aReversal, const std::string& aWidth) {
  const HostModule::Answer answer = fContext.Module().Call(
      "VERIFYTRAN", port::FromUtf8(RequestDocument(fProfile, fHandle, Node("VerifyTran", aReceiptId, aReversal, aWidth))));
  const std::u16string document = answer.Output.value_or(u"");
  const std::string which = aReceiptId.empty() ? "The last transaction" : "Transaction " + aReceiptId;
  Say(PaymentSentence(which + ":", document, "0", fProfile.Currency));
  const bool found = ResultField(document, "Error") == "False";
  if (found) Say("  terminal reference " + ResultField(document, "RefundReference") + ", " + ResultField(document, "PaymentDateTime"));
  return found ? kExitOk : kExitFailed;
}

int FriendlySession::Reprint(const std::string& aReceiptId, const std::string& aWidth) {
  const HostModule::Answer answer = fContext.Module().Call(
      "REPRINT", port::FromUtf8(RequestDocument(fProfile, fHandle, Node("Reprint", aReceiptId, false, aWidth))));
  const std::u16string document = answer.Output.value_or(u"");
  if (ResultField(document, "Error") != "False") {
    const std::string reason = ResultField(document, "ErrorText");
    Say("Could not reprint — " + (reason.empty() ? std::string("the terminal did not answer") : reason));
    return kExitFailed;
  }
  Say(std::string("Receipts of ") + (aReceiptId.empty() ? "the last transaction" : "transaction " + aReceiptId) +
      ", printed again:");
  Write(stdout, FramedReceipt("customer receipt (copy)", ResultField(document, "ReceiptText")));
  Write(stdout, FramedReceipt("cashier receipt (copy)", ResultField(document, "CashierReceiptText")));
  return kExitOk;
}

int FriendlySession::Totals(bool aClose) {
  const std::string name = aClose ? "DayClose" : "GetTotals";
  std::string node = "<" + name + ">" + Element("StoreCode", fProfile.StoreCode) + Element("TillCode", fProfile.TillCode);
  if (!fProfile.PrintLocation.empty()) node += Element("PrintLocation", fProfile.PrintLocation);
  node += "</" + name + ">";
  const HostModule::Answer answer =
      fContext.Module().Call(aClose ? "DAYCLOSE" : "GETTOTALS", port::FromUtf8(RequestDocument(fProfile, fHandle, node)));
  const std::u16string document = answer.Output.value_or(u"");
  if (ResultField(document, "Error") != "False") {
    const std::string reason = ResultField(document, "ErrorText");
    Say(std::string(aClose ? "The day could not be closed" : "No totals") + " — " +
        (reason.empty() ? std::string("the terminal did not answer") : reason));
    return kExitFailed;
  }
  const std::string count = ResultField(document, "TransactionsCount");
  const std::string figures = count + (count == "1" ? " transaction, " : " transactions, ") +
                              MoneyText(ResultField(document, "TotalAmount")) + " " + ResultField(document, "Currency");
  if (aClose) {
    Say("Day closed (closure " + ResultField(document, "ClosureNumber") + "): " + figures);
  } else {
    Say("Totals so far: " + figures);
  }
  Write(stdout, FramedReceipt(aClose ? "day close report" : "totals report", ResultField(document, "ReceiptText")));
  return kExitOk;
}

}  // namespace vxpa
