// The forgiving JSON path reader, compact writing with amounts, and key lists both ways.
#include <gtest/gtest.h>

#include "base/uVX_Text.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Json.h"
#include "drivers/adyen/uVXPA_ADYEN_10_KeyList.h"

namespace {

using adyen::ParseJson;

TEST(JSONUtilsTest, FollowsDottedPathsWithIndexes) {
  tJson doc = ParseJson(uR"({"SaleToPOIResponse":{"MessageHeader":{"POIID":"P1"},
      "PaymentResponse":{"Response":{"Result":"Success"},"PaymentResult":{"PaymentInstrumentData":{"CardData":
      {"EntryMode":["Contactless","ICC"],"Empty":[],"Grid":[[1,2],[3,"x"]]}}},"Amount":12.5,"Whole":10,"Flag":true}}})");
  ASSERT_TRUE(doc.is_object());
  const tJson* header = kJSONUtils::GetObject(&doc, u"SaleToPOIResponse.MessageHeader");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(kJSONUtils::GetString(header, u"POIID"), u"P1");
  const tJson* body = kJSONUtils::GetObject(&doc, u"SaleToPOIResponse.PaymentResponse");
  EXPECT_EQ(kJSONUtils::GetString(body, u"Response.Result"), u"Success");
  const tJson* card = kJSONUtils::GetObject(body, u"PaymentResult.PaymentInstrumentData.CardData");
  EXPECT_EQ(kJSONUtils::GetString(card, u"EntryMode[0]"), u"Contactless");
  EXPECT_EQ(kJSONUtils::GetString(card, u"EntryMode[1]"), u"ICC");
  EXPECT_EQ(kJSONUtils::GetString(card, u"EntryMode[2]"), u"");
  EXPECT_EQ(kJSONUtils::GetString(card, u"Empty[0]"), u"");
  EXPECT_EQ(kJSONUtils::GetString(card, u"Grid[1][1]"), u"x");
  EXPECT_EQ(kJSONUtils::GetString(card, u"Grid[1][0]"), u"3");
  EXPECT_NE(kJSONUtils::GetArray(card, u"EntryMode"), nullptr);
  // Numbers read as their text; other types read as the default.
  EXPECT_EQ(kJSONUtils::GetString(body, u"Amount"), u"12.5");
  EXPECT_EQ(kJSONUtils::GetString(body, u"Whole"), u"10");
  EXPECT_EQ(kJSONUtils::GetString(body, u"Flag"), u"");
  EXPECT_EQ(kJSONUtils::GetString(body, u"Response"), u"");
  EXPECT_TRUE(kJSONUtils::GetBoolean(body, u"Flag"));
  EXPECT_FALSE(kJSONUtils::GetBoolean(body, u"Whole"));
  EXPECT_EQ(kJSONUtils::GetObject(body, u"Amount"), nullptr);
  EXPECT_EQ(kJSONUtils::GetArray(body, u"Response"), nullptr);
}

TEST(JSONUtilsTest, NeverRaisesOnMissingOrMalformed) {
  tJson doc = ParseJson(u"{\"a\":{\"b\":[1]},\"s\":\"t\"}");
  EXPECT_EQ(kJSONUtils::GetObject(&doc, u"a.missing.deeper"), nullptr);
  EXPECT_EQ(kJSONUtils::GetObject(nullptr, u"a"), nullptr);
  EXPECT_EQ(kJSONUtils::GetString(nullptr, u"a"), u"");
  EXPECT_FALSE(kJSONUtils::GetBoolean(&doc, u"nothing"));
  EXPECT_EQ(kJSONUtils::GetString(&doc, u"s.t"), u"");     // through a string
  EXPECT_EQ(kJSONUtils::GetString(&doc, u"a[0]"), u"");    // an object is not an array
  for (auto path : {u"a.b[", u"a.b[]", u"a.b[x]", u"a.b[0]x", u"", u"a..b", u"a.b[99999999999]"})
    EXPECT_EQ(kJSONUtils::Find(&doc, path), nullptr) << vxtext::Utf8(path);
  // Text that is not JSON reads as missing everywhere.
  tJson bad = ParseJson(u"<html>oops</html>");
  EXPECT_FALSE(bad.is_object());
  EXPECT_EQ(kJSONUtils::GetObject(&bad, u"SaleToPOIResponse"), nullptr);
  EXPECT_EQ(kJSONUtils::GetString(&bad, u"errors[0]"), u"");
}

