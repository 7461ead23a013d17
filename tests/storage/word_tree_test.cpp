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
  for (const char* word : {"cat", "CAT", "cats", "b", "ab", "a", "!"}) tree.add(word);
  EXPECT_EQ(saved(tree), "!\nA\nAB\nB\nCAT\nCAT\nCATS\n");
  EXPECT_TRUE(tree.has("Cats"));
  EXPECT_FALSE(tree.has("CA"));
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

TEST(WordTree, StoresOnlyWordsItsBranchesCanHold) {
  WordTree tree;
  for (const char* word : {"", "A B", "[{[X", "caf\xe9", "~"}) tree.add(word);
  tree.add(Str(std::string(WordTree::kMaxWordLength + 1, 'A')));
  EXPECT_TRUE(tree.empty());
  // The longest word goes through save without recursion.
  tree.add(Str(std::string(WordTree::kMaxWordLength, 'z')));
  EXPECT_EQ(saved(tree), std::string(WordTree::kMaxWordLength, 'Z') + "\n");
}

}  // namespace
}  // namespace vesko
