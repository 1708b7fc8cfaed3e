#include "payment/uVXPaymentDefs.h"

namespace {

// Indexed by the network's number.
constexpr std::u16string_view kNetworkTexts[kPaymentNetworkCount] = {
    u"bank",      u"cheque",     u"visa",       u"amex",       u"mastercard", u"jcb",
    u"cup",       u"diners",     u"maestro",    u"NHS",        u"edenred",    u"day",
    u"sodexo",    u"pellegrini", u"bluticket",  u"jakala",     u"miglunch",   u"alipay",
    u"discover",  u"doku",       u"dragonpay",  u"molpay",     u"vpay",       u"amazonpay",
    u"applepay",  u"samsungpay", u"paypal",     u"yandex",     u"quiticket",  u"repas",
    u"ristomat",  u"agape",      u"lunchtime",  u"quiwelfare", u"ep",         u"cir",
    u"gemeaz",    u"satispay",   u"jiffy",      u"bitcoin",    u"tinaba",     u"scalapay",
    u"unrecognized", u"other"};

constexpr std::u16string_view kTransactionTypeTexts[] = {
    u"CHIP", u"MAGSTRIPE", u"MANUAL", u"CLESS", u"CLESSMAGSTRIPE", u"CLESSCHIP", u"", u"OTHER"};

}  // namespace

std::u16string PaymentNetworkToString(vxPaymentNetwork aNetwork) {
  auto index = static_cast<size_t>(aNetwork);
  if (index >= std::size(kNetworkTexts)) return u"";
  return std::u16string(kNetworkTexts[index]);
}

std::u16string TransactionTypeToString(vxPaymentTransactionType aType) {
  auto index = static_cast<size_t>(aType);
  if (index >= std::size(kTransactionTypeTexts)) return u"";
  return std::u16string(kTransactionTypeTexts[index]);
}

bool FindCountryByNumber(std::u16string_view aNumber, vxCountryMap& aCountry) {
  for (const auto& entry : CountryTable()) {
    if (entry.Number == aNumber) {
      aCountry.Code2 = entry.Code2;
      aCountry.Code3 = entry.Code3;
      aCountry.Number = entry.Number;
      return true;
    }
  }
  return false;
}
