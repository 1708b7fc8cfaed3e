// The message security against values computed outside the module:
//   python3: d = hashlib.pbkdf2_hmac('sha1', b"MySecretPassphrase", b"Qv7LmT2xRk9WnZp", 4000, 80)
//            hmac key d[:32], cipher key d[32:64], base IV d[64:]
//            hmac.new(d[:32], plain, hashlib.sha256).digest(), base64.b64encode(...)
//   openssl enc -aes-256-cbc -K <d[32:64]> -iv <d[64:] XOR nonce> -a -A  (plain as UTF-8)
// Answers for the checks are built here from the port's primitives and the constants, not by the
// unit under test.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <vector>

#include "drivers/adyen/uVXPA_ADYEN_10_Security.h"
#include "base/uVX_Text.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

namespace {

using tJson = nlohmann::ordered_json;

const char kHmacKey[] = "F7311F773E670A2C8096CB1B7E6CC647386E1644390AC65BECFF0276E60DC122";
const char kCipherKey[] = "D90FB93091450AC1830B1F071C352AD5886C4AFE8D03C77F7D626B19C75793A5";
const char kBaseIV[] = "637D117F34CBD46BDE557ACE42CAE687";

// {"SaleToPOIRequest":{... "Text":"Café 10€"}} and its protected form for the nonce 00 01 .. 0F.
const char16_t kRequest[] =
    u"{\"SaleToPOIRequest\":{\"MessageHeader\":{\"MessageClass\":\"Service\",\"MessageCategory\":\"Payment\","
    u"\"POIID\":\"P400Plus-123\"},\"PaymentRequest\":{\"Text\":\"Caf\u00E9 10\u20AC\"}}}";
const char16_t kSecuredRequest[] =
    u"{\"SaleToPOIRequest\":{\"MessageHeader\":{\"MessageClass\":\"Service\",\"MessageCategory\":\"Payment\","
    u"\"POIID\":\"P400Plus-123\"},\"NexoBlob\":\"j2XAm7CFqU1U1Rs+ubUUP8VrPL2t3aTz6jssUZ8KgNc2KnuJW/VnGdN0+50ZevOB"
    u"jibJ/WTZY17Yra0pjJz05Vvo+IxWOc3EfCLs8miMkSN7/04aCCXkukPoquL/mdcdFee297387DTTS0TSyEdugvEb2WlrsPrVAElLN9lGye"
    u"W6YE5H0koNZrUxQ2P14+ybBduTfsbtSMhsaW0EKyGorA==\",\"SecurityTrailer\":{\"KeyVersion\":1,\"KeyIdentifier\":"
    u"\"KeyX\",\"Hmac\":\"xnJngU3wXBTwVoSYNnidKgPNOheInAIx2E6rgTyyOu4=\",\"Nonce\":\"AAECAwQFBgcICQoLDA0ODw==\","
    u"\"AdyenCryptoVersion\":1}}}";

// An answer computed with the same tools for the nonce F0E1D2C3B4A5968778695A4B3C2D1E0F.
const char16_t kAnswerPlain[] =
    u"{\"SaleToPOIResponse\":{\"MessageHeader\":{\"MessageCategory\":\"Payment\"},\"PaymentResponse\":"
    u"{\"Response\":{\"Result\":\"Success\"},\"Text\":\"Gr\u00FC\u00DFe \u20AC\"}}}";
const char kAnswerBlob[] =
    "jmPU5FWiSE0wylkBCFX6Me7rYuAZJt3qGiAgtuf1B5jSlf28B6qQ26cwJNMzBJTh1uAZTsJEkhq6Um1xUWXLNvIKYAOd3Zkuxxr7A7VJbo8xrZ"
    "Tu9DhdNweBYWGGG7hFwVkennFeNq0glHJ9A6SMTonmmITN6gCmez4dnPs+wAAtqHhc3aHQYDxf5O2yNK4+";
const char kAnswerHmac[] = "DSmTGQvgRfaVu9ifRW8TG3cHmJ7K+6W4m6fwCvtmORs=";
const char kAnswerNonce[] = "8OHSw7Sllod4aVpLPC0eDw==";

port::Bytes Hex(std::string_view aText) {
  port::Bytes data;
  EXPECT_TRUE(port::HexDecode(aText, data));
  return data;
}

port::Bytes Utf8Bytes(std::u16string_view aText) {
  std::string utf8 = port::ToUtf8(aText);
  return port::Bytes(utf8.begin(), utf8.end());
}

std::u16string Text(const tJson& aJson) { return port::FromUtf8(aJson.dump()); }

tJson AnswerEnvelope(const std::string& aBlob, const std::string& aHmac, const std::string& aNonce,
                     std::string_view aKeyIdentifier = "KeyX") {
  tJson trailer = {{"AdyenCryptoVersion", 1}, {"KeyVersion", 1}, {"KeyIdentifier", aKeyIdentifier},
                   {"Hmac", aHmac}, {"Nonce", aNonce}};
  return {{"SaleToPOIResponse",
           {{"MessageHeader", {{"MessageCategory", "Payment"}}}, {"NexoBlob", aBlob}, {"SecurityTrailer", trailer}}}};
}

// A protected answer made from the primitives and the constants above.
tJson MakeAnswer(std::u16string_view aPlain, const port::Bytes& aNonce) {
  port::Bytes iv = Hex(kBaseIV);
  for (size_t i = 0; i < iv.size(); ++i) iv[i] ^= aNonce[i];
  const port::Bytes plain = Utf8Bytes(aPlain);
  return AnswerEnvelope(port::Base64Encode(port::Aes256CbcEncrypt(Hex(kCipherKey), iv, plain)),
                        port::Base64Encode(port::HmacSha256(Hex(kHmacKey), plain)), port::Base64Encode(aNonce));
}

struct LogLine {
  tVX_MessageType type;
  std::u16string title, message;
};

class AdyenSecurityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fSecurity.fKeyIdentifier = u"KeyX";
    fSecurity.fKeyVersion = 1;
    fSecurity.fSecret = u"MySecretPassphrase";
    fSecurity.DeriveKeys();
    fSecurity.GenerateNonce();
    fSecurity.SetOnWriteLog([this](tVX_MessageType aType, const std::u16string& aTitle, const std::u16string& aMsg) {
      fLog.push_back({aType, aTitle, aMsg});
    });
  }

  // DecryptResponse on aAnswer; the message of its failure, or "" when it passed.
  std::u16string Check(const tJson& aAnswer) { return CheckText(Text(aAnswer)); }
  std::u16string CheckText(std::u16string_view aAnswer) {
    fSecurity.fJSONResponse = aAnswer;
    try {
      EXPECT_TRUE(fSecurity.DecryptResponse());
      return u"";
    } catch (const tVX_Error& e) {
      return e.Message();
    }
  }

  kAdyenSecurity fSecurity;
  std::vector<LogLine> fLog;
};

}  // namespace

