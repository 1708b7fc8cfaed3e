// The crypto port against values computed independently of the module:
//   python3: hashlib.pbkdf2_hmac('sha1', secret, b"Qv7LmT2xRk9WnZp", 4000, 80).hex()
//            hmac.new(key, msg, hashlib.sha256).hexdigest()
//   openssl enc -aes-256-cbc -K <key hex> -iv <iv hex> -in plain.bin | xxd -p
// with the secrets b"MySecretPassphrase" and "pässwörd€".encode("cp1252") and the plain text
// {"Text":"Café 10€"} as UTF-8.
#include <gtest/gtest.h>

#include <set>

#include "platform/Crypto.h"
#include "platform/Error.h"

namespace {

port::Bytes Hex(std::string_view aText) {
  port::Bytes data;
  EXPECT_TRUE(port::HexDecode(aText, data)) << aText;
  return data;
}

port::Bytes Ascii(std::string_view aText) { return port::Bytes(aText.begin(), aText.end()); }

const char kSalt[] = "Qv7LmT2xRk9WnZp";
const char kCipherKey[] = "D90FB93091450AC1830B1F071C352AD5886C4AFE8D03C77F7D626B19C75793A5";
const char kIV[] = "637D117F34CBD46BDE557ACE42CAE687";
const char kPlainUtf8[] = "{\"Text\":\"Caf\xC3\xA9 10\xE2\x82\xAC\"}";
const char kCipherText[] = "DA4BC4CAE966C2C0072CAE54B99D2F9AFEBD3CD393B65167EC95FCBB196F88B6";

}  // namespace

TEST(CryptoTest, Pbkdf2HmacSha1MatchesIndependentValues) {
  EXPECT_EQ(port::HexEncode(port::Pbkdf2HmacSha1(Ascii("MySecretPassphrase"), Ascii(kSalt), 4000, 80)),
            "F7311F773E670A2C8096CB1B7E6CC647386E1644390AC65BECFF0276E60DC122"
            "D90FB93091450AC1830B1F071C352AD5886C4AFE8D03C77F7D626B19C75793A5"
            "637D117F34CBD46BDE557ACE42CAE687");
  // "pässwörd€" in Windows-1252: 70 E4 73 73 77 F6 72 64 80.
  EXPECT_EQ(port::HexEncode(port::Pbkdf2HmacSha1(Hex("70E4737377F6726480"), Ascii(kSalt), 4000, 80)),
            "24BBDC4B061A719AB7E9FA1A5E437E1F35D488092D94CAE0E61598AA669543A5"
            "BBAF33791CB26192B3A1B8537DFF994E07DA88F7E5463CFDB7C9D09420FB2C0B"
            "24392CAF3F7D63D576DAB7E37F628A9F");
  EXPECT_THROW(port::Pbkdf2HmacSha1(Ascii("x"), Ascii(kSalt), 0, 80), tVX_Error);
}

TEST(CryptoTest, AesCbcMatchesOpensslAndPadsWholeBlocks) {
  const port::Bytes key = Hex(kCipherKey), iv = Hex(kIV);
  EXPECT_EQ(port::HexEncode(port::Aes256CbcEncrypt(key, iv, Ascii(kPlainUtf8))), kCipherText);
  // The same IV buffer serves a second call unchanged (CNG may write the last block into it).
  EXPECT_EQ(port::HexEncode(port::Aes256CbcEncrypt(key, iv, Ascii(kPlainUtf8))), kCipherText);
  EXPECT_EQ(port::HexEncode(iv), kIV);
  // A whole block of input gets a whole block of padding; nothing at all gets one block.
  EXPECT_EQ(port::HexEncode(port::Aes256CbcEncrypt(key, iv, Ascii("0123456789ABCDEF"))),
            "8BBF7A37EB48D8B7C1D6A008551FD599C865077F5862011249D3ABC428539B45");
  EXPECT_EQ(port::HexEncode(port::Aes256CbcEncrypt(key, iv, {})), "490C35090BD129F33549007316BBC600");

  port::Bytes plain;
  ASSERT_TRUE(port::Aes256CbcDecrypt(key, iv, Hex(kCipherText), plain));
  EXPECT_EQ(std::string(plain.begin(), plain.end()), kPlainUtf8);
  ASSERT_TRUE(port::Aes256CbcDecrypt(key, iv, Hex("490C35090BD129F33549007316BBC600"), plain));
  EXPECT_TRUE(plain.empty());

  EXPECT_THROW(port::Aes256CbcEncrypt(port::Bytes(16, 1), iv, {}), tVX_Error);
  EXPECT_THROW(port::Aes256CbcEncrypt(key, port::Bytes(8, 1), {}), tVX_Error);
}

