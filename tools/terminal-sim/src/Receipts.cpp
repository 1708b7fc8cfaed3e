#include "Receipts.h"

#include <cstdio>

namespace termsim {

namespace {

class ReceiptWriter {
 public:
  // One output item; aBlankAsPlus picks the '+' or %20 form for blanks (terminals use both).
  void Item(const std::string& aKey, const std::string& aName, const std::string& aValue, bool aEndOfLine = true,
            bool aBlankAsPlus = false) {
    KeyList items = {{"key", aKey}};
    if (!aName.empty()) items.emplace_back("name", aName);
    if (!aValue.empty()) items.emplace_back("value", aValue);
    fLines.push_back({{"CharacterStyle", "Normal"},
                      {"EndOfLineFlag", aEndOfLine},
                      {"Alignment", "Left"},
                      {"Text", EncodeKeyList(items, aBlankAsPlus)}});
  }
  void Blank() { Item("filler", "", ""); }
  Json Take() { return std::move(fLines); }

 private:
  Json fLines = Json::array();
};

std::string Money(const std::string& aCurrency, Amount aAmount) { return aCurrency + " " + FormatAmount2(aAmount); }

Json BuildCopy(const ReceiptData& aData, bool aCashier) {
  char date[16], clock[16];
  std::snprintf(date, sizeof(date), "%02d/%02d/%04d", aData.time.day, aData.time.month, aData.time.year);
  std::snprintf(clock, sizeof(clock), "%02d:%02d:%02d", aData.time.hour, aData.time.minute, aData.time.second);

  ReceiptWriter w;
  w.Item("header1", aData.merchantName, "");
  w.Item("header2", aData.merchantAddress, "", true, true);
  w.Blank();
  if (aCashier) {
    w.Item("merchantTitle", "MERCHANT COPY", "");
  } else {
    w.Item("cardholderHeader", "CARDHOLDER COPY", "");
  }
  w.Blank();
  w.Item("txdate", "Date", date);
  w.Item("txtime", "Time", clock);
  w.Item("tid", "Terminal", aData.poiid);
  w.Item("mid", "Merchant", aData.merchantId);
  w.Item("txref", "Tx Ref", aData.transactionId);
  w.Blank();
  if (aData.cardRead) {
    w.Item("cardBrand", aData.card.label, "");
    w.Item("pan", "Card", aData.card.maskedPan);
    w.Item("panSeq", "PAN seq.", "01");
    w.Item("entryMode", "Entry mode", aData.card.entryMode);
    if (!aData.card.aid.empty()) w.Item("aid", "AID", aData.card.aid);
    w.Blank();
  }
  w.Item("txtype", "Type", aData.typeLabel);
  if (aData.tip > 0) {
    w.Item("amount", "Amount", Money(aData.currency, aData.amount));
    w.Item("tip", "Tip", Money(aData.currency, aData.tip));
  }
  // The total comes as a name item and a value item on one line, as terminals send it.
  w.Item("totalAmount", "TOTAL", "", false);
  w.Item("totalAmountValue", "", Money(aData.currency, aData.amount + aData.tip));
  w.Blank();
  if (aData.approved) {
    w.Item("approved", "APPROVED", "");
    if (!aData.authCode.empty()) w.Item("authCode", "Auth. code", aData.authCode);
  } else {
    w.Item("refused", "DECLINED", "");
    if (!aData.refusalReason.empty()) w.Item("refusalReason", "Reason", aData.refusalReason);
  }
  if (aCashier && aData.card.signature && aData.approved) {
    w.Blank();
    w.Item("signatureTitle", "Cardholder signature", "");
    w.Blank();
    w.Item("signatureLine", "________________________", "");
  }
  w.Blank();
  w.Item("QRCode", "Receipt", "https://receipts.terminal-sim.invalid/" + aData.transactionId);
  w.Item("thanks", aCashier ? "Keep for your records" : "Please retain receipt", "");

  return {{"DocumentQualifier", aCashier ? "CashierReceipt" : "CustomerReceipt"},
          {"IntegratedPrintFlag", false},
          {"RequiredSignatureFlag", aCashier && aData.card.signature && aData.approved},
          {"OutputContent", {{"OutputFormat", "Text"}, {"OutputText", w.Take()}}}};
}

}  // namespace

Json BuildReceipts(const ReceiptData& aData) {
  return Json::array({BuildCopy(aData, true), BuildCopy(aData, false)});
}

Json FilterReceipts(const Json& aReceipts, const Json& aCopies) {
  Json out = Json::array();
  for (const auto& receipt : aReceipts) {
    for (const auto& copy : aCopies) {
      if (receipt.value("DocumentQualifier", "") == copy) {
        out.push_back(receipt);
        break;
      }
    }
  }
  return out;
}

}  // namespace termsim
