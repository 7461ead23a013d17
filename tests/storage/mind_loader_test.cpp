// Loading minds of every generation, and damaged ones (cut short, bits
// flipped, runs garbled, numbers that are not numbers): each loads, or is
// refused with a message that names a bank and a line, leaving the mind file,
// the working folder and the Brain as they were.
#include <gtest/gtest.h>

#include <random>

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
  EXPECT_TRUE(brain->nouns().empty() && brain->names().empty() && brain->badAnswers().empty()) << what;
  EXPECT_TRUE(brain->botInfo().name.empty() && !brain->mindInUse()) << what;
  EXPECT_EQ(brain->bankPath(Bank::kNames), f.path("names.mbk")) << what;
  EXPECT_FALSE(brain->saveMind().isOk()) << what;
  return brain;
}

std::string mindWithVersion(const char* version) {
  return (version != nullptr ? mindText({{"version.mbk", version}}) : std::string()) +
         mindText({{"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"}, {"nouns.mbk", "dog\n  cat\n\n"},
                   {"names.mbk", "BOB\n"}, {"bad.mbk", "Go Away\n"}, {"emoticon.mbk", "3\n:)\n:(\n"}});
}

// Each generation's verdict, and the banks it reads: an older mind takes some
// from the defaults (".x") and converts its memory to new banks (".mb2").
TEST(LoadMind, GivesEachGenerationItsVerdictAndBanks) {
  const struct {
    const char* version;  // nullptr: no version bank
    std::int32_t code;
    const char *names, *groups, *idq;  // the slots' file names after loading
  } generations[] = {{"4.1\n300\n", 0, "names.mbk", "groups.mbk", "idq.mbk"}, {"4.1\n350\n", 2, "names.mbk", "groups.mbk", "idq.mbk"},
                     {"4.1\n400\n", 1, "names.mbk", "groups.mbk", "idq.mbk"}, {"4.1\n100\n", 4, "names.x", "groups.mb2", "idq.x"},
                     {"4.1\n200\n", 4, "names.mbk", "groups.mb2", "idq.x"},  {nullptr, 0, "names.mbk", "groups.mbk", "idq.mbk"},
                     {"4.1\n", 0, "names.mbk", "groups.mbk", "idq.mbk"}};
  for (const auto& g : generations) {
    const std::string what = g.version != nullptr ? g.version : "no version";
    TestFolder f;
    f.write("names.x", "ALICE\n");
    f.write("bad.x", "banned\n[{[not a line\n");
    f.write("emoticon.x", "5\n;)\n");
    LoadResult result;
    auto brain = load(f, mindWithVersion(g.version), result, what);
    ASSERT_TRUE(result.status.isOk()) << result.status.message();
    EXPECT_EQ(result.code, g.code) << what;
    EXPECT_EQ(brain->bankPath(Bank::kNames) + brain->bankPath(Bank::kGroups) + brain->bankPath(Bank::kIdq),
              f.path(g.names) + f.path(g.groups) + f.path(g.idq)) << what;
    EXPECT_EQ(f.files(".mb2").size(), Str(g.groups).endsWith(".mb2") ? 4u : 0u) << what;
    if (g.code == LoadResult::kTooNew) continue;
    EXPECT_TRUE(result.loaded() && brain->mindInUse() && brain->nouns().has("DOG") && brain->nouns().has("CAT")) << what;
    const BotInfo& b = brain->botInfo();  // the bank's order is not the fields' order
    EXPECT_EQ(b.name + b.relationshipType + b.relationshipName + b.gender + b.age + b.location, "VeskofriendAnnamale30Sofia");
    const bool defaults = Str(g.names).endsWith(".x");
    EXPECT_TRUE(brain->names().has(defaults ? "ALICE" : "BOB")) << what;
    EXPECT_EQ(brain->emoticonFrequency(), defaults ? 5 : 3) << what;
    ASSERT_EQ(brain->badAnswers().count(), 1) << what;  // a header-like default line never enters
    EXPECT_EQ(brain->badAnswers().head(), defaults ? "banned" : "Go Away") << what;
  }
}

TEST(LoadMind, ADamagedMindIsRefusedNamingBankAndLine) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"\n  hello\nworld\n", "\"m.mnd\", line 2"},  // no member header
      {mindText({{"version.mbk", "4.1\n3OO\n"}}), "\"version.mbk\", line 2"},
      {mindText({{"version.mbk", "4.1\n300\n"}, {"emoticon.mbk", "five\n:)\n"}}), "\"emoticon.mbk\", line 1"},
      {mindText({{"version.mbk", "4.1\n100\n"}}), "\"emoticon.x\", line 1"}};  // an older mind reads the defaults
  for (const char* unsafe : {"../evil.mbk", "sub/x.mbk", "x.txt", ".mbk", "a..mbk", "ab"})
    cases.emplace_back(mindText({{"good.mbk", "line\n"}, {unsafe, "line\n"}}), "\"m.mnd\", line 3");
  for (const auto& [profiles, line] : std::vector<std::pair<std::string, std::string>>{
           {"x\n", "1"}, {"1\nID=abc\nQ0=BOB\n", "2"}, {"1\nQ0=BOB\n", "2"}, {"1\nID=0\nQ0=BOB\nDATE=fifth\n", "4"}})
    cases.emplace_back(mindText({{"profiles.mbk", profiles}}), "\"profiles.mbk\", line " + line);
  for (const auto& [mind, where] : cases) {
    TestFolder f;
    f.write("emoticon.x", "x5\n;)\n");
    LoadResult result;
    load(f, mind, result, where);
    EXPECT_NE(result.status.message().find(where), std::string::npos) << result.status.message();
  }
}

TEST(LoadMind, ACutFlippedOrGarbledMindLoadsOrIsRefusedCleanly) {
  std::string good;  // a mind as the system itself writes it: hand-made banks, taught, saved
  {
    TestFolder f;
    LoadResult result;
    auto brain = load(f, mindWithVersion("4.1\n300\n"), result, "good");
    ASSERT_TRUE(result.loaded());
    brain->knowledge().learn(WordList("THE DOG LIKES THE BIG HOUSE"));
    brain->grammar().learn(WordList("THE DOG IS BIG"));
    ASSERT_TRUE(brain->saveMind().isOk());
    good = f.read("m.mnd");
  }
  std::mt19937 random(42);
  for (std::size_t round = 0; round < 200 + good.size() / 5; ++round) {
    std::string bytes = good;
    const std::size_t at = random() % bytes.size();
    if (round >= 200) {  // cut short
      bytes.resize((round - 200) * 5);
    } else if (round % 5 < 3) {  // one bit flipped
      bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ (1u << (random() % 8)));
    } else {  // a run of up to 16 random bytes
      for (std::size_t i = at, end = std::min<std::size_t>(at + 1 + random() % 16, bytes.size()); i < end; ++i)
        bytes[i] = static_cast<char>(random() % 256);
    }
    TestFolder f;
    LoadResult result;
    auto brain = load(f, bytes, result, "round " + std::to_string(round) + ", byte " + std::to_string(at));
    if (result.loaded()) {
      EXPECT_TRUE(brain->saveMind().isOk()) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace vesko
