#pragma once
// The cards the simulated customers present and the outcomes chosen by the cents of the
// requested amount, so that a test picks a scenario by its amount alone.
#include "SimText.h"

#include <optional>
#include <string>
#include <vector>

namespace termsim {

struct CardProfile {
  std::string brand;      // PaymentBrand
  std::string label;      // brand as printed on the receipt
  std::string entryMode;  // first EntryMode
  std::string maskedPan;
  std::string country;    // numeric ISO 3166 code
  std::string aid;        // application identifier printed for chip and contactless reads
  bool signature = false; // the cashier copy asks for a signature
};

struct Refusal {
  std::string condition;      // ErrorCondition
  std::string refusalReason;  // AdditionalResponse refusalReason, may be empty
  std::string message;        // AdditionalResponse message, may be empty
  bool cardRead = true;       // false: the customer never presented a card (cancel, busy)
};

struct AmountCode {
  int cents;  // the two decimals of the requested amount
  const char* help;
};

// The card for a requested amount (the default card unless its cents name another).
CardProfile CardForAmount(Amount aRequested);
// The brand as printed on receipts for a PaymentBrand of the card profiles; the brand itself for
// any other.
std::string BrandLabel(const std::string& aBrand);
// The refusal for a requested amount; nullopt when its cents approve.
std::optional<Refusal> RefusalForAmount(Amount aRequested);
// The amount codes with their meaning, for --help.
const std::vector<AmountCode>& AmountCodes();

}  // namespace termsim
