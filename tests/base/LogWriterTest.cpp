// The log writer's lines, file names, setters, rotation and retries.
#include "base/uVX_LogWriter.h"

#include <chrono>

#include "LogWriterTestSupport.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace {

using namespace vxlogtest;
using tVX_MessageType::let_error;
using tVX_MessageType::let_info;

class LogWriterTest : public FixedClock {};

TEST_F(LogWriterTest, LinesCarryStampSeparatorAndCrLf) {
  auto writer = std::make_unique<tVX_LogWriter>(u"A", fDir.Text(), 0, false);
  std::u16string file = writer->FileName();
  writer->Write(let_error, u"Timeout");
  writer->Write(let_info, u"Ready");
  SetClock(2023, 11, 29, 23, 7, 9, 4);  // 24-hour clock, zero padding in every field
  writer->Write(let_info, u"");
  writer.reset();
  EXPECT_EQ(ReadLog(file),
            "2024-01-08 06:45:56:123 - ERROR - Timeout\r\n"
            "2024-01-08 06:45:56:123 - Ready\r\n"
            "2023-11-29 23:07:09:004 - \r\n");
}

TEST_F(LogWriterTest, FileIsUtf8WithoutByteOrderMark) {
  auto writer = std::make_unique<tVX_LogWriter>(u"A", fDir.Text(), 0, false);
  std::u16string file = writer->FileName();
  writer->Write(let_info, u"caf\u00e9 \u20ac \U0001F600");
  writer.reset();
  EXPECT_EQ(ReadLog(file), "2024-01-08 06:45:56:123 - caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n");
}

TEST_F(LogWriterTest, DailyAndPlainNamesUseTheCreationDay) {
  tVX_LogWriter daily(u"A", fDir.Text(), 0, true);
  tVX_LogWriter plain(u"B", fDir.Text(), 0, false);
  EXPECT_EQ(daily.FileName(), port::JoinPath(fDir.Text(), u"A_20240108.log"));
  EXPECT_EQ(plain.FileName(), port::JoinPath(fDir.Text(), u"B.log"));
  EXPECT_TRUE(daily.Daily());
  EXPECT_FALSE(plain.Daily());
  EXPECT_EQ(daily.MaxLogFileSize(), 5000);
  // A folder without a trailing separator gets one.
  std::u16string folder = fDir.Text().substr(0, fDir.Text().size() - 1);
  tVX_LogWriter joined(u"C", folder, 0, true);
  EXPECT_EQ(joined.FileName(), port::JoinPath(fDir.Text(), u"C_20240108.log"));
  EXPECT_EQ(joined.Directory(), folder);

  // Past midnight the writer keeps the day it was created on.
  SetClock(2024, 1, 9, 0, 0, 1, 0);
  daily.Write(let_info, u"next day");
  WaitUntilWritten(daily);
  EXPECT_EQ(daily.FileName(), port::JoinPath(fDir.Text(), u"A_20240108.log"));
  EXPECT_EQ(ReadLog(daily.FileName()), "2024-01-09 00:00:01:000 - next day\r\n");
}

TEST_F(LogWriterTest, MessagesAreCutToThePositiveMaximum) {
  struct Case {
    int32_t max;
    std::u16string message;
    std::string expected;
  };
  const Case cases[] = {
      {5, u"abcdefgh", "abcde"},
      {5, u"abcde", "abcde"},
      {0, u"abcdefgh", "abcdefgh"},
      {-1, u"abcdefgh", "abcdefgh"},
      // Half of a surrogate pair is not left behind.
      {3, u"ab\U0001F600c", "ab"},
      {4, u"ab\U0001F600c", "ab\xF0\x9F\x98\x80"},
  };
  for (const Case& c : cases) {
    auto writer = std::make_unique<tVX_LogWriter>(u"cut", fDir.Text(), c.max, false);
    EXPECT_EQ(writer->MaxMessageLength(), c.max);
    std::u16string file = writer->FileName();
    writer->Write(let_error, c.message);
    writer.reset();
    EXPECT_EQ(ReadLog(file), "2024-01-08 06:45:56:123 - ERROR - " + c.expected + "\r\n") << c.max;
    std::filesystem::remove(std::filesystem::path(file));
  }
}

