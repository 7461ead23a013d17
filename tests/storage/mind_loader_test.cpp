// Loading minds of every generation, and damaged ones (unsafe member names,
// numbers that are not numbers, cut short): each loads, or is refused with a
// message that names a bank and a line, leaving the mind file, the working
// folder and the Brain as they were. Bits flipped and garbled runs are left to
// the mind-loading fuzz target.
#include <gtest/gtest.h>

#include "test_folder.h"

namespace vesko {
namespace {

// Loads `bytes` as "m.mnd" in `f`, checking what must hold whether or not it loads.
std::unique_ptr<Brain> load(const TestFolder& f, const std::string& bytes, LoadResult& result, const std::string& what) {
  f.write("m.mnd", bytes);
  auto brain = newBrain(f);
  result = brain->loadMind(f.path("m.mnd"));
  EXPECT_EQ(f.read("m.mnd"), bytes) << what;  // loading never rewrites the mind file
  if (result.loaded()) return brain;
  const std::string& message = result.status.message();
  const bool named = message.find("bank \"") != std::string::npos && message.find(", line ") != std::string::npos;
  EXPECT_TRUE(result.status.isOk() || named) << what << ": " << message;
  EXPECT_TRUE(f.files(".mbk").empty() && f.files(".mb2").empty()) << what;
  EXPECT_TRUE(brain->nouns().empty() && brain->names().empty() && brain->badAnswers().empty() &&
              brain->botInfo().name.empty() && !brain->mindInUse()) << what;
  EXPECT_EQ(brain->bankPath(Bank::kNames), f.path("names.mbk")) << what;
  EXPECT_FALSE(brain->saveMind().isOk()) << what;
  return brain;
}

std::string mindWithVersion(const std::string& generation) {
  return mindText({{"version.mbk", "4.1\n" + generation + "\n"}, {"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                   {"nouns.mbk", "dog\n  cat\n\n"}, {"names.mbk", "BOB\n"}, {"bad.mbk", "Go Away\n"}, {"emoticon.mbk", "3\n:)\n:(\n"}});
}

// Each generation's verdict, and the banks it reads: a first-generation mind
// takes some from the defaults (".x") and converts its memory to new banks
// (".mb2"; what they hold is the saving tests' part).
TEST(LoadMind, GivesEachGenerationItsVerdictAndBanks) {
  for (const auto& [generation, code] : {std::pair{"300", LoadResult::kCurrent}, {"350", LoadResult::kNewerCompatible},
                                         {"400", LoadResult::kTooNew}, {"100", LoadResult::kOlder}}) {
    TestFolder f;
    f.write("names.x", "ALICE\n");
    f.write("bad.x", "banned\n[{[not a line\n");
    f.write("emoticon.x", "5\n;)\n");
    LoadResult result;
    auto brain = load(f, mindWithVersion(generation), result, generation);
    ASSERT_TRUE(result.status.isOk()) << result.status.message();
    EXPECT_EQ(result.code, code) << generation;
    const bool older = code == LoadResult::kOlder;
    EXPECT_EQ(brain->bankPath(Bank::kNames) + brain->bankPath(Bank::kGroups) + brain->bankPath(Bank::kIdq),
              older ? f.path("names.x") + f.path("groups.mb2") + f.path("idq.x")
                    : f.path("names.mbk") + f.path("groups.mbk") + f.path("idq.mbk")) << generation;
    if (code == LoadResult::kTooNew) continue;
    EXPECT_TRUE(result.loaded() && brain->mindInUse() && brain->nouns().has("DOG") && brain->nouns().has("CAT"));
    const BotInfo& b = brain->botInfo();  // the bank's order is not the fields' order
    EXPECT_EQ(b.name + b.relationshipType + b.relationshipName + b.gender + b.age + b.location, "VeskofriendAnnamale30Sofia");
    EXPECT_TRUE(brain->names().has(older ? "ALICE" : "BOB") && brain->emoticonFrequency() == (older ? 5 : 3)) << generation;
    ASSERT_EQ(brain->badAnswers().count(), 1) << generation;  // a header-like default line never enters
    EXPECT_EQ(brain->badAnswers().head(), older ? "banned" : "Go Away") << generation;
  }
}

TEST(LoadMind, ADamagedMindIsRefusedNamingBankAndLine) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"\n  hello\nworld\n", "\"m.mnd\", line 2"},  // no member header
      {mindText({{"version.mbk", "4.1\n3OO\n"}}), "\"version.mbk\", line 2"},
      {mindText({{"version.mbk", "4.1\n300\n"}, {"emoticon.mbk", "five\n:)\n"}}), "\"emoticon.mbk\", line 1"},
      {mindText({{"version.mbk", "4.1\n100\n"}}), "\"emoticon.x\", line 1"}};  // an older mind reads the defaults
  for (const char* unsafe : {"../evil.mbk", "sub/x.mbk", "x.txt"})
    cases.emplace_back(mindText({{"good.mbk", "line\n"}, {unsafe, "line\n"}}), "\"m.mnd\", line 3");
  for (const auto& [profiles, line] : std::vector<std::pair<std::string, std::string>>{
           {"x\n", "1"}, {"1\nID=abc\nQ0=BOB\n", "2"}, {"1\nID=0\nQ0=BOB\nDATE=fifth\n", "4"}})
    cases.emplace_back(mindText({{"profiles.mbk", profiles}}), "\"profiles.mbk\", line " + line);
  const std::string good = mindWithVersion("300");
  for (std::size_t cut = 1; cut < good.size(); cut += 3) cases.emplace_back(good.substr(0, cut), "");  // loads or is refused
  for (const auto& [mind, where] : cases) {
    TestFolder f;
    f.write("emoticon.x", "x5\n;)\n");
    LoadResult result;
    load(f, mind, result, where);
    EXPECT_NE(result.status.message().find(where), std::string::npos) << result.status.message();
  }
}

// A mind cut short at every tenth of its length (power cut, full disk) is
// refused unless the cut fell on a line end, where no reader can tell; an
// empty mind is no mind. The file stays as it was either way.
TEST(LoadMind, AMindCutShortIsRefusedNotLoadedInPart) {
  const std::string whole = mindWithVersion("300");
  for (int tenth = 0; tenth < 10; ++tenth) {
    const std::size_t cut = whole.size() * static_cast<std::size_t>(tenth) / 10;
    const std::string mind = whole.substr(0, cut);
    TestFolder f;
    LoadResult result;
    load(f, mind, result, "cut at " + std::to_string(cut));
    const bool atLineEnd = cut > 0 && mind.back() == '\n';
    EXPECT_EQ(result.loaded(), atLineEnd) << cut << ": " << result.status.message();
    // A cut inside a member header is refused for the name it leaves.
    const std::string& why = result.status.message();
    EXPECT_TRUE(atLineEnd || why.find(cut == 0 ? "is empty" : "cut short") != std::string::npos ||
                why.find("member name") != std::string::npos) << why;
  }
}

// Letting a mind go on purpose (Initialise) leaves no banks that the next
// load would take for an unfinished save and keep aside.
TEST(LoadMind, AMindLetGoOnPurposeLeavesNothingToRescue) {
  TestFolder f;
  f.write("m.mnd", mindWithVersion("300"));
  auto brain = newBrain(f);
  ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  brain->nouns().add("ZEBRA");
  ASSERT_TRUE(brain->checkpoint().isOk());
  f.write("m.mnd", mindWithVersion("300"));  // what Initialise makes of it
  brain->discardMind();
  EXPECT_EQ(f.files(".mbk"), std::vector<std::string>());
  const LoadResult again = newBrain(f)->loadMind(f.path("m.mnd"));
  EXPECT_TRUE(again.loaded() && again.rescuedBanks.empty()) << again.rescuedBanks.std();
}

}  // namespace
}  // namespace vesko