TEST(CryptoTest, AesDecryptRefusesBadLengthAndBadPadding) {
  const port::Bytes key = Hex(kCipherKey), iv = Hex(kIV);
  port::Bytes cipher = Hex(kCipherText);
  port::Bytes plain = Ascii("left over");

  port::Bytes tampered = cipher;
  tampered.back() ^= 0x01;  // the last block no longer ends in valid padding
  EXPECT_FALSE(port::Aes256CbcDecrypt(key, iv, tampered, plain));
  EXPECT_TRUE(plain.empty());

  // The HMAC key in place of the cipher key: garbage with invalid padding.
  EXPECT_FALSE(port::Aes256CbcDecrypt(Hex("F7311F773E670A2C8096CB1B7E6CC647386E1644390AC65BECFF0276E60DC122"), iv,
                                      cipher, plain));
  EXPECT_FALSE(port::Aes256CbcDecrypt(key, iv, port::Bytes(cipher.begin(), cipher.end() - 1), plain));
  EXPECT_FALSE(port::Aes256CbcDecrypt(key, iv, port::Bytes(15, 0), plain));
  EXPECT_FALSE(port::Aes256CbcDecrypt(key, iv, {}, plain));
}

TEST(CryptoTest, HmacSha256MatchesIndependentValues) {
  EXPECT_EQ(port::HexEncode(port::HmacSha256(Ascii("Jefe"), Ascii("what do ya want for nothing?"))),
            "5BDCC146BF60754E6A042426089575C75A003F089D2739839DEC58B964EC3843");
  EXPECT_EQ(port::HexEncode(port::HmacSha256(Hex("F7311F773E670A2C8096CB1B7E6CC647386E1644390AC65BECFF0276E60DC122"),
                                             Ascii(kPlainUtf8))),
            "567BF689515B55F61DDD972A5B2B84104CDFB9AA707049E2F7D769B5924D2462");
  EXPECT_EQ(port::HexEncode(port::HmacSha256({}, {})),
            "B613679A0814D9EC772F95D778C35FC5FF1697C493715653C6C712144292C5AD");
}

TEST(CryptoTest, RandomBytesHaveTheLengthAskedAndDiffer) {
  std::set<port::Bytes> draws;
  for (int i = 0; i < 8; ++i) {
    port::Bytes draw = port::RandomBytes(16);
    EXPECT_EQ(draw.size(), 16u);
    draws.insert(draw);
  }
  EXPECT_EQ(draws.size(), 8u);
  EXPECT_TRUE(port::RandomBytes(0).empty());
}

TEST(CryptoTest, Base64EncodesWithPaddingAndNoLineBreaks) {
  EXPECT_EQ(port::Base64Encode({}), "");
  EXPECT_EQ(port::Base64Encode(Ascii("f")), "Zg==");
  EXPECT_EQ(port::Base64Encode(Ascii("fo")), "Zm8=");
  EXPECT_EQ(port::Base64Encode(Ascii("foo")), "Zm9v");
  EXPECT_EQ(port::Base64Encode(Hex("FBFF")), "+/8=");
  port::Bytes many(200);
  for (size_t i = 0; i < many.size(); ++i) many[i] = static_cast<uint8_t>(i * 7);
  std::string text = port::Base64Encode(many);
  EXPECT_EQ(text.size(), 268u);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  port::Bytes back;
  ASSERT_TRUE(port::Base64Decode(text, back));
  EXPECT_EQ(back, many);
}

TEST(CryptoTest, Base64DecodeAcceptsOnlyWellFormedText) {
  port::Bytes data = Ascii("stale");
  EXPECT_TRUE(port::Base64Decode("", data));
  EXPECT_TRUE(data.empty());
  EXPECT_TRUE(port::Base64Decode("Zg==", data));
  EXPECT_EQ(data, Ascii("f"));
  EXPECT_TRUE(port::Base64Decode("Zm8=", data));
  EXPECT_EQ(data, Ascii("fo"));
  EXPECT_TRUE(port::Base64Decode("+/8=", data));
  EXPECT_EQ(data, Hex("FBFF"));
  for (std::string_view bad : {"Zg", "Zg=", "Zg=a", "Z===", "====", "Zm9v====", "Zm9v\n", "Zm 9v", " Zm9v",
                               "-_8=", "Zm9v!A==", "=Zm9"}) {
    data = Ascii("stale");
    EXPECT_FALSE(port::Base64Decode(bad, data)) << bad;
    EXPECT_TRUE(data.empty()) << bad;
  }
}

TEST(CryptoTest, HexIsUpperCaseAndDecodesEitherCase) {
  EXPECT_EQ(port::HexEncode(Ascii("\x01\xab\xff")), "01ABFF");
  EXPECT_EQ(port::HexEncode({}), "");
  port::Bytes data;
  EXPECT_TRUE(port::HexDecode("01abFF", data));
  EXPECT_EQ(port::HexEncode(data), "01ABFF");
  EXPECT_FALSE(port::HexDecode("ABC", data));
  EXPECT_TRUE(data.empty());
  EXPECT_FALSE(port::HexDecode("0G", data));
  EXPECT_FALSE(port::HexDecode("-1", data));
}

TEST(CryptoTest, ConstantTimeEqualComparesWholeContents) {
  EXPECT_TRUE(port::ConstantTimeEqual(Hex("00112233"), Hex("00112233")));
  EXPECT_FALSE(port::ConstantTimeEqual(Hex("00112233"), Hex("00112234")));
  EXPECT_FALSE(port::ConstantTimeEqual(Hex("80112233"), Hex("00112233")));
  EXPECT_FALSE(port::ConstantTimeEqual(Hex("001122"), Hex("00112233")));
  EXPECT_TRUE(port::ConstantTimeEqual({}, {}));
}