TEST_F(LogWriterTest, SettersMoveLaterLinesOnly) {
  std::u16string s(1, port::PathSeparator());
  tVX_LogWriter writer(u"A", fDir.Text(), 0, true);
  std::u16string first = writer.FileName();
  EXPECT_EQ(writer.GetLogFileSize(), -1);  // nothing written yet
  writer.Write(let_info, u"one");

  // Only the last component of a new name counts, taken as it is.
  writer.SetFileName(u"elsewhere" + s + u"other.txt");
  EXPECT_EQ(writer.Directory(), fDir.Text());
  std::u16string second = port::JoinPath(fDir.Text(), u"other.txt");
  EXPECT_EQ(writer.FileName(), second);
  writer.Write(let_info, u"two");

  // A new folder is created with its parents; the name goes with it.
  std::u16string folder = fDir.Text() + u"x" + s + u"y";
  writer.SetDirectory(folder);
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(folder)));
  EXPECT_EQ(writer.Directory(), folder);
  std::u16string third = port::JoinPath(folder, u"other.txt");
  EXPECT_EQ(writer.FileName(), third);
  writer.Write(let_info, u"three");
  WaitUntilWritten(writer);

  EXPECT_EQ(ReadLog(first), "2024-01-08 06:45:56:123 - one\r\n");
  EXPECT_EQ(ReadLog(second), "2024-01-08 06:45:56:123 - two\r\n");
  EXPECT_EQ(ReadLog(third), "2024-01-08 06:45:56:123 - three\r\n");
  EXPECT_EQ(writer.GetLogFileSize(), static_cast<int64_t>(ReadLog(third).size()));
}

TEST_F(LogWriterTest, EmptyFileNameFailsWrite) {
  tVX_LogWriter writer(u"A", fDir.Text(), 0, false);
  writer.SetFileName(u"");
  EXPECT_EQ(writer.FileName(), u"");
  try {
    writer.Write(let_info, u"lost");
    FAIL() << "no exception";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Log filename is empty ");
  }
  EXPECT_EQ(writer.Thread().QueuedLines(), 0u);
}

TEST_F(LogWriterTest, InvalidFolderNamesFailAndUncreatableFoldersDoNot) {
  std::u16string bad = fDir.Text() + u"a" + std::u16string(1, u'\0') + u"b";
  EXPECT_THROW(tVX_LogWriter(u"A", bad, 0, false), tVX_Error);

  tVX_LogWriter writer(u"A", fDir.Text(), 0, false);
  std::u16string before = writer.FileName();
  EXPECT_THROW(writer.SetDirectory(bad), tVX_Error);
  EXPECT_EQ(writer.Directory(), fDir.Text());
  EXPECT_EQ(writer.FileName(), before);

  // A file where the folder should be: no error, the line is given up after its attempts.
  std::u16string blocker = port::JoinPath(fDir.Text(), u"blocker");
  ASSERT_TRUE(port::CreateEmptyFile(blocker));
  std::u16string s(1, port::PathSeparator());
  auto blocked = std::make_unique<tVX_LogWriter>(u"B", blocker + s + u"sub", 0, false);
  blocked->Write(let_info, u"dropped");
  blocked.reset();
  EXPECT_EQ(FilesIn(fDir), 1u);
}

