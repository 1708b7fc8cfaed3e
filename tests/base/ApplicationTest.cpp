// The application object: module log, batch messages, timers, single-instance mode, icon record.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <thread>

#include "base/uVX_Base.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/UserInterface.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::u16string kSeparator(1, static_cast<char16_t>(fs::path::preferred_separator));

fs::path ModuleLogIn(const fs::path& aFolder) { return aFolder / fs::path(GetApplicationName() + u".log"); }

TEST(ApplicationTest, CreatesItsLogFolderBesideTheHostProgram) {
  tVX_Application app;
  EXPECT_EQ(app.GetLogDirectory(), GetApplicationFolder() + u"LogFiles");
  EXPECT_TRUE(fs::is_directory(fs::path(app.GetLogDirectory())));
  EXPECT_EQ(fs::path(app.GetLogFileName()), ModuleLogIn(fs::path(app.GetLogDirectory())));
  EXPECT_EQ(app.Info().Version(), u"1.10");
  EXPECT_TRUE(app.TerminateOnExceptionIfBatch());
  EXPECT_FALSE(app.IsBatch());  // the test runner passes no /BATCH
  EXPECT_EQ(app.GetTimerCount(), 0);
}

TEST(ApplicationTest, TheModuleWideObjectLivesBetweenCreateAndFree) {
  ASSERT_EQ(TheApplication, nullptr);
  CreateTheApplication();
  ASSERT_NE(TheApplication, nullptr);
  tVX_Application* first = TheApplication;
  CreateTheApplication();  // a second call keeps the object
  EXPECT_EQ(TheApplication, first);
  FreeTheApplication();
  EXPECT_EQ(TheApplication, nullptr);
  FreeTheApplication();
}

TEST(ApplicationTest, RelativeLogDirectoryIsTakenBeneathLogFiles) {
  fs::path expected = fs::path(GetApplicationFolder() + u"LogFiles" + kSeparator + u"Payment");
  fs::path file = ModuleLogIn(expected);
  std::error_code ec;
  fs::remove(file, ec);
  {
    tVX_Application app;
    app.ChangeLogDirectory(u"Payment");
    EXPECT_EQ(fs::path(app.GetLogDirectory()), expected);
    EXPECT_TRUE(fs::is_directory(expected));
    app.Log(tVX_MessageType::let_info, u"moved to Payment");
  }
  std::string content = vxtest::ReadFileBytes(file);
  EXPECT_NE(content.find(" - moved to Payment\r\n"), std::string::npos) << content;
  fs::remove(file, ec);
}

TEST(ApplicationTest, AbsoluteLogDirectoryAndFileNameAreUsedAsGiven) {
  vxtest::TempDir temp;
  fs::path folder = temp.Path() / "logs";
  {
    tVX_Application app;
    app.ChangeLogDirectory(folder.u16string());
    EXPECT_EQ(fs::path(app.GetLogDirectory()), folder);
    app.Log(tVX_MessageType::let_info, u"first");
    app.ChangeLogFilename(u"renamed.txt");
    EXPECT_EQ(fs::path(app.GetLogFileName()), folder / "renamed.txt");
    app.Log(tVX_MessageType::let_error, u"second");
    EXPECT_EQ(app.LastError(), u"second");
  }
  EXPECT_NE(vxtest::ReadFileBytes(ModuleLogIn(folder)).find(" - first\r\n"), std::string::npos);
  EXPECT_NE(vxtest::ReadFileBytes(folder / "renamed.txt").find(" - ERROR - second\r\n"), std::string::npos);
}

TEST(ApplicationTest, BatchModeLogsEveryMessageAsAnErrorAndRestoresTheWaitWindow) {
  vxtest::TempDir temp;
  {
    tVX_Application app;
    app.ChangeLogDirectory(temp.Path().u16string());
    app.ForceIsBatch();
    EXPECT_TRUE(app.IsBatch());
    app.Wait().Start(u"Printing");
    app.ShowMessage(tVX_MessageType::let_info, u"Paper low");
    EXPECT_EQ(app.LastError(), u"Paper low");
    EXPECT_TRUE(app.Wait().Started());  // shown again afterwards, without the extra text
    EXPECT_EQ(app.Wait().LabelText(), u"Attendere prego ...");
    app.Wait().Stop();
    EXPECT_FALSE(app.Wait().Started());
    app.OnApplicationException(u"Unexpected answer");
    app.OnApplicationException(u"");  // no message: nothing shown
  }
  std::string content = vxtest::ReadFileBytes(ModuleLogIn(temp.Path()));
  EXPECT_NE(content.find(" - ERROR - Paper low\r\n"), std::string::npos) << content;
  EXPECT_NE(content.find(" - ERROR - Unexpected answer\r\n"), std::string::npos) << content;
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 2) << content;
}

