// Every input of the fuzzer's seed corpus, through the same entry point as the fuzzer: a finding
// that was fixed stays fixed once its input is in the corpus.
#include <gtest/gtest.h>

#include <filesystem>

#include "AnswerFuzzTarget.h"
#include "RequestFuzzTarget.h"
#include "platform/ModuleEntry.h"
#include "support/TempDir.h"

namespace {

TEST(CorpusReplayTest, EveryCorpusInputGetsCorrectAnswers) {
  vxfuzz::Prepare();
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VXPA_FUZZ_CORPUS)) {
    std::string bytes = vxtest::ReadFileBytes(entry.path());
    std::string problem = vxfuzz::RunRequest(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(problem, "") << entry.path().filename().string();
    ++count;
  }
  EXPECT_GE(count, 20u) << "the corpus went missing";
  vxmodule::Stop();
}

TEST(CorpusReplayTest, EveryAnswerSeedIsHandledAsItMustBe) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VXPA_FUZZ_ANSWERS)) {
    std::string bytes = vxtest::ReadFileBytes(entry.path());
    std::string problem = vxfuzz::RunAnswer(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(problem, "") << entry.path().filename().string();
    ++count;
  }
  EXPECT_GE(count, 10u) << "the answer seeds went missing";
}

}  // namespace
