// The simulator's own security primitives and text forms against independent references.
#include "MessageSecurity.h"
#include "SimCrypto.h"
#include "SimText.h"

#include <gtest/gtest.h>

namespace termsim {
namespace {

TEST(PrimitivesTest, KeyDerivationMatchesAnIndependentPbkdf2OverWindows1252Bytes) {
  // Reference values from another PBKDF2-HMAC-SHA1 implementation for the passphrase
  // "Geheim€ 123" in Windows-1252 (the euro sign is the byte 0x80).
  const std::string bytes = Utf8ToCp1252("Geheim€ 123");
  EXPECT_EQ(ToHex(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "47656865696D8020313233");
  const KeyMaterial keys = DeriveKeyMaterial(bytes);
  EXPECT_EQ(ToHex(keys.hmacKey.data(), 32), "F86C54C4E6B7F361298525761B50C4BC03128FDE15B8D7FD0DE1CC6F1EA1005A");
  EXPECT_EQ(ToHex(keys.cipherKey.data(), 32), "A3F9F641F9F26A2EC89292F8D792FBC8CC552BEC672D206F893A3580F2B80551");
  EXPECT_EQ(ToHex(keys.baseIv.data(), 16), "F031EFE3C420E87C8B25E7C4E59DEAC4");
}

TEST(PrimitivesTest, Windows1252CoversLatin1AndTheExtraCharactersOnly) {
  EXPECT_EQ(Utf8ToCp1252("Zürich"), "Z\xFCrich");
  EXPECT_EQ(Utf8ToCp1252("Š‰™"), "\x8A\x89\x99");
  EXPECT_EQ(Utf8ToCp1252("日本"), "??");
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");      // cut sequence
  EXPECT_EQ(Utf8ToCp1252("\xFF" "b"), "?b");  // invalid lead byte
}

TEST(PrimitivesTest, Base64IsStrict) {
  Bytes out;
  EXPECT_TRUE(Base64Decode("AAECAw==", out));
  EXPECT_EQ(out, (Bytes{0, 1, 2, 3}));
  EXPECT_EQ(Base64Encode(out), "AAECAw==");
  EXPECT_FALSE(Base64Decode("AAECAw=", out));   // length
  EXPECT_FALSE(Base64Decode("AA=CAw==", out));  // padding inside
  EXPECT_FALSE(Base64Decode("AAEC Aw=", out));  // foreign character
}

TEST(PrimitivesTest, CipherRoundTripAndPaddingFailure) {
  const KeyMaterial keys = DeriveKeyMaterial("k");
  const Bytes cipher = AesCbcEncrypt(keys.cipherKey, keys.baseIv, "sixteen bytes!!!");
  EXPECT_EQ(cipher.size(), 32u);  // a whole block of padding
  std::string plain;
  ASSERT_TRUE(AesCbcDecrypt(keys.cipherKey, keys.baseIv, cipher, plain));
  EXPECT_EQ(plain, "sixteen bytes!!!");
  Bytes truncated(cipher.begin(), cipher.begin() + 20);
  EXPECT_FALSE(AesCbcDecrypt(keys.cipherKey, keys.baseIv, truncated, plain));
  Block16 otherIv = keys.baseIv;
  otherIv[0] ^= 1;
  ASSERT_TRUE(AesCbcDecrypt(keys.cipherKey, otherIv, cipher, plain));  // CBC: only the first block changes
  EXPECT_NE(plain, "sixteen bytes!!!");
}

TEST(PrimitivesTest, KeyListsEncodeDecodeAndFindRawCharacters) {
  EXPECT_EQ(EncodeKeyList({{"message", "A&B = 100%"}}), "message=A%26B+%3D+100%25");
  EXPECT_EQ(EncodeKeyList({{"name", "Café"}}, false), "name=Caf%C3%A9");
  KeyList items;
  ASSERT_TRUE(SplitKeyList("a=1&b=x%3Dy&c", items));
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].second, "x=y");
  EXPECT_EQ(items[2].first, "c");
  EXPECT_FALSE(SplitKeyList("a=%4", items));
  EXPECT_FALSE(SplitKeyList("a=%G1", items));
  EXPECT_EQ(FindUnencodedChar("a=b%20c&d=e,f:g/h+i"), std::string::npos);
  EXPECT_EQ(FindUnencodedChar("a=b c"), 3u);
  EXPECT_EQ(FindUnencodedChar("a=[x]"), 2u);
  EXPECT_EQ(FindUnencodedChar("a=%2a"), 2u);  // escapes use capitals
  EXPECT_EQ(FindUnencodedChar("a=\xC3\xA9"), 2u);
}

TEST(PrimitivesTest, TimeStampsAndAmounts) {
  const auto instant = Clock::from_time_t(1710511629) + std::chrono::milliseconds(123);  // 2024-03-15 14:07:09 UTC
  EXPECT_EQ(FormatIsoTime(instant, 0), "2024-03-15T14:07:09.123Z");
  EXPECT_EQ(FormatIsoTime(instant, 330), "2024-03-15T19:37:09.123+05:30");
  EXPECT_EQ(FormatIsoTime(instant, -180), "2024-03-15T11:07:09.123-03:00");
  EXPECT_EQ(CheckIsoTime("2024-03-15T19:37:09.123+05:30"), "");
  EXPECT_NE(CheckIsoTime("2024-03-15T19:37:09+05:30"), "");
  EXPECT_NE(CheckIsoTime("2024-03-15T19:37:09.123"), "");
  EXPECT_NE(CheckIsoTime("2024-13-15T19:37:09.123Z"), "");
  EXPECT_NE(CheckIsoTime("2024-03-15T19:37:09.123-00:00"), "");

  EXPECT_EQ(ParseAmount("12.5"), 125000);
  EXPECT_EQ(ParseAmount("0.0001"), 1);
  EXPECT_EQ(ParseAmount("10"), 100000);
  EXPECT_FALSE(ParseAmount("1.00001"));
  EXPECT_FALSE(ParseAmount("-1"));
  EXPECT_FALSE(ParseAmount("1e3"));
  EXPECT_FALSE(ParseAmount("1."));
  EXPECT_EQ(FormatAmount2(125000), "12.50");
  EXPECT_EQ(FormatAmount2(-50000), "-5.00");
  EXPECT_EQ(FormatAmount2(5), "0.00");
  EXPECT_EQ(FormatAmount2(50), "0.01");
  EXPECT_TRUE(IsCompactJson(R"({"a":"x y","b":[1,2]})"));
  EXPECT_FALSE(IsCompactJson(R"({"a": 1})"));
  EXPECT_TRUE(IsCompactJson(R"({"a":"q\" {"})"));
  EXPECT_TRUE(JsonNestingWithin(R"({"a":[1,{"b":"[[[\"{{"}]})", 3));
  EXPECT_FALSE(JsonNestingWithin(R"({"a":[1,{"b":[]}]})", 3));
}

}  // namespace
}  // namespace termsim