TEST(JSONUtilsTest, WritesCompactOrderedTextWithShortestAmounts) {
  tJson o = tJson::object();
  o["z"] = adyen::JsonText(u"caf\u00e9 \u20ac");
  o["a"] = adyen::JsonAmount(tVX_Currency::FromUnits(125000));
  o["m"] = adyen::JsonAmount(tVX_Currency::FromUnits(100000));
  o["b"] = adyen::JsonAmount(tVX_Currency::FromUnits(3500));
  o["n"] = adyen::JsonAmount(tVX_Currency::FromUnits(-1));
  o["e"] = tJson::object();
  EXPECT_EQ(adyen::JsonToText(o), u"{\"z\":\"caf\u00e9 \u20ac\",\"a\":12.5,\"m\":10,\"b\":0.35,\"n\":-0.0001,\"e\":{}}");
  // Every amount with up to four decimals writes as its plain decimal text.
  for (int64_t units : {1LL, 9999LL, 123456789LL, 1000000000001LL, -50000LL, 99999999999999LL, 900719925474099LL}) {
    tVX_Currency amount = tVX_Currency::FromUnits(units);
    EXPECT_EQ(adyen::JsonToText(adyen::JsonAmount(amount)), amount.ToPlainString()) << units;
  }
}

TEST(KeyListTest, SplitsBeforeDecodingAndFindsTheFirstNameIgnoringCase) {
  auto list = adyen::SplitKeyValueList(u"message=Card+expired&errors=&refusalReason=05%3A+Do%20not%20honour"
                                       u"&MESSAGE=second&note=A%26B&eq=x%3Dy=z&utf=caf%C3%A9&bad=%G1%2");
  EXPECT_EQ(list.Lines().size(), 8u);
  EXPECT_EQ(list.Value(u"message"), u"Card expired");
  EXPECT_EQ(list.Value(u"Message"), u"Card expired");
  EXPECT_EQ(list.Value(u"errors"), u"");
  EXPECT_EQ(list.Value(u"refusalReason"), u"05: Do not honour");
  EXPECT_EQ(list.Value(u"note"), u"A&B");
  EXPECT_EQ(list.Value(u"eq"), u"x=y=z");
  EXPECT_EQ(list.Value(u"utf"), u"caf\u00e9");
  EXPECT_EQ(list.Value(u"bad"), u"%G1%2");
  EXPECT_EQ(list.Value(u"absent"), u"");
  EXPECT_TRUE(adyen::SplitKeyValueList(u"").Lines().empty());
  // An encoded "=" in a name is decoded before the name is cut at the first "=".
  EXPECT_EQ(adyen::SplitKeyValueList(u"a%3Db=c").Value(u"a"), u"b=c");
}

TEST(KeyListTest, EncodesBlanksControlsUnsafeAndNonAscii) {
  EXPECT_EQ(adyen::EncodeKeyList(u"name=Cassivo Adyen Zarvik Driver&tenderOption=ReceiptHandler,AskGratuity"),
            u"name=Cassivo%20Adyen%20Zarvik%20Driver&tenderOption=ReceiptHandler,AskGratuity");
  EXPECT_EQ(adyen::EncodeKeyList(u"a+b/c:d;e?f@g!h$i'j(k)l~m_n-o.p"), u"a+b/c:d;e?f@g!h$i'j(k)l~m_n-o.p");
  EXPECT_EQ(adyen::EncodeKeyList(u"*<>#%\"{}|\\^[]`"), u"%2A%3C%3E%23%25%22%7B%7D%7C%5C%5E%5B%5D%60");
  EXPECT_EQ(adyen::EncodeKeyList(u"\t\r\n\x7f"), u"%09%0D%0A\x7f");
  EXPECT_EQ(adyen::EncodeKeyList(u"M\u00fcller \u20ac\U0001F600"), u"M%C3%BCller%20%E2%82%AC%F0%9F%98%80");
  // What is encoded reads back to the same items.
  std::u16string items = u"a=x y&b=\u00e9*%&c=+";
  auto back = adyen::SplitKeyValueList(adyen::EncodeKeyList(items));
  EXPECT_EQ(back.Value(u"a"), u"x y");
  EXPECT_EQ(back.Value(u"b"), u"\u00e9*%");
}

}  // namespace
