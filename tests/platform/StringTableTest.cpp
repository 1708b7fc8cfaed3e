// The module's string table, read through the port on both targets.
#include <gtest/gtest.h>

#include "platform/StringTable.h"

TEST(StringTableTest, ReadsTheModuleStringsAndAnswersEmptyForMissingIds) {
  EXPECT_EQ(port::LoadModuleString(10000), u"$APPDESCRIPTION=Zarvik Driver - Adyen Protocol (Global)");
  EXPECT_EQ(port::LoadModuleString(10047), u"$RELEASEDATE=08/01/2024");
  EXPECT_EQ(port::LoadModuleString(10052), u"");
  EXPECT_EQ(port::LoadModuleString(9999), u"");
  EXPECT_EQ(port::LoadModuleString(10000, 5), u"$APPD");
}
