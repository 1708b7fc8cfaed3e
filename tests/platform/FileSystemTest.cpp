#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Error.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

bool OnWindows() { return port::PathSeparator() == u'\\'; }

std::u16string Sep() { return std::u16string(1, port::PathSeparator()); }

TEST(PathTextTest, JoinPutsOneSeparatorAndKeepsRootedNames) {
  std::u16string s = Sep();
  EXPECT_EQ(port::JoinPath(u"logs", u"a.log"), u"logs" + s + u"a.log");
  EXPECT_EQ(port::JoinPath(u"logs" + s, u"a.log"), u"logs" + s + u"a.log");
  EXPECT_EQ(port::JoinPath(u"", u"a.log"), u"a.log");
  EXPECT_EQ(port::JoinPath(u"logs", s + u"abs" + s + u"a.log"), s + u"abs" + s + u"a.log");
  if (OnWindows()) {
    EXPECT_EQ(port::JoinPath(u"logs", u"C:\\x\\a.log"), u"C:\\x\\a.log");
    EXPECT_EQ(port::JoinPath(u"logs/", u"a.log"), u"logs/a.log");
    EXPECT_TRUE(port::IsPathRooted(u"c:x"));
    EXPECT_TRUE(port::IsPathRooted(u"/x"));
  } else {
    EXPECT_EQ(port::JoinPath(u"logs\\", u"a.log"), u"logs\\/a.log");
    EXPECT_FALSE(port::IsPathRooted(u"C:\\x"));
  }
  EXPECT_FALSE(port::IsPathRooted(u"x" + s + u"y"));
  EXPECT_FALSE(port::IsPathRooted(u""));
}

TEST(PathTextTest, LastComponentAndExtension) {
  std::u16string s = Sep();
  EXPECT_EQ(port::LastPathComponent(u"a" + s + u"b" + s + u"c.log"), u"c.log");
  EXPECT_EQ(port::LastPathComponent(u"c.log"), u"c.log");
  EXPECT_EQ(port::LastPathComponent(u"a" + s), u"");
  EXPECT_EQ(port::RemoveExtension(u"d" + s + u"f_20240108.log"), u"d" + s + u"f_20240108");
  EXPECT_EQ(port::RemoveExtension(u"d" + s + u"f.tar.gz"), u"d" + s + u"f.tar");
  EXPECT_EQ(port::RemoveExtension(u"d.x" + s + u"file"), u"d.x" + s + u"file");
  EXPECT_EQ(port::RemoveExtension(u"file"), u"file");
  if (OnWindows()) {
    EXPECT_EQ(port::LastPathComponent(u"a/b\\c"), u"c");
    EXPECT_EQ(port::LastPathComponent(u"C:c.log"), u"c.log");
    EXPECT_EQ(port::RemoveExtension(u"d.x/file"), u"d.x/file");
  }
}

TEST(FileSystemTest, SizesExistenceAndExactAppends) {
  vxtest::TempDir dir;
  std::u16string file = port::JoinPath(dir.Text(), u"f.log");
  EXPECT_FALSE(port::FileExists(file));
  EXPECT_EQ(port::FileSize(file), -1);
  EXPECT_FALSE(port::FileExists(dir.Text()));
  EXPECT_EQ(port::FileSize(dir.Text()), -1);

  ASSERT_TRUE(port::CreateEmptyFile(file));
  EXPECT_TRUE(port::FileExists(file));
  EXPECT_EQ(port::FileSize(file), 0);

  // Bytes go in unchanged: no line-end translation, embedded NULs kept, appended at the end.
  std::string first("a\r\nb\n", 5), second("\0x\xC3\xA9", 4);
  ASSERT_TRUE(port::AppendToFile(file, first));
  ASSERT_TRUE(port::AppendToFile(file, second));
  EXPECT_EQ(vxtest::ReadFileBytes(fs::path(file)), first + second);
  EXPECT_EQ(port::FileSize(file), 9);

  // Creating an existing file keeps its contents.
  EXPECT_TRUE(port::CreateEmptyFile(file));
  EXPECT_EQ(port::FileSize(file), 9);
  // A missing file is created by an append.
  std::u16string other = port::JoinPath(dir.Text(), u"g.log");
  ASSERT_TRUE(port::AppendToFile(other, "z"));
  EXPECT_EQ(vxtest::ReadFileBytes(fs::path(other)), "z");
}

