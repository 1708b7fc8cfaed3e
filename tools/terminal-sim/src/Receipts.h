#pragma once
// The receipt copies a payment or reversal answer carries: output lines whose text is a
// URL-encoded key list (key, name, value), headings, fields, a QR code and line ends.
#include "Cards.h"
#include "SimText.h"

#include <nlohmann/json.hpp>

#include <string>

namespace termsim {

using Json = nlohmann::ordered_json;

struct ReceiptData {
  std::string merchantName;
  std::string merchantAddress;
  std::string merchantId;
  std::string poiid;
  WallTime time;
  std::string transactionId;  // the terminal's identifier of this transaction
  std::string typeLabel;      // "GOODS & SERVICES", "REFUND", ...
  CardProfile card;
  bool cardRead = true;
  std::string currency;
  Amount amount = 0;  // before the tip
  Amount tip = 0;
  bool approved = false;
  std::string refusalReason;
  std::string authCode;
};

// The PaymentReceipt array: the cashier copy, then the customer copy.
Json BuildReceipts(const ReceiptData& aData);

// aReceipts without the copies whose DocumentQualifier is not in aCopies (an array of names).
Json FilterReceipts(const Json& aReceipts, const Json& aCopies);

}  // namespace termsim
