#include "Cards.h"

namespace termsim {

namespace {

int CentsOf(Amount aAmount) { return static_cast<int>((aAmount / 100) % 100); }

}  // namespace

const std::vector<AmountCode>& AmountCodes() {
  static const std::vector<AmountCode> kCodes = {
      {51, "declined: Refusal, refusalReason Not enough balance"},
      {52, "declined: Refusal, refusalReason Expired Card, message Card expired"},
      {53, "declined: Refusal, refusalReason Blocked Card"},
      {54, "cancelled on the terminal: Cancel, message Cancelled by customer (no card data)"},
      {55, "terminal busy: Busy, message Terminal busy (no card data)"},
      {61, "visa, ICC, Italy (380)"},
      {62, "amex, MagStripe, United States (840), signature on the cashier copy"},
      {63, "maestro, Keyed, Germany (276)"},
      {64, "visa_applepay, Mobile, France (250)"},
      {65, "cup (a brand the driver does not know), ICC, China (156)"},
  };
  return kCodes;
}

CardProfile CardForAmount(Amount aRequested) {
  switch (CentsOf(aRequested)) {
    case 61: return {"visa", "VISA", "ICC", "476173 **** 0010", "380", "A0000000031010", false};
    case 62: return {"amex", "American Express", "MagStripe", "374251 ***** 1003", "840", "", true};
    case 63: return {"maestro", "Maestro", "Keyed", "679999 **** 0019", "276", "", false};
    case 64: return {"visa_applepay", "VISA", "Mobile", "411111 **** 1111", "250", "A0000000031010", false};
    case 65: return {"cup", "UnionPay", "ICC", "624303 **** 7001", "156", "A000000333010101", false};
    default: return {"mc", "Mastercard", "Contactless", "541333 **** 9999", "528", "A0000000041010", false};
  }
}

std::string BrandLabel(const std::string& aBrand) {
  for (int cents : {0, 61, 62, 63, 64, 65}) {
    const CardProfile profile = CardForAmount(static_cast<Amount>(cents) * 100);
    if (profile.brand == aBrand) return profile.label;
  }
  return aBrand;
}

std::optional<Refusal> RefusalForAmount(Amount aRequested) {
  switch (CentsOf(aRequested)) {
    case 51: return Refusal{"Refusal", "Not enough balance", "", true};
    case 52: return Refusal{"Refusal", "Expired Card", "Card expired", true};
    case 53: return Refusal{"Refusal", "Blocked Card", "", true};
    case 54: return Refusal{"Cancel", "", "Cancelled by customer", false};
    case 55: return Refusal{"Busy", "", "Terminal busy", false};
    default: return std::nullopt;
  }
}

}  // namespace termsim