TEST(FileSystemTest, RenameNeverReplacesAnExistingFile) {
  vxtest::TempDir dir;
  std::u16string a = port::JoinPath(dir.Text(), u"a.log"), b = port::JoinPath(dir.Text(), u"b.log");
  ASSERT_TRUE(port::AppendToFile(a, "A"));
  ASSERT_TRUE(port::AppendToFile(b, "B"));
  EXPECT_FALSE(port::RenameFile(a, b));
  EXPECT_EQ(vxtest::ReadFileBytes(fs::path(a)), "A");
  EXPECT_EQ(vxtest::ReadFileBytes(fs::path(b)), "B");

  std::u16string c = port::JoinPath(dir.Text(), u"c.log");
  EXPECT_TRUE(port::RenameFile(a, c));
  EXPECT_FALSE(port::FileExists(a));
  EXPECT_EQ(vxtest::ReadFileBytes(fs::path(c)), "A");
  EXPECT_FALSE(port::RenameFile(a, port::JoinPath(dir.Text(), u"d.log")));  // gone
}

TEST(FileSystemTest, CreateFoldersMakesParentsAndRejectsOnlyInvalidNames) {
  vxtest::TempDir dir;
  std::u16string s = Sep();
  std::u16string deep = dir.Text() + u"Z\u00fcrich" + s + u"b" + s + u"c";
  port::CreateFolders(deep);
  EXPECT_TRUE(fs::is_directory(fs::path(deep)));
  port::CreateFolders(deep + s);  // exists already, trailing separator
  ASSERT_TRUE(port::AppendToFile(port::JoinPath(deep, u"\u00e9t\u00e9.log"), "x"));
  EXPECT_TRUE(fs::exists(fs::path(deep) / fs::path(u"\u00e9t\u00e9.log")));

  // A file in the way: not creatable, but not an invalid name either.
  std::u16string file = port::JoinPath(dir.Text(), u"plain");
  ASSERT_TRUE(port::CreateEmptyFile(file));
  EXPECT_NO_THROW(port::CreateFolders(file + s + u"sub"));
  EXPECT_FALSE(fs::is_directory(fs::path(file + s + u"sub")));

  std::u16string withNul = dir.Text() + u"a" + std::u16string(1, u'\0') + u"b";
  try {
    port::CreateFolders(withNul);
    FAIL() << "a name with a NUL was accepted";
  } catch (const tVX_Error& e) {
    EXPECT_FALSE(e.Message().empty());
  }
  if (OnWindows()) {
    for (const char16_t* bad : {u"a<b", u"a|b", u"a?b", u"a\"b"})
      EXPECT_THROW(port::CreateFolders(dir.Text() + bad + s + u"c"), tVX_Error) << fs::path(bad).string();
  }
}

TEST(FileSystemTest, AnotherWriterMakesAppendsFailButNotReads) {
  vxtest::TempDir dir;
  std::u16string file = port::JoinPath(dir.Text(), u"held.log");
  ASSERT_TRUE(port::AppendToFile(file, "before\r\n"));
  {
    std::unique_ptr<port::FileWriteLock> held = port::LockFileForWriting(file);
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(port::AppendToFile(file, "during\r\n"));
    EXPECT_EQ(port::LockFileForWriting(file), nullptr);  // one writer at a time
    EXPECT_EQ(vxtest::ReadFileBytes(fs::path(file)), "before\r\n");
    EXPECT_EQ(port::FileSize(file), 8);
  }
  EXPECT_TRUE(port::AppendToFile(file, "after\r\n"));
  EXPECT_EQ(vxtest::ReadFileBytes(fs::path(file)), "before\r\nafter\r\n");
}

}  // namespace
