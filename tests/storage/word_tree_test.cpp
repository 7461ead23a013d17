#include "storage/word_tree.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vesko {
namespace {

std::string saved(const WordTree& tree) {
  std::ostringstream out;
  tree.save(out);
  return out.str();
}

TEST(WordTree, SavesWordsUpperCasedOncePerAddInPreorder) {
  WordTree tree;
  for (const char* word : {"cat", "CAT", "cats", "b", "ab", "a", "!", "", "A B", "[{[X", "caf\xe9"}) tree.add(word);
  tree.add(Str(std::string(WordTree::kMaxWordLength + 1, 'A')));
  EXPECT_EQ(saved(tree), "!\nA\nAB\nB\nCAT\nCAT\nCATS\n");
  EXPECT_EQ(tree.wordCount(), 6);
}

TEST(WordTree, ARemovedWordIsNotSavedButItsContinuationsAre) {
  WordTree tree;
  for (const char* word : {"CAT", "CATS", "CAT"}) tree.add(word);
  tree.remove("CAT");
  tree.add("cat");
  EXPECT_FALSE(tree.has("CAT"));
  EXPECT_EQ(saved(tree), "CATS\n");
}

}  // namespace
}  // namespace vesko
