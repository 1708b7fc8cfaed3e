// Payments and reversals.
#include "Receipts.h"
#include "Terminal.h"
#include "Validation.h"

#include <cstdio>

namespace termsim {

namespace {

// Whole minor units (cents) of an amount, as acquirers count them.
std::string MinorUnits(Amount aAmount) { return std::to_string((aAmount + 50) / 100); }

std::string ApprovalCode(int aSequence) {
  char code[8];
  std::snprintf(code, sizeof(code), "%06d", (aSequence * 7919 + 104729) % 1000000);
  return code;
}

bool HasTenderOption(const KeyList& aItems, const std::string& aOption) {
  const auto options = KeyListValue(aItems, "tenderOption");
  if (!options) return false;
  size_t start = 0;
  while (true) {
    const size_t comma = options->find(',', start);
    if (options->substr(start, comma == std::string::npos ? std::string::npos : comma - start) == aOption) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

CardProfile CardFromScenario(const Scenario& aScenario, CardProfile aCard) {
  const Json& p = aScenario.params;
  aCard.brand = p.value("brand", aCard.brand);
  aCard.label = p.value("label", p.value("brand", aCard.label));
  aCard.entryMode = p.value("entryMode", aCard.entryMode);
  aCard.maskedPan = p.value("maskedPan", aCard.maskedPan);
  aCard.country = p.value("country", aCard.country);
  return aCard;
}

// The answer's receipts as a scenario may cut them down.
Json SentReceipts(const Json& aReceipts, const AppliedScenarios& aScenarios) {
  const Scenario* receipts = aScenarios.Find(ScenarioKind::Receipts);
  return receipts == nullptr ? aReceipts : FilterReceipts(aReceipts, receipts->params["copies"]);
}

}  // namespace

Json Terminal::AnswerPayment(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios) {
  const Json& saleData = aBody["SaleData"];
  const Json& amounts = aBody["PaymentTransaction"]["AmountsReq"];
  KeyList acquirerData;
  SplitKeyList(saleData["SaleToAcquirerData"].get<std::string>(), acquirerData);
  const std::string currency = amounts["Currency"].get<std::string>();
  Amount requested = 0, tip = 0;
  JsonAmount(amounts["RequestedAmount"], requested);
  if (amounts.contains("TipAmount")) JsonAmount(amounts["TipAmount"], tip);

  CardProfile card = CardForAmount(requested);
  if (const Scenario* scenario = aScenarios.Find(ScenarioKind::Card)) card = CardFromScenario(*scenario, card);
  std::optional<Refusal> refusal = RefusalForAmount(requested);
  if (const Scenario* decline = aScenarios.Find(ScenarioKind::Decline)) {
    refusal = Refusal{decline->params.value("condition", "Refusal"), decline->params.value("refusalReason", "Refused"),
                      decline->params.value("message", ""), true};
  }
  const bool approved = !refusal.has_value();
  // Asked for a gratuity, the customer adds one (10 % unless a scenario names the amount).
  if (approved && tip == 0 && HasTenderOption(acquirerData, "AskGratuity")) {
    tip = std::max<Amount>(100, (requested / 10 + 50) / 100 * 100);
    if (const Scenario* gratuity = aScenarios.Find(ScenarioKind::Gratuity)) {
      JsonAmount(gratuity->params["amount"], tip);
    }
  }
  const auto shopperReference = KeyListValue(acquirerData, "shopperReference");

  Transaction t;
  t.category = "Payment";
  t.saleId = aHeader["SaleID"].get<std::string>();
  t.serviceId = aHeader["ServiceID"].get<std::string>();
  t.saleReference = saleData["SaleTransactionID"]["TransactionID"].get<std::string>();
  t.poiTransactionId = NextTransactionId();
  t.acquirerTransactionId = NextAcquirerId();
  t.poiTimeStamp = Now();
  t.approved = approved;
  t.currency = currency;
  t.amount = approved ? requested + tip : 0;
  t.tip = approved ? tip : 0;
  t.brand = card.brand;
  t.totalsGroup = TotalsGroupOf(t.saleId);
  t.period = fPeriod;
  const std::string authCode = approved ? ApprovalCode(fSequence) : std::string();

  Json response;
  if (approved) {
    KeyList additional = {{"pspReference", t.acquirerTransactionId},
                          {"tid", fSettings.poiid},
                          {"transactionType", "GOODS_SERVICES"},
                          {"cardType", card.brand},
                          {"cardSummary", card.maskedPan.substr(card.maskedPan.size() - 4)},
                          {"posAuthAmountValue", MinorUnits(t.amount)},
                          {"posAuthAmountCurrency", currency},
                          {"authCode", authCode}};
    if (tip > 0) additional.emplace_back("gratuityAmount", MinorUnits(tip));
    if (shopperReference) {
      additional.emplace_back("recurring.shopperReference", *shopperReference);
      additional.emplace_back("recurring.recurringDetailReference", "TK" + t.acquirerTransactionId);
    }
    response = {{"Result", "Success"}, {"AdditionalResponse", EncodeKeyList(additional)}};
  } else {
    KeyList additional;
    if (!refusal->message.empty()) additional.emplace_back("message", refusal->message);
    if (!refusal->refusalReason.empty()) additional.emplace_back("refusalReason", refusal->refusalReason);
    if (refusal->cardRead) additional.emplace_back("pspReference", t.acquirerTransactionId);
    response = FailureResponse(refusal->condition, additional);
  }

  Json body = {{"Response", std::move(response)},
               {"SaleData", {{"SaleTransactionID", saleData["SaleTransactionID"]}}},
               {"POIData",
                {{"POITransactionID", {{"TransactionID", t.poiTransactionId}, {"TimeStamp", t.poiTimeStamp}}},
                 {"POIReconciliationID", std::to_string(fPeriod)}}}};
  if (!refusal || refusal->cardRead) {
    Json amountsResp = {{"Currency", currency}, {"AuthorizedAmount", AmountJson(t.amount)}};
    if (t.tip > 0) amountsResp["TipAmount"] = AmountJson(t.tip);
    Json acquirer = {{"AcquirerID", "SimAcquirer"},
                     {"MerchantID", fSettings.merchantId},
                     {"AcquirerPOIID", fSettings.poiid},
                     {"AcquirerTransactionID", {{"TransactionID", t.acquirerTransactionId}, {"TimeStamp", t.poiTimeStamp}}}};
    if (approved) acquirer["ApprovalCode"] = authCode;
    body["PaymentResult"] = {
        {"PaymentType", "Normal"},
        {"PaymentInstrumentData",
         {{"PaymentInstrumentType", "Card"},
          {"CardData",
           {{"EntryMode", Json::array({card.entryMode})},
            {"PaymentBrand", card.brand},
            {"MaskedPan", card.maskedPan},
            {"CardCountryCode", card.country},
            {"SensitiveCardData", {{"ExpiryDate", "0330"}, {"CardSeqNumb", "01"}}}}}}},
        {"AmountsResp", std::move(amountsResp)},
        {"OnlineFlag", true},
        {"PaymentAcquirerData", std::move(acquirer)}};

    ReceiptData receipt{fSettings.merchantName, fSettings.merchantAddress, fSettings.merchantId, fSettings.poiid,
                        ToWallTime(Clock::now(), fSettings.utcOffsetMinutes), t.poiTransactionId, "GOODS & SERVICES",
                        card, true, currency, requested, t.tip, approved,
                        refusal ? refusal->refusalReason : std::string(), authCode};
    body["PaymentReceipt"] = BuildReceipts(receipt);
  }

  t.responseHeader = Header(aHeader);
  t.responseBody = body;
  fLedger.Add(std::move(t));
  if (body.contains("PaymentReceipt")) body["PaymentReceipt"] = SentReceipts(body["PaymentReceipt"], aScenarios);
  return body;
}

Json Terminal::AnswerReversal(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios) {
  const Json& originalId = aBody["OriginalPOITransaction"]["POITransactionID"];
  const std::string originalTransactionId = originalId["TransactionID"].get<std::string>();
  KeyList acquirerData;
  SplitKeyList(aBody["SaleData"]["SaleToAcquirerData"].get<std::string>(), acquirerData);
  const std::string currency = KeyListValue(acquirerData, "currency").value_or("");
  Amount reversed = 0;
  JsonAmount(aBody["ReversedAmount"], reversed);

  Transaction* original = fLedger.FindPayment(originalTransactionId);
  std::optional<Refusal> refusal;
  if (original == nullptr) {
    refusal = Refusal{"NotFound", "", "Original transaction not found", false};
  } else if (!original->approved) {
    refusal = Refusal{"NotAllowed", "", "Original transaction was not approved", true};
  } else if (original->currency != currency) {
    refusal = Refusal{"NotAllowed", "", "Currency differs from the original transaction", true};
  } else if (reversed > original->amount - original->reversed) {
    refusal = Refusal{"NotAllowed", "", "Reversed amount exceeds what is left of the original transaction", true};
  } else if (const Scenario* decline = aScenarios.Find(ScenarioKind::Decline)) {
    refusal = Refusal{decline->params.value("condition", "Refusal"), decline->params.value("refusalReason", "Refused"),
                      decline->params.value("message", ""), true};
  }
  const bool approved = !refusal.has_value();

  Transaction t;
  t.category = "Reversal";
  t.saleId = aHeader["SaleID"].get<std::string>();
  t.serviceId = aHeader["ServiceID"].get<std::string>();
  t.saleReference = aBody["SaleData"]["SaleTransactionID"]["TransactionID"].get<std::string>();
  t.poiTransactionId = NextTransactionId();
  t.acquirerTransactionId = NextAcquirerId();
  t.poiTimeStamp = Now();
  t.approved = approved;
  t.currency = original != nullptr ? original->currency : currency;
  t.amount = approved ? reversed : 0;
  t.brand = original != nullptr ? original->brand : std::string();
  t.totalsGroup = TotalsGroupOf(t.saleId);
  t.period = fPeriod;
  t.originalId = originalTransactionId;

  Json response;
  if (approved) {
    response = {{"Result", "Success"},
                {"AdditionalResponse", EncodeKeyList({{"pspReference", t.acquirerTransactionId},
                                                      {"originalPspReference", original->acquirerTransactionId},
                                                      {"tid", fSettings.poiid}})}};
  } else {
    KeyList additional;
    if (!refusal->message.empty()) additional.emplace_back("message", refusal->message);
    if (!refusal->refusalReason.empty()) additional.emplace_back("refusalReason", refusal->refusalReason);
    response = FailureResponse(refusal->condition, additional);
  }
  Json body = {{"Response", std::move(response)},
               {"POIData",
                {{"POITransactionID", {{"TransactionID", t.poiTransactionId}, {"TimeStamp", t.poiTimeStamp}}},
                 {"POIReconciliationID", std::to_string(fPeriod)}}},
               {"OriginalPOITransaction", {{"POITransactionID", originalId}}}};
  if (approved) body["ReversedAmount"] = AmountJson(reversed);
  if (original != nullptr) {
    // The card of the payment being reversed.
    const Json& stored = original->responseBody;
    const Json::json_pointer cardPath("/PaymentResult/PaymentInstrumentData/CardData");
    const Json cardData = stored.contains(cardPath) ? stored.at(cardPath) : Json::object();
    CardProfile card = CardForAmount(0);
    card.brand = cardData.value("PaymentBrand", card.brand);
    card.label = BrandLabel(card.brand);
    card.maskedPan = cardData.value("MaskedPan", card.maskedPan);
    if (cardData.contains("EntryMode") && !cardData["EntryMode"].empty()) {
      card.entryMode = cardData["EntryMode"][0].get<std::string>();
    }
    card.aid.clear();
    card.signature = false;
    const bool whole = approved && original->reversed == 0 && reversed == original->amount;
    ReceiptData receipt{fSettings.merchantName, fSettings.merchantAddress, fSettings.merchantId, fSettings.poiid,
                        ToWallTime(Clock::now(), fSettings.utcOffsetMinutes), t.poiTransactionId,
                        whole ? "REVERSAL" : "REFUND", card, true, t.currency, reversed, 0, approved,
                        refusal ? refusal->refusalReason : std::string(), std::string()};
    body["PaymentReceipt"] = BuildReceipts(receipt);
    if (approved) original->reversed += reversed;
  }

  t.responseHeader = Header(aHeader);
  t.responseBody = body;
  fLedger.Add(std::move(t));
  if (body.contains("PaymentReceipt")) body["PaymentReceipt"] = SentReceipts(body["PaymentReceipt"], aScenarios);
  return body;
}

}  // namespace termsim
