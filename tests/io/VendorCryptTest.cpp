// The vendor crypto object over the real primitives. Expected values computed independently:
//   python3: hashlib.pbkdf2_hmac('sha1', pw, b"Qv7LmT2xRk9WnZp", 4000, 80).hex()
//            with pw = "pässwörd€" as cp1252 (the "ansi" charset on a 1252 system) and as UTF-8
//   openssl enc -aes-256-cbc -K <key> -iv <iv> -in plain.bin -a -A   (plain {"Text":"Café 10€"}, UTF-8)
//   python3: hmac.new(key, plain, hashlib.sha256).hexdigest()
#include <gtest/gtest.h>

#include "io/uVX_VendorCrypt.h"
#include "platform/CodePage.h"

namespace {

const char16_t kSaltHex[] = u"5176374C6D543278526B39576E5A70";  // "Qv7LmT2xRk9WnZp"
const char16_t kHmacKey[] = u"F7311F773E670A2C8096CB1B7E6CC647386E1644390AC65BECFF0276E60DC122";
const char16_t kCipherKey[] = u"D90FB93091450AC1830B1F071C352AD5886C4AFE8D03C77F7D626B19C75793A5";
const char16_t kIV[] = u"637D117F34CBD46BDE557ACE42CAE687";
const char16_t kPlain[] = u"{\"Text\":\"Caf\u00E9 10\u20AC\"}";
const char16_t kCipherBase64[] = u"2kvEyulmwsAHLK5UuZ0vmv69PNOTtlFn7JX8uxlviLY=";

void SetCipher(kVendorCrypt& aCrypt, std::u16string_view aEncoding) {
  aCrypt.PutCryptAlgorithm(u"aes");
  aCrypt.PutCipherMode(u"cbc");
  aCrypt.PutKeyLength(256);
  aCrypt.PutPaddingScheme(0);
  aCrypt.PutEncodingMode(aEncoding);
  ASSERT_TRUE(aCrypt.SetEncodedKey(kCipherKey, u"hex"));
  ASSERT_TRUE(aCrypt.SetEncodedIV(kIV, u"hex"));
}

}  // namespace

TEST(VendorCryptTest, Pbkdf2TurnsThePasswordIntoBytesOfTheNamedCharset) {
  kVendorCrypt crypt;
  EXPECT_EQ(crypt.Pbkdf2(u"MySecretPassphrase", u"ansi", u"sha1", kSaltHex, 4000, 640, u"hex"),
            u"F7311F773E670A2C8096CB1B7E6CC647386E1644390AC65BECFF0276E60DC122"
            u"D90FB93091450AC1830B1F071C352AD5886C4AFE8D03C77F7D626B19C75793A5"
            u"637D117F34CBD46BDE557ACE42CAE687");
  EXPECT_TRUE(crypt.LastMethodSuccess());
  EXPECT_EQ(crypt.Pbkdf2(u"p\u00E4ssw\u00F6rd\u20AC", u"utf-8", u"sha1", kSaltHex, 4000, 640, u"hex"),
            u"AD8DDE9065F1C45914FC11DC63D3ADD849483421FFD281EA39688C18BC4D739C"
            u"1951CA48F3DED427F61155B737DD05EA78D99D022495EFAA4B1D457D9E9F4805"
            u"196BEF8CB6BA09EE160618B2892076A3");
  if (port::AnsiCodePage() == 1252) {
    EXPECT_EQ(crypt.Pbkdf2(u"p\u00E4ssw\u00F6rd\u20AC", u"ansi", u"sha1", kSaltHex, 4000, 640, u"hex"),
              u"24BBDC4B061A719AB7E9FA1A5E437E1F35D488092D94CAE0E61598AA669543A5"
              u"BBAF33791CB26192B3A1B8537DFF994E07DA88F7E5463CFDB7C9D09420FB2C0B"
              u"24392CAF3F7D63D576DAB7E37F628A9F");
  }
  // Refused settings answer nothing and say so.
  EXPECT_EQ(crypt.Pbkdf2(u"x", u"ansi", u"md5", kSaltHex, 4000, 640, u"hex"), u"");
  EXPECT_FALSE(crypt.LastMethodSuccess());
  EXPECT_FALSE(crypt.LastErrorText().empty());
  EXPECT_EQ(crypt.Pbkdf2(u"x", u"ansi", u"sha1", u"5G", 4000, 640, u"hex"), u"");
  EXPECT_FALSE(crypt.LastMethodSuccess());
  EXPECT_EQ(crypt.Pbkdf2(u"x", u"ebcdic", u"sha1", kSaltHex, 4000, 640, u"hex"), u"");
  EXPECT_FALSE(crypt.LastMethodSuccess());
}

