// The setup store and the message table.
#include <gtest/gtest.h>

#include "base/uVX_Base.h"

namespace {

TEST(SetupTest, NamesCompareIgnoringCaseAndKeepTheirFirstSpelling) {
  tVX_Setup setup;
  setup.Define(u"PORT");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(setup.GetValue(u"port")));
  setup.SetValue(u"Port", int64_t{8443});
  setup.SetValue(u"Host", std::u16string(u"10.0.0.7"));
  setup.SetValue(u"host", true);
  ASSERT_EQ(setup.List().size(), 2u);
  EXPECT_EQ(setup.List()[0].Name(), u"PORT");
  EXPECT_EQ(setup.List()[1].Name(), u"Host");
  EXPECT_EQ(setup.GetValue(u"pOrT"), tVX_SetupValue(int64_t{8443}));
  EXPECT_EQ(setup.GetValue(u"HOST"), tVX_SetupValue(true));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(setup.GetValue(u"Timeout")));
  EXPECT_EQ(setup.List().size(), 2u);  // reading defines nothing
  setup.Define(u"port");                // back to empty, still one entry
  EXPECT_TRUE(std::holds_alternative<std::monostate>(setup.GetValue(u"PORT")));
  EXPECT_EQ(setup.List().size(), 2u);
}

TEST(MessagesTest, WithoutATableTheIdIsTheText) {
  tVX_Application app;
  EXPECT_EQ(app.GetMessage(u"Device %s not found", {std::u16string(u"COM3")}), u"Device COM3 not found");
  EXPECT_EQ(app.GetMessage(u"Line one\\r\\nLine two"), u"Line one\r\nLine two");
  EXPECT_EQ(app.GetMessage(u"Line one\\r\\nLine two", {}), u"Line one\\r\\nLine two");  // only the short form
  EXPECT_EQ(app.GetMessage(u"100% done, 50%% left"), u"100% done, 50% left");
  EXPECT_EQ(app.GetMessage(u"%s of %d"), u"%s of %d");  // no values: placeholders stay
}

TEST(MessagesTest, FormatsTextAndNumbers) {
  tVX_Application app;
  EXPECT_EQ(app.GetMessage(u"[%5s|%-4s|%.2s]", {std::u16string(u"ab"), std::u16string(u"c"), std::u16string(u"xyz")}),
            u"[   ab|c   |xy]");
  EXPECT_EQ(app.GetMessage(u"%d items, %x hex, %.2f EUR", {int64_t{-12}, int64_t{255}, 3.14159}),
            u"-12 items, ff hex, 3.14 EUR");
  EXPECT_EQ(app.GetMessage(u"%d and %s", {int64_t{1}}), u"1 and %s");
}

TEST(MessagesTest, LooksUpTheLanguageThenTheDefaultLanguage) {
  tVX_Application app;
  app.LoadMessagesFromText(
      u"it.NOPAPER:Carta esaurita\r\n"
      u"en.NOPAPER:Out of paper:ignored after the second colon\r\n"
      u"en.NOPAPER:A second value is ignored\n"
      u"en.COUNT:%d receipts\n"
      u"line without a colon\n"
      u"\n");
  EXPECT_EQ(app.GetMessage(u"NOPAPER"), u"NOPAPER");  // no language set
  app.SetLanguage(u"it");
  EXPECT_EQ(app.GetMessage(u"NOPAPER"), u"Carta esaurita");
  app.SetLanguage(u"fr");
  EXPECT_EQ(app.GetMessage(u"NOPAPER"), u"NOPAPER");
  app.SetDefaultLanguage(u"en");
  EXPECT_EQ(app.GetMessage(u"NOPAPER"), u"Out of paper");
  EXPECT_EQ(app.GetMessage(u"COUNT", {int64_t{3}}), u"3 receipts");
}

}  // namespace
