// Free functions: command-line switches, text fields, host program, machine name, date texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/uVX_Base.h"
#include "platform/Locale.h"
#include "platform/Process.h"

namespace {

using Args = std::vector<std::u16string>;

TEST(CommandLineSwitchTest, MatchesTheNameAloneOrFollowedByColonOrEquals) {
  for (const char16_t* argument : {u"/batch", u"/Batch:1", u"/BATCH=yes"}) {
    EXPECT_EQ(GetCommandLineSwitch(u"/BATCH", true, {u"/x", argument}), argument);
  }
  EXPECT_EQ(GetCommandLineSwitch(u"/BATCH", true, {u"/BATCHX", u"-batch", u"batch", u"/BATC"}), u"");
  EXPECT_EQ(GetCommandLineSwitch(u"/BATCH", true, {}), u"");
}

TEST(CommandLineSwitchTest, ValueFormDropsTheNameAndItsSeparator) {
  EXPECT_EQ(GetCommandLineSwitch(u"/LOG", false, {u"/log=C:\\x"}), u"C:\\x");
  EXPECT_EQ(GetCommandLineSwitch(u"/LOG", false, {u"/Log:a=b:c"}), u"a=b:c");
  EXPECT_EQ(GetCommandLineSwitch(u"/LOG", false, {u"/LOG"}), u"");
  EXPECT_EQ(GetCommandLineSwitch(u"/LOG", false, {u"/LOG="}), u"");
  EXPECT_EQ(GetCommandLineSwitch(u"/log", false, {u"/LOGFILE=z", u"/LOG=first", u"/LOG=second"}), u"first");
}

TEST(TextFieldTest, PicksOnePieceOrTheRestOfTheText) {
  EXPECT_EQ(GetTextField(u"a;bb;;d", 1, u';', false), u"a");
  EXPECT_EQ(GetTextField(u"a;bb;;d", 2, u';', false), u"bb");
  EXPECT_EQ(GetTextField(u"a;bb;;d", 3, u';', false), u"");
  EXPECT_EQ(GetTextField(u"a;bb;;d", 4, u';', false), u"d");
  EXPECT_EQ(GetTextField(u"a;bb;;d", 5, u';', false), u"");
  EXPECT_EQ(GetTextField(u"a;bb;;d", 2, u';', true), u"bb;;d");
  EXPECT_EQ(GetTextField(u"a;bb;;d", 4, u';', true), u"d");
  EXPECT_EQ(GetTextField(u"a;bb;;d", 5, u';', true), u"");
  EXPECT_EQ(GetTextField(u"a;bb", 0, u';', false), u"");
  EXPECT_EQ(GetTextField(u"abc", 1, u';', false), u"abc");
}

TEST(HostProgramTest, FolderAndNameComeFromTheExecutable) {
  std::u16string folder = GetApplicationFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), static_cast<char16_t>(std::filesystem::path::preferred_separator));
  EXPECT_EQ(GetApplicationName(), u"test_base");
  EXPECT_EQ(std::filesystem::path(folder + GetApplicationName()).replace_extension(),
            std::filesystem::path(port::ExecutablePath()).replace_extension());
}

// Sets COMPUTERNAME for the test and restores it afterwards.
class MachineNameTest : public testing::Test {
 protected:
  void SetUp() override { fSaved = port::EnvironmentVariable(u"COMPUTERNAME"); }
  void TearDown() override { port::SetEnvironmentValue(u"COMPUTERNAME", fSaved); }
  std::optional<std::u16string> fSaved;
};

TEST_F(MachineNameTest, ComesFromComputerNameWithAFallbackWhenUnset) {
  port::SetEnvironmentValue(u"COMPUTERNAME", u"TILL-07");
  EXPECT_EQ(GetMachineName(), u"TILL-07");
  port::SetEnvironmentValue(u"COMPUTERNAME", std::nullopt);
  EXPECT_EQ(GetMachineName(), port::DefaultMachineName());
}

TEST(LocaleTextTest, FormatsTheDateAndTimeParts) {
  tDateTime moment = 0;
  ASSERT_TRUE(vxdate::TryEncodeDateTime({2024, 1, 8, 6, 45, 56, 999}, moment));
  EXPECT_EQ(FormatShortDate(moment), port::ShortDateText(2024, 1, 8));
  EXPECT_EQ(FormatLongTime(moment), port::LongTimeText(6, 45, 56));
  ASSERT_TRUE(vxdate::TryEncodeDateTime({2024, 1, 8, 23, 59, 59, 999}, moment));
  EXPECT_EQ(FormatLongTime(moment), port::LongTimeText(23, 59, 59));
}

}  // namespace