TEST(ApplicationTest, ShowApplicationMessageGoesThroughTheModuleWideObject) {
  vxtest::TempDir temp;
  CreateTheApplication();
  TheApplication->ChangeLogDirectory(temp.Path().u16string());
  TheApplication->ForceIsBatch();
  ShowApplicationMessage(tVX_MessageType::let_error, u"Terminal not reachable");
  EXPECT_EQ(TheApplication->LastError(), u"Terminal not reachable");
  FreeTheApplication();
  EXPECT_NE(vxtest::ReadFileBytes(ModuleLogIn(temp.Path())).find(" - ERROR - Terminal not reachable\r\n"),
            std::string::npos);
}

// The test clock: the time the next port::Now() answers.
port::LocalTime gClock;
port::LocalTime TestClock() { return gClock; }

struct ClockOverride {
  ClockOverride() { port::OverrideNowForTesting(&TestClock); }
  ~ClockOverride() { port::OverrideNowForTesting(nullptr); }
};

TEST(ApplicationTest, TimersNestAndCompareTheTimeOfDayAlone) {
  ClockOverride clock;
  tVX_Application app;
  gClock = {2024, 1, 8, 23, 59, 59, 0};
  app.StartTimer();
  gClock = {2024, 1, 9, 0, 0, 1, 0};
  EXPECT_EQ(app.GetTimerValue(), -86398000);
  EXPECT_EQ(app.StopTimer(), -86398000);
  EXPECT_EQ(app.GetTimerCount(), 0);

  gClock = {2024, 1, 8, 10, 0, 0, 0};
  app.StartTimer();
  gClock = {2024, 1, 8, 10, 0, 1, 500};
  app.StartTimer();
  EXPECT_EQ(app.GetTimerCount(), 2);
  gClock = {2024, 1, 8, 10, 0, 2, 750};
  EXPECT_EQ(app.StopTimer(), 1250);  // the latest start
  EXPECT_EQ(app.StopTimer(), 2750);
  EXPECT_THROW(app.StopTimer(), tVX_Error);
  EXPECT_THROW(app.GetTimerValue(), tVX_Error);
}

TEST(ApplicationTest, SingleInstanceModeHoldsTheLockNamedAfterTheProgram) {
  vxtest::TempDir temp;
  // Tries the lock from another thread (a Windows mutex is re-entrant for its own thread).
  auto tryFromAnotherThread = [] {
    return std::async(std::launch::async, [] { return port::TryAcquireNamedLock(GetApplicationName()) != nullptr; })
        .get();
  };
  {
    tVX_Application app;
    app.ChangeLogDirectory(temp.Path().u16string());
    app.ForceIsBatch();
    app.SetSingleInstance(true);
    EXPECT_TRUE(app.SingleInstance());
    EXPECT_FALSE(tryFromAnotherThread());
    app.SetSingleInstance(false);
    EXPECT_FALSE(app.SingleInstance());
    EXPECT_TRUE(tryFromAnotherThread());

    // Another holder: the mode is refused and the refusal logged.
    std::promise<void> taken, done;
    std::thread holder([&] {
      auto lock = port::TryAcquireNamedLock(GetApplicationName());
      taken.set_value();
      done.get_future().wait();
    });
    taken.get_future().wait();
    app.SetSingleInstance(true);
    EXPECT_FALSE(app.SingleInstance());
    done.set_value();
    holder.join();
    EXPECT_EQ(app.LastError(), u"Impossible to enter single instance mode.");

    app.SetSingleInstance(true);
    EXPECT_TRUE(app.SingleInstance());
  }
  EXPECT_TRUE(tryFromAnotherThread());  // released with the object
}

TEST(ApplicationTest, NotifyIconRecordCarriesTheCallbackMessageAndIconId) {
  tVX_Application app;
  app.CreateNotifyIcon(0);
  EXPECT_TRUE(app.NotifyIcon());
  EXPECT_EQ(app.IconData().callbackMessage, 1124u);
  EXPECT_EQ(app.IconData().id, 1u);
  EXPECT_TRUE(app.IconData().hasMessage);
  EXPECT_TRUE(app.IconData().hasIcon);
  app.DeleteNotifyIcon();
  EXPECT_FALSE(app.NotifyIcon());
  EXPECT_FALSE(app.IconData().hasMessage);
  EXPECT_FALSE(app.IconData().hasIcon);
}

TEST(WaitTest, LabelFollowsTheLanguageOfTheApplication) {
  tVX_Application app;
  tVX_Wait& wait = app.Wait();
  EXPECT_EQ(wait.LabelText(), u"Attendere prego ...");
  app.SetLanguage(u"EN");
  wait.SetText(u"Printing the report");
  EXPECT_EQ(wait.LabelText(), u"Wait please ...\r\nPrinting the report");
  app.SetLanguage(u"de");
  wait.SetText(u"");
  EXPECT_EQ(wait.LabelText(), u"Attendere prego ...");

  tVX_Wait orphan(nullptr);
  orphan.SetText(u"x");
  EXPECT_EQ(orphan.LabelText(), u"x");
  EXPECT_FALSE(orphan.Started());
}

}  // namespace
