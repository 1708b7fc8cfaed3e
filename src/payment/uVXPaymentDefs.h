#pragma once
// The payment vocabulary shared by the whole module: the request enumerations, the card networks
// and reading modes with the texts the result documents carry, the request document kinds and the
// ISO 3166-1 country table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Who prints the receipts: the host's register (ECR) or the terminal (EFT).
enum class VxPrintLocation : uint8_t { pl_ECR, pl_EFT };

enum class VxPaymentChannel : uint8_t { pc_Standard, pc_MealVoucherProvider, pc_NationalHealthService };

// Chooses the device operation of a payment request.
enum class vxPaymentAction : uint8_t { Pay, Refund, Void };

// Step of a multi-phase transaction.
enum class vxPaymentPhase : uint8_t { None, Begin, Do, Commit, Rollback };

// How the card was read.
enum class vxPaymentTransactionType : uint8_t {
  ptt_Chip,
  ptt_MagStripe,
  ptt_Manual,
  ptt_Cless,
  ptt_ClessMagStripe,
  ptt_ClessChip,
  ptt_RFID,
  ptt_Other
};

// Card network or payment scheme; the numbering is part of the interface (0..43, Other last).
enum class vxPaymentNetwork : uint8_t {
  Bank, Cheque, Visa, Amex, Mastercard, JCB, CUP, Diners, Maestro, NHS,
  Edenred, Day, Sodexo, Pellegrini, BluTicket, Jakala, MIGLunch, AliPay, Discover, Doku,
  DragonPay, MolPay, VPay, AmazonPay, ApplePay, SamsungPay, Paypal, Yandex, QuiTicket, Repas,
  Ristomat, Agape, LunchTime, QuiWelfare, EP, CIR, Gemeaz, Satispay, Jiffy, Bitcoin,
  Tinaba, Scalapay, Nexi, Other
};
inline constexpr int kPaymentNetworkCount = static_cast<int>(vxPaymentNetwork::Other) + 1;

// The text a result document carries for a network: the name in lower case, except NHS
// ("NHS") and Nexi ("unrecognized").
std::u16string PaymentNetworkToString(vxPaymentNetwork aNetwork);
// The text a result document carries for a reading mode; ptt_RFID has the empty text.
std::u16string TransactionTypeToString(vxPaymentTransactionType aType);

// Which command parts of a request document are to be read.
enum class vxPaymentHandlerDocumentType : uint8_t {
  dt_Open, dt_Pay, dt_PayReprint, dt_DayClose, dt_GetTotals, dt_VerifyTran
};

// A set of document types, one bit per value (dt_Open the lowest).
class vxPaymentHandlerDocumentTypes {
 public:
  constexpr vxPaymentHandlerDocumentTypes() = default;
  constexpr vxPaymentHandlerDocumentTypes(std::initializer_list<vxPaymentHandlerDocumentType> aTypes) {
    for (auto t : aTypes) fBits = static_cast<uint8_t>(fBits | Bit(t));
  }
  constexpr bool Contains(vxPaymentHandlerDocumentType aType) const { return (fBits & Bit(aType)) != 0; }
  constexpr bool Empty() const { return fBits == 0; }
  constexpr uint8_t Bits() const { return fBits; }

 private:
  static constexpr uint8_t Bit(vxPaymentHandlerDocumentType aType) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(aType));
  }
  uint8_t fBits = 0;
};

// One row of the ISO 3166-1 table: alpha-2 code, alpha-3 code, numeric code (three digits).
struct vxCountryMap {
  std::u16string Code2;
  std::u16string Code3;
  std::u16string Number;
};

// One row as stored in the table.
struct vxCountryEntry {
  std::u16string_view Code2;
  std::u16string_view Code3;
  std::u16string_view Number;
};

inline constexpr size_t kCountryCount = 249;
// The whole table, ordered by alpha-2 code.
const std::array<vxCountryEntry, kCountryCount>& CountryTable();

// Copies the first row whose numeric code equals aNumber exactly ("380", not "0380" or "38o")
// into aCountry; leaves aCountry unchanged when there is none. Answers whether one was found.
bool FindCountryByNumber(std::u16string_view aNumber, vxCountryMap& aCountry);
