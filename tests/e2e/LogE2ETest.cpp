// The device log of a payment as the module writes it: the separator, the plain request, the
// HTTP client's lines with the protected request as sent, and the plain answer, in that order and
// matching what the terminal received and answered; a refused answer and an HTTP error leave
// their traces too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "E2EFixture.h"

namespace vxtest {
namespace {

struct LogLine {
  bool error = false;
  std::string text;  // after the time stamp and the level
};

std::vector<LogLine> ReadLog(const std::u16string& aFileName) {
  std::ifstream in{std::filesystem::path(aFileName), std::ios::binary};
  EXPECT_TRUE(in.good()) << "cannot read the log " << Narrow(aFileName);
  std::stringstream content;
  content << in.rdbuf();
  const std::string bytes = content.str();
  std::vector<LogLine> lines;
  const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3} - (ERROR - )?)");
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "a log line without CR LF";
    if (end == std::string::npos) break;
    const std::string line = bytes.substr(start, end - start);
    std::smatch match;
    if (std::regex_search(line, match, stamp)) {
      lines.push_back({match[1].matched, line.substr(match[0].length())});
    } else {
      ADD_FAILURE() << "a log line without its time stamp: " << line.substr(0, 80);
    }
    start = end + 2;
  }
  // The file of a log id lives on across runs of the tests: keep the last device's lines only.
  for (size_t i = lines.size(); i-- > 0;) {
    if (lines[i].text.find(" START ") != std::string::npos) {
      lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  return lines;
}

// Index of the first line at or after aFrom that starts with aPrefix; lines.size() when none.
size_t Find(const std::vector<LogLine>& aLines, const std::string& aPrefix, size_t aFrom = 0) {
  for (size_t i = aFrom; i < aLines.size(); ++i) {
    if (aLines[i].text.starts_with(aPrefix)) return i;
  }
  return aLines.size();
}

std::string After(const LogLine& aLine, const std::string& aPrefix) { return aLine.text.substr(aPrefix.size()); }

class LogE2ETest : public E2ETest {};

TEST_F(LogE2ETest, APaymentLogsItsRequestTheExchangeAndTheAnswerInOrder) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"8.80");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  const Json entry = LastRequest();
  const std::vector<LogLine> lines = ReadLog(sale["LogFileName"]);

  const size_t separator = Find(lines, std::string(60, '-') + " Pay");
  ASSERT_LT(separator, lines.size());
  EXPECT_EQ(lines[separator].text.size(), 64u);
  const size_t request = Find(lines, "kAdyen.Pay:", separator);
  const size_t url = Find(lines, "Write:", request);
  const size_t sent = Find(lines, "Write [", url);
  const size_t read = Find(lines, "Read [", sent);
  const size_t answer = Find(lines, "kAdyen.Decrypt:", read);
  ASSERT_LT(answer, lines.size()) << "the log lacks a line of the exchange, or has them out of order";

  EXPECT_EQ(After(lines[request], "kAdyen.Pay:"), entry["plainText"].get<std::string>());
  EXPECT_EQ(After(lines[url], "Write:"), Narrow(fSim.Url()) + "/nexo");
  const std::string body = entry["body"];
  EXPECT_EQ(lines[sent].text, "Write [" + std::to_string(body.size()) + "]:" + body);
  EXPECT_EQ(Json::parse(After(lines[answer], "kAdyen.Decrypt:")), entry["answer"]);
  for (size_t i = separator; i <= answer; ++i) EXPECT_FALSE(lines[i].error) << lines[i].text;
}

TEST_F(LogE2ETest, ARefusedAnswerIsLoggedInPlainAndAnHttpErrorAsAnError) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  fSim.Arrange({{"scenario", "wrong-hmac"}});
  ASSERT_EQ(till.Sale(u"8.80").Code(), -1);
  fSim.Arrange({{"scenario", "http-401"}});
  ASSERT_EQ(till.Sale(u"8.80").Code(), -1);
  // The failed commands answer no log file name; a later good one names the same file.
  const ResultDoc good = till.Sale(u"8.80");
  ASSERT_EQ(good.Code(), 0);
  const std::vector<LogLine> lines = ReadLog(good["LogFileName"]);
  const std::vector<Json> requests = Requests();
  ASSERT_EQ(requests.size(), 3u);

  // The answer whose HMAC did not match was decrypted and logged before it was refused.
  const size_t decrypted = Find(lines, "kAdyen.Decrypt:");
  ASSERT_LT(decrypted, lines.size());
  EXPECT_EQ(Json::parse(After(lines[decrypted], "kAdyen.Decrypt:")), requests[0]["answer"]);

  const size_t httpError = Find(lines, "HTTP Error:", decrypted);
  ASSERT_LT(httpError, lines.size());
  EXPECT_TRUE(lines[httpError].error);
  EXPECT_EQ(lines[httpError].text, "HTTP Error:401 - Unauthorized");
}

}  // namespace
}  // namespace vxtest
