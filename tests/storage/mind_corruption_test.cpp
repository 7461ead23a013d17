// Damaged copies of a packed mind (cut short, bits flipped, runs garbled)
// either load, or are refused with a message that names a bank and a line and
// leave the mind file and the working folder as they were. Nothing crashes.
#include <gtest/gtest.h>

#include <random>

#include "test_folder.h"

namespace vesko {
namespace {

// A mind as the system itself writes it: hand-made banks, taught, saved.
std::string packedMind() {
  TestFolder f;
  f.write("m.mnd", mindText({{"version.mbk", "4.1\n300\n"},
                             {"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                             {"nouns.mbk", "DOG\nDOGS\nHOUSE\n"},
                             {"bad.mbk", "I hate you\n"},
                             {"emoticon.mbk", "12\n:)\n;)\n"}}));
  auto brain = newBrain(f);
  EXPECT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  brain->knowledge().learn(WordList("THE DOG LIKES THE BIG HOUSE"));
  brain->grammar().learn(WordList("THE DOG IS BIG"));
  EXPECT_TRUE(brain->saveMind().isOk());
  return f.read("m.mnd");
}

void expectCleanOutcome(const std::string& bytes, const std::string& what) {
  TestFolder f;
  f.write("m.mnd", bytes);
  auto brain = newBrain(f);
  const LoadResult result = brain->loadMind(f.path("m.mnd"));
  if (result.loaded()) {
    EXPECT_TRUE(brain->saveMind().isOk()) << what;
    return;
  }
  const std::string& message = result.status.message();
  const bool named = message.find("bank \"") != std::string::npos && message.find(", line ") != std::string::npos;
  EXPECT_TRUE(result.status.isOk() || named) << what << ": " << message;
  EXPECT_EQ(f.read("m.mnd"), bytes) << what;
  EXPECT_TRUE(f.files(".mbk").empty() && f.files(".mb2").empty()) << what;
}

TEST(MindCorruption, ACutFlippedOrGarbledMindLoadsOrIsRefusedCleanly) {
  const std::string good = packedMind();
  {
    TestFolder f;
    f.write("m.mnd", good);
    ASSERT_TRUE(newBrain(f)->loadMind(f.path("m.mnd")).loaded());
  }
  for (std::size_t length = 0; length < good.size(); length += 5) expectCleanOutcome(good.substr(0, length), "cut at " + std::to_string(length));
  std::mt19937 random(42);
  for (int round = 0; round < 120; ++round) {
    std::string bytes = good;
    const std::size_t at = random() % bytes.size();
    bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ (1u << (random() % 8)));
    expectCleanOutcome(bytes, "flipped a bit of byte " + std::to_string(at));
  }
  for (int round = 0; round < 80; ++round) {
    std::string bytes = good;
    const std::size_t at = random() % bytes.size();
    const std::size_t end = std::min<std::size_t>(at + 1 + random() % 16, bytes.size());
    for (std::size_t i = at; i < end; ++i) bytes[i] = static_cast<char>(random() % 256);
    expectCleanOutcome(bytes, "garbled bytes " + std::to_string(at) + " to " + std::to_string(end));
  }
}

}  // namespace
}  // namespace vesko