TEST_F(AdyenSecurityTest, DerivesKeysAndIvFromTheSecret) {
  EXPECT_EQ(fSecurity.fHexHMACKey, vxtext::Widen(kHmacKey));
  EXPECT_EQ(fSecurity.fHexCipherKey, vxtext::Widen(kCipherKey));
  EXPECT_EQ(fSecurity.fHexIV, vxtext::Widen(kBaseIV));
  EXPECT_EQ(port::Bytes(fSecurity.fByteHMACKey.begin(), fSecurity.fByteHMACKey.end()), Hex(kHmacKey));
  EXPECT_EQ(port::Bytes(fSecurity.fByteCipher.begin(), fSecurity.fByteCipher.end()), Hex(kCipherKey));
  EXPECT_EQ(port::Bytes(fSecurity.fByteIV.begin(), fSecurity.fByteIV.end()), Hex(kBaseIV));

  kAdyenSecurity other;
  EXPECT_THROW(
      {
        try {
          other.DeriveKeys();
        } catch (const tVX_Error& e) {
          EXPECT_EQ(e.Message(), u"Secret not set");
          throw;
        }
      },
      tVX_Error);
  // The passphrase is taken in the 8-bit code page: "pässwörd€" as Windows-1252 bytes.
  if (port::AnsiCodePage() == 1252) {
    other.fSecret = u"p\u00E4ssw\u00F6rd\u20AC";
    other.DeriveKeys();
    EXPECT_EQ(other.fHexHMACKey, u"24BBDC4B061A719AB7E9FA1A5E437E1F35D488092D94CAE0E61598AA669543A5");
    EXPECT_EQ(other.fHexIV, u"24392CAF3F7D63D576DAB7E37F628A9F");
  }
}

