// Version information read from a string table: the module's own and made-up ones.
#include <gtest/gtest.h>

#include <map>

#include "base/uVX_Base.h"
#include "platform/Error.h"

namespace {

tDateTime Date(int aYear, int aMonth, int aDay) {
  tDateTime value = 0;
  EXPECT_TRUE(vxdate::TryEncodeDate(aYear, aMonth, aDay, value));
  return value;
}

tVX_StringSource Table(std::map<unsigned, std::u16string> aStrings) {
  return [strings = std::move(aStrings)](unsigned aId) {
    auto found = strings.find(aId);
    return found == strings.end() ? std::u16string() : found->second;
  };
}

TEST(ApplicationInfoTest, ReadsTheModuleTable) {
  tVX_ApplicationInfo info;
  info.Load();
  EXPECT_EQ(info.Description(), u"Zarvik Driver - Adyen Protocol (Global)");
  EXPECT_FALSE(info.Copyright().empty());
  EXPECT_EQ(info.Version(), u"1.10");
  EXPECT_EQ(info.ReleaseDate(), Date(2024, 1, 8));
  ASSERT_EQ(info.History().size(), 11u);
  const char16_t* versions[] = {u"1.00", u"1.01", u"1.02", u"1.03", u"1.04", u"1.05",
                                u"1.06", u"1.07", u"1.08", u"1.09", u"1.10"};
  for (size_t i = 0; i < 11; ++i) {
    const tVX_ApplicationHistory& entry = *info.History()[i];
    EXPECT_EQ(entry.Version(), versions[i]);
    EXPECT_FALSE(entry.Author().empty()) << i;
    EXPECT_GE(entry.Text().size(), 1u) << i;
    EXPECT_LE(entry.Text().size(), 3u) << i;
    if (i > 0) {
      EXPECT_GT(entry.ReleaseDate(), info.History()[i - 1]->ReleaseDate()) << i;
    }
  }
  EXPECT_EQ(info.History().front()->ReleaseDate(), Date(2021, 2, 5));  // DD/MM, not MM/DD
  EXPECT_EQ(info.History().back()->Text().size(), 3u);

  std::u16string date = FormatShortDate(Date(2024, 1, 8));
  ASSERT_FALSE(date.empty());
  EXPECT_EQ(info.VersionString(), u"[1.10 - " + date + u"]");
}

TEST(ApplicationInfoTest, ToleratesGapsOfUpToTenMissingIds) {
  tVX_ApplicationInfo info;
  info.Load(Table({{10000, u"$VERSION=1.0"},
                   {10011, u"$VERSION=2.0"},    // ids 10001..10010 missing: ten
                   {10023, u"$VERSION=3.0"}}));  // ids 10012..10022 missing: eleven
  ASSERT_EQ(info.History().size(), 2u);
  EXPECT_EQ(info.Version(), u"2.0");

  info.Load(Table({{10010, u"$VERSION=late"}}));  // the table must start within ten ids
  ASSERT_EQ(info.History().size(), 1u);
  info.Load(Table({{10011, u"$VERSION=too late"}}));
  EXPECT_TRUE(info.History().empty());
  EXPECT_EQ(info.Version(), u"");
}

TEST(ApplicationInfoTest, SplitsAtTheFirstEqualsAndComparesKeysInUpperCase) {
  tVX_ApplicationInfo info;
  info.Load(Table({{10000, u"$appDescription=A=B driver"},
                   {10001, u"$AUTHOR=nobody"},  // before any version: ignored
                   {10002, u"$TEXT=orphan"},
                   {10003, u"$Version=2.5=beta"},
                   {10004, u"$ReleaseDate=31/12/2023"},
                   {10005, u"$author=Team = Two"},
                   {10006, u"$PTEXT=first"},
                   {10007, u"$text=x=y"},
                   {10008, u"$UNKNOWN=whatever"},
                   {10009, u"no equals sign"},
                   {10010, u"$COPYRIGHT="}}));
  EXPECT_EQ(info.Description(), u"A=B driver");
  EXPECT_EQ(info.Copyright(), u"");
  EXPECT_EQ(info.Version(), u"2.5=beta");
  ASSERT_EQ(info.History().size(), 1u);
  const tVX_ApplicationHistory& entry = *info.History()[0];
  EXPECT_EQ(entry.Author(), u"Team = Two");
  EXPECT_EQ(entry.ReleaseDate(), Date(2023, 12, 31));
  EXPECT_EQ(info.ReleaseDate(), Date(2023, 12, 31));
  EXPECT_EQ(entry.Text(), (std::vector<std::u16string>{u"first", u"x=y"}));
}

TEST(ApplicationInfoTest, ReleaseDatePartsThatAreNoNumberBecomeOne) {
  tVX_ApplicationInfo info;
  info.Load(Table({{10000, u"$VERSION=1"}, {10001, u"$RELEASEDATE=xx/03/2024"}}));
  EXPECT_EQ(info.ReleaseDate(), Date(2024, 3, 1));
  info.Load(Table({{10000, u"$VERSION=1"}, {10001, u"$RELEASEDATE=15/1"}}));
  EXPECT_EQ(info.ReleaseDate(), Date(1, 1, 15));  // month "1" and no year: year 1

  EXPECT_THROW(info.Load(Table({{10000, u"$VERSION=1"}, {10001, u"$RELEASEDATE=31/02/2024"}})), tVX_Error);
}

}  // namespace