// The size test runs before each line: a file of exactly the threshold is kept, one past it is
// renamed with the 17-digit stamp and a fresh file of the same name takes the line.
TEST_F(LogWriterTest, RotatesOnlyPastTheThreshold) {
  const int64_t threshold = 5000 * 1024;
  const int64_t line = std::string("2024-01-08 06:45:56:123 - kept\r\n").size();
  tVX_LogWriter exact(u"exact", fDir.Text(), 0, true);
  ASSERT_TRUE(port::AppendToFile(exact.FileName(), std::string(threshold, 'x')));
  exact.Write(let_info, u"kept");
  WaitUntilWritten(exact);
  EXPECT_EQ(exact.GetLogFileSize(), threshold + line);
  EXPECT_EQ(FilesIn(fDir), 1u);

  tVX_LogWriter over(u"over", fDir.Text(), 0, true);
  ASSERT_TRUE(port::AppendToFile(over.FileName(), std::string(threshold + 1, 'y')));
  SetClock(2024, 1, 8, 16, 5, 9, 7);
  over.Write(let_info, u"fresh");
  WaitUntilWritten(over);
  EXPECT_EQ(ReadLog(over.FileName()), "2024-01-08 16:05:09:007 - fresh\r\n");
  std::u16string rotated = port::JoinPath(fDir.Text(), u"over_20240108_20240108160509007.log");
  EXPECT_EQ(port::FileSize(rotated), threshold + 1);
  EXPECT_EQ(FilesIn(fDir), 3u);

  // The exact file has grown past the threshold with its line: the next line rotates it.
  exact.Write(let_info, u"next");
  WaitUntilWritten(exact);
  EXPECT_EQ(port::FileSize(port::JoinPath(fDir.Text(), u"exact_20240108_20240108160509007.log")), threshold + line);
  EXPECT_EQ(ReadLog(exact.FileName()), "2024-01-08 16:05:09:007 - next\r\n");
}

TEST_F(LogWriterTest, FailedRotationKeepsWritingIntoTheSameFile) {
  const int64_t threshold = 5000 * 1024;
  const int64_t line = std::string("2024-01-08 06:45:56:123 - line\r\n").size();
  tVX_LogWriter writer(u"A", fDir.Text(), 0, false);
  ASSERT_TRUE(port::AppendToFile(writer.FileName(), std::string(threshold + 1, 'x')));
  // The rotated name is taken already: it must be neither replaced nor lose the line.
  std::u16string taken = port::JoinPath(fDir.Text(), u"A_20240108064556123.log");
  ASSERT_TRUE(port::AppendToFile(taken, "older rotation"));
  writer.Write(let_info, u"line");
  WaitUntilWritten(writer);
  EXPECT_EQ(ReadLog(taken), "older rotation");
  EXPECT_EQ(writer.GetLogFileSize(), threshold + 1 + line);
}

// Another writer holds the file: each line gets 10 attempts 50 ms apart, then is dropped, and the
// next line starts afresh.
TEST_F(LogWriterTest, LockedFileIsRetriedThenGivenUp) {
  tVX_LogWriter writer(u"A", fDir.Text(), 0, false);
  std::u16string file = writer.FileName();
  auto held = port::LockFileForWriting(file);
  ASSERT_NE(held, nullptr);

  writer.Write(let_info, u"dropped");
  writer.Write(let_info, u"kept");
  auto start = std::chrono::steady_clock::now();
  while (writer.Thread().QueuedLines() == 2 && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(writer.Thread().QueuedLines(), 1u);
  EXPECT_GE(elapsed, std::chrono::milliseconds(400));  // nine pauses of 50 ms at least
  EXPECT_LT(elapsed, std::chrono::seconds(5));

  held.reset();  // the second line is still within its attempts
  WaitUntilWritten(writer);
  EXPECT_EQ(ReadLog(file), "2024-01-08 06:45:56:123 - kept\r\n");

  // Released while a line is being retried: the line gets in.
  held = port::LockFileForWriting(file);
  ASSERT_NE(held, nullptr);
  writer.Write(let_error, u"late");
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  held.reset();
  WaitUntilWritten(writer);
  EXPECT_EQ(ReadLog(file), "2024-01-08 06:45:56:123 - kept\r\n2024-01-08 06:45:56:123 - ERROR - late\r\n");
}

}  // namespace