TEST_F(AdyenSecurityTest, WrapsARequestExactlyForAFixedNonce) {
  kAdyenSecurity::tBlock nonce;
  for (size_t i = 0; i < nonce.size(); ++i) nonce[i] = static_cast<uint8_t>(i);
  fSecurity.SetNonce(nonce);
  EXPECT_EQ(fSecurity.fHexNonce, u"000102030405060708090A0B0C0D0E0F");
  EXPECT_EQ(fSecurity.fHexXORIVNonce, u"637C137C30CED26CD65C70C54EC7E888");

  fSecurity.fInputMessage = kRequest;
  fSecurity.EncryptMessage();
  fSecurity.ComputeHmac(fSecurity.fHexHMACKey, fSecurity.fInputMessage);
  EXPECT_EQ(fSecurity.fHexSignature, u"C67267814DF05C14F056849836789D2A03CD3A17889C0231D84EAB813CB23AEE");
  fSecurity.BuildSecuredRequest();
  EXPECT_EQ(fSecurity.fJSONRequest, kSecuredRequest);
}

TEST_F(AdyenSecurityTest, ARequestWithARandomNonceDecryptsWithTheDerivedKeys) {
  const std::u16string nonceBefore = fSecurity.fHexNonce;
  fSecurity.fInputMessage = kRequest;
  fSecurity.EncryptMessage();
  fSecurity.ComputeHmac(fSecurity.fHexHMACKey, fSecurity.fInputMessage);
  fSecurity.BuildSecuredRequest();

  const tJson request = tJson::parse(port::ToUtf8(fSecurity.fJSONRequest));
  const tJson& trailer = request["SaleToPOIRequest"]["SecurityTrailer"];
  const std::string hmac = trailer["Hmac"], nonceText = trailer["Nonce"];
  EXPECT_EQ(hmac.size(), 44u);
  EXPECT_EQ(hmac.back(), '=');
  EXPECT_EQ(nonceText.size(), 24u);
  EXPECT_EQ(nonceText.substr(22), "==");
  EXPECT_TRUE(trailer["KeyVersion"].is_number_integer());
  EXPECT_TRUE(trailer["AdyenCryptoVersion"].is_number_integer());
  std::vector<std::string> names;
  for (auto it = trailer.begin(); it != trailer.end(); ++it) names.push_back(it.key());
  EXPECT_EQ(names, (std::vector<std::string>{"KeyVersion", "KeyIdentifier", "Hmac", "Nonce", "AdyenCryptoVersion"}));

  port::Bytes nonce, cipher, plain;
  ASSERT_TRUE(port::Base64Decode(nonceText, nonce));
  ASSERT_EQ(nonce.size(), 16u);
  EXPECT_EQ(vxtext::Widen(port::HexEncode(nonce)), nonceBefore);
  port::Bytes iv = Hex(kBaseIV);
  for (size_t i = 0; i < iv.size(); ++i) iv[i] ^= nonce[i];
  ASSERT_TRUE(port::Base64Decode(request["SaleToPOIRequest"]["NexoBlob"].get<std::string>(), cipher));
  ASSERT_TRUE(port::Aes256CbcDecrypt(Hex(kCipherKey), iv, cipher, plain));
  EXPECT_EQ(plain, Utf8Bytes(kRequest));
  EXPECT_EQ(port::Base64Encode(port::HmacSha256(Hex(kHmacKey), plain)), hmac);

  // Every request of the device uses the same nonce; another device draws its own.
  fSecurity.EncryptMessage();
  EXPECT_EQ(fSecurity.fHexNonce, nonceBefore);
  kAdyenSecurity second;
  second.fSecret = u"MySecretPassphrase";
  second.DeriveKeys();
  second.GenerateNonce();
  EXPECT_NE(second.fHexNonce, nonceBefore);
  EXPECT_NE(second.fHexXORIVNonce, fSecurity.fHexXORIVNonce);
}

TEST_F(AdyenSecurityTest, RefusesToWrapWithoutKeyIdentifierOrHeader) {
  fSecurity.fInputMessage = u"not even JSON";
  fSecurity.fKeyIdentifier.clear();
  try {
    fSecurity.BuildSecuredRequest();
    ADD_FAILURE();
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Key Identifier is mandatory");
  }
  fSecurity.fKeyIdentifier = u"KeyX";
  fSecurity.fInputMessage = u"{\"SaleToPOIRequest\":{\"PaymentRequest\":{}}}";
  try {
    fSecurity.BuildSecuredRequest();
    ADD_FAILURE();
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Value 'MessageHeader' not found");
  }
}

