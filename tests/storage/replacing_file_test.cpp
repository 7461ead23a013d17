// Files written whole: a link planted where a bank, a mind or its temporary
// file goes is replaced and never written through; a mind given through a
// link is the file the link leads to; only a regular file can be a mind.
#include "storage/replacing_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "storage/bank_files.h"
#include "test_folder.h"

namespace vesko {
namespace {

namespace fs = std::filesystem;

const std::string kMind = mindText({{"version.mbk", "4.1\n300\n"}, {"nouns.mbk", "DOG\n"}, {"morvash.mbk", "0\n0\n"}});

TEST(ReplacingFile, ReplacesALinkAtItsTargetAndLeavesNothingWhenNotCommitted) {
  TestFolder f;
  f.write("victim", "precious\n");
  fs::create_symlink(f.path("victim").std(), f.path("bank.mbk").std());
  {
    ReplacingFile file(f.path("bank.mbk"));
    ASSERT_TRUE(file.isOpen()) << file.reason();
    file.out() << "new\n";
    ASSERT_TRUE(file.commit(ReplacingFile::Durability::kSynced).isOk());
  }
  EXPECT_EQ(f.read("victim"), "precious\n");
  EXPECT_FALSE(fs::is_symlink(f.path("bank.mbk").std()));
  EXPECT_EQ(f.read("bank.mbk"), "new\n");
  {
    ReplacingFile abandoned(f.path("other.mbk"));
    abandoned.out() << "half";
  }
  bool taken = false;
  ReplacingFile once(f.path("bank.mbk"));
  once.out() << "never\n";
  EXPECT_FALSE(once.commitIfAbsent(taken).isOk());
  EXPECT_TRUE(taken);
  EXPECT_EQ(f.files(".tmp"), std::vector<std::string>());
  EXPECT_FALSE(f.has("other.mbk"));
  EXPECT_EQ(f.read("bank.mbk"), "new\n");
}

// Links planted under the names of the banks a load unpacks and a save
// writes, and under the mind's old fixed temporary name: nothing outside the
// folder changes.
TEST(ReplacingFile, BanksAndTheMindNeverWriteThroughAPlantedLink) {
  TestFolder f;
  TestFolder elsewhere;
  f.write("m.mnd", kMind);
  const auto plant = [&](const char* name) {
    elsewhere.write(name, "precious\n");
    std::filesystem::remove(f.path(name).std());
    fs::create_symlink(elsewhere.path(name).std(), f.path(name).std());
  };
  // Before the load where unpacking writes, after it where saving writes.
  for (const char* name : {"nouns.mbk", "morvash.mbk", "m.mnd.tmp"}) plant(name);
  auto brain = newBrain(f);
  const LoadResult loaded = brain->loadMind(f.path("m.mnd"));
  ASSERT_TRUE(loaded.loaded()) << loaded.status.message();
  for (const char* name : {"profiles.mbk", "groups.mbk", "nouns.mbk"}) plant(name);
  brain->nouns().add("CAT");
  ASSERT_TRUE(brain->checkpoint().isOk());
  plant("morvash.mbk");
  ASSERT_TRUE(brain->saveMind().isOk());
  for (const char* name : {"nouns.mbk", "morvash.mbk", "m.mnd.tmp", "profiles.mbk", "groups.mbk"})
    EXPECT_EQ(elsewhere.read(name), "precious\n") << name;
  EXPECT_NE(f.read("m.mnd").find("[{[nouns.mbk]}]\nCAT\nDOG\n"), std::string::npos);
}

// A save killed half way leaves its new files; the next load clears those
// of the banks and of its own mind, and nothing else.
TEST(ReplacingFile, TheNextLoadClearsWhatAKilledSaveLeft) {
  TestFolder f;
  f.write("m.mnd", kMind);
  for (const char* name : {"nouns.mbk.4242-7.tmp", "m.mnd.4242-8.tmp", "other.mnd.4242-9.tmp", "notes.4242-1.tmp"})
    f.write(name, "half");
  ASSERT_TRUE(newBrain(f)->loadMind(f.path("m.mnd")).loaded());
  EXPECT_EQ(f.files(".tmp"), (std::vector<std::string>{"notes.4242-1.tmp", "other.mnd.4242-9.tmp"}));
}

TEST(ReplacingFile, AMindGivenThroughALinkIsTheFileItLeadsTo) {
  TestFolder f;
  TestFolder minds;
  minds.write("real.mnd", kMind);
  fs::create_symlink(minds.path("real.mnd").std(), f.path("link.mnd").std());
  auto brain = newBrain(f);
  ASSERT_TRUE(brain->loadMind(f.path("link.mnd")).loaded());
  EXPECT_EQ(brain->mindFile(), minds.path("real.mnd"));
  brain->nouns().add("CAT");
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_TRUE(fs::is_symlink(f.path("link.mnd").std()));
  EXPECT_NE(minds.read("real.mnd").find("CAT"), std::string::npos);
  // A link that leads nowhere is replaced itself; nothing appears where it points.
  fs::create_symlink(minds.path("gone/x.mnd").std(), f.path("dangling.mnd").std());
  Str resolved;
  ASSERT_TRUE(resolveMindFile(f.path("dangling.mnd"), resolved).isOk());
  EXPECT_EQ(resolved, f.path("dangling.mnd"));
}

TEST(ReplacingFile, OnlyARegularFileCanBeAMind) {
  TestFolder f;
  ASSERT_EQ(::mkfifo(f.path("fifo.mnd").std().c_str(), 0600), 0);
  fs::create_directory(f.path("folder.mnd").std());
  fs::create_symlink("/dev/null", f.path("null.mnd").std());
  for (const char* given : {"/dev/null", "/dev/zero", "fifo.mnd", "folder.mnd", "null.mnd"}) {
    const Str path = given[0] == '/' ? Str(given) : f.path(given);
    auto brain = newBrain(f);
    const LoadResult result = brain->loadMind(path);
    EXPECT_FALSE(result.loaded()) << given;
    EXPECT_NE(result.status.message().find("only a file of its own can be a mind"), std::string::npos)
        << result.status.message();
    EXPECT_FALSE(brain->saveMind().isOk());
    StrList written;
    EXPECT_FALSE(unpackBanks(path, f.path(), &written).isOk()) << given;
    EXPECT_FALSE(packBanks(path, f.path(), "*.mbk", false).isOk()) << given;
  }
  struct stat state {};
  ASSERT_EQ(::stat("/dev/null", &state), 0);
  EXPECT_TRUE(S_ISCHR(state.st_mode));
}

// The member name no file system can hold is named as such, not as a full disk.
TEST(ReplacingFile, AnOverlongMemberNameIsRefusedForWhatItIs) {
  TestFolder f;
  f.write("m.mnd", mindText({{std::string(296, 'n') + ".mbk", "x\n"}}));
  const Status status = unpackBanks(f.path("m.mnd"), f.path());
  EXPECT_NE(status.message().find("longer than any file name can be"), std::string::npos) << status.message();
  EXPECT_EQ(status.message().find("free space"), std::string::npos);
}

}  // namespace
}  // namespace vesko
