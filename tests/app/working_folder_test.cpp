#include "app/working_folder.h"

#include <gtest/gtest.h>

#include "app/distribution.h"
#include "app/folder_lock.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using shelltest::readText;
using shelltest::ScratchDir;
using shelltest::writeText;

std::string fakeData;  // what the fake environment gives for XDG_DATA_HOME
std::string fakeHome;
std::optional<std::string> fakeEnvironment(const char* name) {
  const std::string& value = std::string(name) == "XDG_DATA_HOME" ? fakeData : fakeHome;
  if (value == "unset") return std::nullopt;
  return value;
}

TEST(WorkingFolder, FollowsHomeThenConfigHereThenTheDataHome) {
  ScratchDir scratch;
  const std::string here = scratch.folder() + "here";
  std::filesystem::create_directories(here);
  fakeData = scratch.folder() + "data";
  fakeHome = "unset";

  auto choice = chooseWorkingFolder(std::string("elsewhere"), FolderUse::kInteractive, here, fakeEnvironment);
  EXPECT_EQ(choice.folder, here + "/elsewhere/");
  EXPECT_TRUE(std::filesystem::is_directory(choice.folder));

  choice = chooseWorkingFolder(std::nullopt, FolderUse::kInteractive, here, fakeEnvironment);
  EXPECT_EQ(choice.folder, fakeData + "/vesko/");
  EXPECT_TRUE(std::filesystem::is_directory(choice.folder));

  // Headless mode stays where chat.msg is.
  EXPECT_EQ(chooseWorkingFolder(std::nullopt, FolderUse::kHeadless, here, fakeEnvironment).folder, here + "/");

  writeText(here + "/config.dat", "1\nvesko.mnd\n");
  EXPECT_EQ(chooseWorkingFolder(std::nullopt, FolderUse::kInteractive, here, fakeEnvironment).folder, here + "/");
}

TEST(WorkingFolder, ARelativeDataHomeIsIgnoredAndNoHomeAtAllIsReported) {
  ScratchDir scratch;
  fakeData = "relative/data";
  fakeHome = scratch.folder() + "user";  // no trailing slash, as HOME usually is
  EXPECT_EQ(chooseWorkingFolder(std::nullopt, FolderUse::kInteractive, scratch.folder(), fakeEnvironment).folder,
            fakeHome + "/.local/share/vesko/");
  fakeData = "unset";
  fakeHome = "unset";
  const auto choice = chooseWorkingFolder(std::nullopt, FolderUse::kInteractive, scratch.folder(), fakeEnvironment);
  EXPECT_FALSE(choice.ok());
  EXPECT_NE(choice.error.find("--home"), std::string::npos);
}

TEST(FolderLock, OneHolderAtATime) {
  ScratchDir scratch;
  FolderLock first(scratch.folder(), std::chrono::milliseconds(0));
  ASSERT_TRUE(first.held()) << first.error();
  const auto started = std::chrono::steady_clock::now();
  FolderLock second(scratch.folder(), std::chrono::milliseconds(200));
  EXPECT_FALSE(second.held());
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
  EXPECT_EQ(second.error(), "another Vesko is using " + scratch.folder() + "; close it first");
}

TEST(FolderLayout, WritesWhatIsMissingAndNeverOverwrites) {
  ScratchDir scratch;
  const EmbeddedFile files[] = {
      {"botinfo.x", "Vesko\nfriend\nnobody\nmale\n4\nhere\n"},
      {"nouns.x", "DOG\n"},
      {"../escape.x", "no"},
  };
  writeText(scratch / "nouns.x", "MINE\n");
  const LayoutResult first = layOutWorkingFolder(scratch.folder(), files);
  ASSERT_TRUE(first.status.isOk()) << first.status.message();
  EXPECT_EQ(first.written, (std::vector<std::string>{"botinfo.x", "vesko.mnd", "config.dat"}));
  EXPECT_EQ(readText(scratch / "nouns.x"), "MINE\n");
  EXPECT_FALSE(std::filesystem::exists(scratch.path().parent_path() / "escape.x"));
  EXPECT_EQ(readText(scratch / "config.dat"), "1\nvesko.mnd\n1\n3\n");
  const std::string mind = readText(scratch / "vesko.mnd");
  EXPECT_NE(mind.find("[{[nouns.mbk]}]\nMINE\n"), std::string::npos);

  writeText(scratch / "config.dat", "0\n/x.mnd\n2\n2\n");
  std::filesystem::remove(scratch / "botinfo.x");
  const LayoutResult second = layOutWorkingFolder(scratch.folder(), files);
  EXPECT_EQ(second.written, std::vector<std::string>{"botinfo.x"});
  EXPECT_EQ(readText(scratch / "vesko.mnd"), mind);
  EXPECT_EQ(readText(scratch / "config.dat"), "0\n/x.mnd\n2\n2\n");
}

}  // namespace
}  // namespace vesko::app