TEST_F(AdyenSecurityTest, AcceptsAValidAnswerAndLogsItsPlainText) {
  // A key name other than the configured one is accepted.
  EXPECT_EQ(Check(AnswerEnvelope(kAnswerBlob, kAnswerHmac, kAnswerNonce, "AnotherKey")), u"");
  EXPECT_EQ(fSecurity.fJSONResponseDecrypted, kAnswerPlain);
  ASSERT_EQ(fLog.size(), 1u);
  EXPECT_EQ(fLog[0].type, tVX_MessageType::let_info);
  EXPECT_EQ(fLog[0].title, u"kAdyen.Decrypt");
  EXPECT_EQ(fLog[0].message, kAnswerPlain);
  // The signature fields now hold the answer's HMAC.
  EXPECT_EQ(kAdyenSecurity::BytesToBase64(port::Bytes(fSecurity.fByteSignature.begin(), fSecurity.fByteSignature.end())),
            vxtext::Widen(kAnswerHmac));

  const std::u16string plain = u"{\"SaleToPOIResponse\":{\"Text\":\"\u65E5\u672C \U0001F600\"}}";
  EXPECT_EQ(Check(MakeAnswer(plain, Hex("00000000000000000000000000000001"))), u"");
  EXPECT_EQ(fSecurity.fJSONResponseDecrypted, plain);
}

TEST_F(AdyenSecurityTest, NamesTheFirstMissingSecurityMember) {
  EXPECT_EQ(CheckText(u"{\"SaleToPOIResponse\":{\"MessageHeader\":{},\"Response\":{\"Result\":\"Failure\"}}}"),
            u"Value 'SecurityTrailer' not found");
  EXPECT_EQ(CheckText(u"{\"SaleToPOIResponse\":\"text\"}"), u"Value 'SecurityTrailer' not found");
  const tJson valid = AnswerEnvelope(kAnswerBlob, kAnswerHmac, kAnswerNonce);
  tJson answer = valid;
  answer["SaleToPOIResponse"].erase("NexoBlob");
  EXPECT_EQ(Check(answer), u"Value 'NexoBlob' not found");
  for (const char* member : {"AdyenCryptoVersion", "KeyVersion", "KeyIdentifier", "Hmac", "Nonce"}) {
    answer = valid;
    answer["SaleToPOIResponse"]["SecurityTrailer"].erase(member);
    EXPECT_EQ(Check(answer), vxtext::Widen(std::string("Value '") + member + "' not found"));
  }
  // A member of the wrong kind counts as missing.
  answer = valid;
  answer["SaleToPOIResponse"]["SecurityTrailer"]["KeyVersion"] = "1";
  EXPECT_EQ(Check(answer), u"Value 'KeyVersion' not found");
  EXPECT_TRUE(fLog.empty());

  for (std::u16string_view notAnObject : {u"", u"garbage", u"[1,2]", u"{}", u"\"text\""}) {
    EXPECT_EQ(CheckText(notAnObject), u"Response is not a JSON object") << vxtext::Utf8(notAnObject);
  }
}

TEST_F(AdyenSecurityTest, ChecksVersionsBeforeDecrypting) {
  tJson answer = AnswerEnvelope(kAnswerBlob, kAnswerHmac, kAnswerNonce);
  tJson& trailer = answer["SaleToPOIResponse"]["SecurityTrailer"];
  trailer["AdyenCryptoVersion"] = 2;
  trailer["KeyVersion"] = 7;
  trailer["Nonce"] = "AAAA";  // would also be refused, later
  EXPECT_EQ(Check(answer), u"AdyenCryptoVersion has to be 1");
  trailer["AdyenCryptoVersion"] = 1;
  EXPECT_EQ(Check(answer), u"Key Version 7 different from setup");
  trailer["KeyVersion"] = 2;
  EXPECT_EQ(Check(answer), u"Key Version 2 different from setup");
  EXPECT_TRUE(fLog.empty());
}