TEST(VendorCryptTest, EncryptsAndDecryptsUtf8TextInEitherEncoding) {
  kVendorCrypt crypt;
  SetCipher(crypt, u"base64");
  EXPECT_EQ(crypt.EncryptStringENC(kPlain), kCipherBase64);
  EXPECT_TRUE(crypt.LastMethodSuccess());
  EXPECT_EQ(crypt.DecryptStringENC(kCipherBase64), kPlain);

  kVendorCrypt hex;
  SetCipher(hex, u"hex");
  EXPECT_EQ(hex.EncryptStringENC(kPlain), u"DA4BC4CAE966C2C0072CAE54B99D2F9AFEBD3CD393B65167EC95FCBB196F88B6");
  // Text outside the Basic Multilingual Plane survives the round trip as UTF-8.
  const std::u16string text = u"\u65E5\u672C \U0001F600 \u00FC";
  EXPECT_EQ(hex.DecryptStringENC(hex.EncryptStringENC(text)), text);
}

TEST(VendorCryptTest, DecryptFailuresAnswerNothing) {
  kVendorCrypt crypt;
  SetCipher(crypt, u"base64");
  std::u16string tampered = kCipherBase64;
  tampered[40] = tampered[40] == u'A' ? u'B' : u'A';  // changes the last block
  EXPECT_FALSE(crypt.DecryptBytesENC(tampered).has_value());
  EXPECT_FALSE(crypt.LastMethodSuccess());
  EXPECT_EQ(crypt.DecryptStringENC(u"not base64!"), u"");
  EXPECT_FALSE(crypt.LastMethodSuccess());
  EXPECT_EQ(crypt.DecryptStringENC(u""), u"");
  EXPECT_FALSE(crypt.LastMethodSuccess());

  kVendorCrypt other;
  SetCipher(other, u"base64");
  other.PutCryptAlgorithm(u"des");
  EXPECT_EQ(other.EncryptStringENC(kPlain), u"");
  EXPECT_FALSE(other.LastMethodSuccess());
  EXPECT_FALSE(other.SetEncodedIV(u"00112233", u"hex"));  // not 16 bytes
  EXPECT_FALSE(other.SetEncodedKey(u"zz", u"hex"));
}

TEST(VendorCryptTest, MacsTheUtf8BytesOfTheText) {
  kVendorCrypt crypt;
  crypt.PutHashAlgorithm(u"sha256");
  crypt.PutEncodingMode(u"hex");
  ASSERT_TRUE(crypt.SetMacKeyEncoded(kHmacKey, u"hex"));
  EXPECT_EQ(crypt.MacStringENC(kPlain), u"567BF689515B55F61DDD972A5B2B84104CDFB9AA707049E2F7D769B5924D2462");
  crypt.PutEncodingMode(u"base64");
  EXPECT_EQ(crypt.MacStringENC(kPlain), u"Vnv2iVFbVfYd3ZcqWyuEEEzfuapwcEni99dptZJNJGI=");
  crypt.PutHashAlgorithm(u"sha1");
  EXPECT_EQ(crypt.MacStringENC(kPlain), u"");
  EXPECT_FALSE(crypt.LastMethodSuccess());
}
