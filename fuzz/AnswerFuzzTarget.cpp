#include "AnswerFuzzTarget.h"

#include <exception>
#include <memory>
#include <string_view>

#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Security.h"
#include "platform/Crypto.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

namespace vxfuzz {
namespace {

// The settings of the terminal simulator, so that its real answers are valid seeds.
constexpr char16_t kSecret[] = u"terminal-sim secret";
constexpr char16_t kKeyIdentifier[] = u"SimKey";
constexpr int32_t kKeyVersion = 1;

std::unique_ptr<kAdyenSecurity>& Security() {
  static std::unique_ptr<kAdyenSecurity> security;
  return security;
}

port::Bytes ToBytes(std::string_view aText) { return port::Bytes(aText.begin(), aText.end()); }

template <size_t N>
port::Bytes ToBytes(const std::array<uint8_t, N>& aArray) {
  return port::Bytes(aArray.begin(), aArray.end());
}

// The protected answer a terminal would send for aPlain, under the device's keys, with the
// device's own nonce as the answer's nonce.
std::u16string Protect(const kAdyenSecurity& aSecurity, std::string_view aPlain) {
  const port::Bytes plain = ToBytes(aPlain);
  const port::Bytes blob = port::Aes256CbcEncrypt(ToBytes(aSecurity.fByteCipher), ToBytes(aSecurity.fByteXORIVNonce), plain);
  const port::Bytes hmac = port::HmacSha256(ToBytes(aSecurity.fByteHMACKey), plain);
  const std::string envelope = R"({"SaleToPOIResponse":{"MessageHeader":{"MessageCategory":"Payment"},"NexoBlob":")" +
                               port::Base64Encode(blob) + R"(","SecurityTrailer":{"KeyVersion":)" +
                               std::to_string(kKeyVersion) + R"(,"KeyIdentifier":"SimKey","Hmac":")" +
                               port::Base64Encode(hmac) + R"(","Nonce":")" + port::Base64Encode(ToBytes(aSecurity.fByteNonce)) +
                               R"(","AdyenCryptoVersion":1}}})";
  return port::FromUtf8(envelope);
}

// A rendered receipt is empty or a sequence of lines, each ending with CR LF.
bool WellFormedReceipt(const std::u16string& aText) { return aText.empty() || aText.ends_with(u"\r\n"); }

std::string ReadAnswer(std::u16string_view aPlain, uint8_t aSelector) {
  kPaymentReceipt request;
  const vxPaymentAction actions[] = {vxPaymentAction::Pay, vxPaymentAction::Refund, vxPaymentAction::Void};
  request.SetAction(actions[(aSelector / 3) % 3]);
  const int32_t widths[] = {32, 42, 1};
  request.SetReceiptColCount(widths[(aSelector / 9) % 3]);
  request.SetCurrency(u"EUR");
  _int_PAY_result result;
  bool ok = false;
  try {
    ok = adyen::ReadPaymentResponse(aPlain, request, result);
  } catch (const std::exception& failure) {
    return std::string("the payment reader raised: ") + failure.what();
  }
  if (ok && aPlain.find(u"Success") == std::u16string_view::npos) return "a result of Success without the word";
  if (!WellFormedReceipt(result.ReceiptText) || !WellFormedReceipt(result.CashierReceiptText)) {
    return "a receipt that does not end with CR LF";
  }
  return {};
}

}  // namespace

void PrepareAnswers() {
  if (Security()) return;
  auto security = std::make_unique<kAdyenSecurity>();
  security->fKeyIdentifier = kKeyIdentifier;
  security->fKeyVersion = kKeyVersion;
  security->fSecret = kSecret;
  security->DeriveKeys();
  security->SetNonce(kAdyenSecurity::tBlock{0x5A, 0x01, 0xC3, 0x7E, 0x10, 0x99, 0x42, 0xEE,
                                            0x07, 0x3D, 0x80, 0x11, 0x6B, 0xF0, 0x2C, 0x95});
  Security() = std::move(security);
}

std::string RunAnswer(const uint8_t* aData, size_t aSize) {
  if (aSize == 0) return {};
  PrepareAnswers();
  kAdyenSecurity& security = *Security();
  const uint8_t selector = aData[0];
  const std::string_view rest(reinterpret_cast<const char*>(aData + 1), aSize - 1);
  const int path = selector % 3;
  if (path == 2) return ReadAnswer(port::FromUtf8(rest), selector);

  security.fJSONResponse = path == 0 ? port::FromUtf8(rest) : Protect(security, rest);
  try {
    if (!security.DecryptResponse()) return "the checks answered false instead of raising";
  } catch (const tVX_Error& refusal) {
    if (path == 1) return "an answer protected with the device's keys was refused: " + std::string(refusal.what());
    if (refusal.Message().empty()) return "a refusal without a message";
    if (!security.fJSONResponseDecrypted.empty() && refusal.Message() != u"HMAC is different from what expected") {
      return "a refusal before decryption left a decrypted text";
    }
    return {};
  } catch (const std::exception& failure) {
    return std::string("the checks raised a foreign failure: ") + failure.what();
  }
  if (path == 1 && security.fJSONResponseDecrypted != port::FromUtf8(rest)) {
    return "decryption did not give back the protected text";
  }
  return ReadAnswer(security.fJSONResponseDecrypted, selector);
}

}  // namespace vxfuzz
