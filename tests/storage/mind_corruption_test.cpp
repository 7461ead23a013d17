// Damaged copies of a packed mind (cut short, bytes flipped, runs garbled)
// either load, or are refused with a message that names a bank and a line and
// leave the mind file and the working folder as they were. Nothing crashes.
#include <gtest/gtest.h>

#include <random>

#include "test_folder.h"

namespace vesko {
namespace {

// A mind as the system itself writes it: hand-made banks, loaded and saved.
std::string packedMind() {
  TestFolder f;
  f.write("m.mnd", mindText({{"version.mbk", "4.1\n300\n"},
                             {"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                             {"context.mbk", "HELLO\n@@ Hi there\n"},
                             {"nouns.mbk", "DOG\nDOGS\nHOUSE\n"},
                             {"names.mbk", "ANNA\nBOB\n"},
                             {"stuffing.mbk", "THE\nA\n"},
                             {"bad.mbk", "I hate you\n"},
                             {"emoticon.mbk", "12\n:)\n;)\n"}}));
  auto brain = newBrain(f);
  EXPECT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  brain->knowledge().learn(WordList("THE DOG LIKES THE BIG HOUSE"));
  brain->grammar().learn(WordList("THE DOG IS BIG"));
  EXPECT_TRUE(brain->saveMind().isOk());
  return f.read("m.mnd");
}

class MindCorruption : public ::testing::Test {
 protected:
  void SetUp() override {
    static const std::string mind = packedMind();
    good_ = &mind;
  }

  // Loads `bytes` as a mind and checks that the outcome is a clean one.
  static void check(const std::string& bytes, const std::string& what) {
    TestFolder f;
    f.write("m.mnd", bytes);
    auto brain = newBrain(f);
    const LoadResult result = brain->loadMind(f.path("m.mnd"));
    if (result.loaded()) {
      EXPECT_TRUE(brain->saveMind().isOk()) << what;
      return;
    }
    if (!result.status.isOk()) {
      const std::string& message = result.status.message();
      EXPECT_NE(message.find("bank \""), std::string::npos) << what << ": " << message;
      EXPECT_NE(message.find(", line "), std::string::npos) << what << ": " << message;
    }
    EXPECT_EQ(f.read("m.mnd"), bytes) << what;
    EXPECT_TRUE(f.files(".mbk").empty()) << what;
    EXPECT_TRUE(f.files(".mb2").empty()) << what;
  }

  const std::string* good_ = nullptr;
};

TEST_F(MindCorruption, TheUndamagedMindLoads) {
  TestFolder f;
  f.write("m.mnd", *good_);
  EXPECT_TRUE(newBrain(f)->loadMind(f.path("m.mnd")).loaded());
}

TEST_F(MindCorruption, ACutMindLoadsOrIsRefusedCleanly) {
  for (std::size_t length = 0; length < good_->size(); length += 3) check(good_->substr(0, length), "cut at " + std::to_string(length));
}

TEST_F(MindCorruption, AFlippedBitLoadsOrIsRefusedCleanly) {
  std::mt19937 pick(7);
  for (int round = 0; round < 150; ++round) {
    std::string bytes = *good_;
    const std::size_t at = pick() % bytes.size();
    const unsigned bit = 1u << (pick() % 8);
    bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ bit);
    check(bytes, "bit " + std::to_string(bit) + " of byte " + std::to_string(at));
  }
}

TEST_F(MindCorruption, AGarbledRunLoadsOrIsRefusedCleanly) {
  std::mt19937 garbage(42);
  for (int round = 0; round < 100; ++round) {
    std::string bytes = *good_;
    const std::size_t at = garbage() % bytes.size();
    const std::size_t length = std::min<std::size_t>(1 + garbage() % 16, bytes.size() - at);
    for (std::size_t i = at; i < at + length; ++i) bytes[i] = static_cast<char>(garbage() % 256);
    check(bytes, "garbled " + std::to_string(length) + " bytes at " + std::to_string(at));
  }
}

}  // namespace
}  // namespace vesko