TEST_F(AdyenSecurityTest, RefusesMalformedNonceHmacAndBlob) {
  const tJson valid = AnswerEnvelope(kAnswerBlob, kAnswerHmac, kAnswerNonce);
  struct Case {
    const char* member;
    const char* value;
    const char16_t* message;
  } cases[] = {
      {"Nonce", "8OHSw7Sllod4aVpL", u"Nonce has to be 16 bytes"},                   // 12 bytes
      {"Nonce", "8OHSw7Sllod4aVpLPC0eDwAA", u"Nonce has to be 16 bytes"},           // 18 bytes
      {"Nonce", "", u"Nonce has to be 16 bytes"},
      {"Nonce", "8OHSw7Sllod4aVpLPC0eDw=", u"Value 'Nonce' is not valid Base64"},
      {"Hmac", "DSmTGQvgRfaVu9if RW8TG3cHmJ7K+6W4m6fwCvtmORs=", u"Value 'Hmac' is not valid Base64"},
      {"NexoBlob", "jmPU5FWiSE0w*ylk", u"Value 'NexoBlob' is not valid Base64"},
  };
  for (const Case& c : cases) {
    tJson answer = valid;
    if (std::string(c.member) == "NexoBlob") answer["SaleToPOIResponse"][c.member] = c.value;
    else answer["SaleToPOIResponse"]["SecurityTrailer"][c.member] = c.value;
    fSecurity.fJSONResponseDecrypted = u"stale";
    EXPECT_EQ(Check(answer), c.message) << c.member << " " << c.value;
    EXPECT_EQ(fSecurity.fJSONResponseDecrypted, u"");
  }
  EXPECT_TRUE(fLog.empty());
}

TEST_F(AdyenSecurityTest, RefusesATamperedAnswerAfterLoggingIt) {
  // A different blob of valid form, signed for another text: decrypts, is logged, then refused.
  tJson answer = MakeAnswer(u"{\"SaleToPOIResponse\":{\"Result\":\"Failure\"}}", Hex(std::string(32, 'A')));
  tJson forged = MakeAnswer(u"{\"SaleToPOIResponse\":{\"Result\":\"Success\"}}", Hex(std::string(32, 'A')));
  forged["SaleToPOIResponse"]["SecurityTrailer"]["Hmac"] = answer["SaleToPOIResponse"]["SecurityTrailer"]["Hmac"];
  EXPECT_EQ(Check(forged), u"HMAC is different from what expected");
  ASSERT_EQ(fLog.size(), 1u);
  EXPECT_EQ(fLog[0].title, u"kAdyen.Decrypt");
  EXPECT_EQ(fLog[0].message, u"{\"SaleToPOIResponse\":{\"Result\":\"Success\"}}");
  // The unverified plain text stays readable for diagnosis.
  EXPECT_EQ(fSecurity.fJSONResponseDecrypted, fLog[0].message);

  // One changed character anywhere in the blob is caught, by the padding or by the HMAC.
  const std::string blob = kAnswerBlob;
  for (size_t at : {size_t(0), size_t(20), blob.size() - 30, blob.size() - 3}) {
    std::string changed = blob;
    changed[at] = changed[at] == 'Q' ? 'R' : 'Q';
    EXPECT_EQ(Check(AnswerEnvelope(changed, kAnswerHmac, kAnswerNonce)), u"HMAC is different from what expected")
        << at;
  }
  // The wrong nonce changes the first block only, and is caught as well.
  EXPECT_EQ(Check(AnswerEnvelope(kAnswerBlob, kAnswerHmac, "AOHSw7Sllod4aVpLPC0eDw==")),
            u"HMAC is different from what expected");
}

TEST(AdyenSecurityConversionTest, HexBase64AndXorHelpers) {
  EXPECT_EQ(kAdyenSecurity::HexToBytes(u"00ff7Fa0"), Hex("00FF7FA0"));
  EXPECT_EQ(kAdyenSecurity::HexToBytes(u"12zz34"), Hex("120034"));  // an invalid pair gives 0
  EXPECT_EQ(kAdyenSecurity::HexToBytes(u"123"), Hex("12"));
  EXPECT_EQ(kAdyenSecurity::BytesToHex(Hex("00ABFF")), u"00ABFF");
  EXPECT_EQ(kAdyenSecurity::BytesToBase64(Hex("000102030405060708090A0B0C0D0E0F")), u"AAECAwQFBgcICQoLDA0ODw==");
  EXPECT_EQ(kAdyenSecurity::TextToHex(u"Qv7LmT2xRk9WnZp"), u"5176374C6D543278526B39576E5A70");
  EXPECT_EQ(kAdyenSecurity::XorBytes(Hex("FF00F0"), Hex("0F0FFF11")), Hex("F00F0F"));
  EXPECT_THROW(kAdyenSecurity::XorBytes(Hex("FF00F0"), Hex("0F")), tVX_Error);
}
