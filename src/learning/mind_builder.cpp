#include "learning/mind_builder.h"

#include <fstream>

#include "learning/grammar_model.h"
#include "learning/knowledge_store.h"
#include "storage/bank_reader.h"
#include "storage/replacing_file.h"

namespace vesko {

namespace {

// In the source the bot speaks of itself as "&botname"; learning swaps the two
// name markers back, so what is stored reads the same as the source.
WordList swappedNameMarkers(const Str& line) {
  WordList tokens = WordList(line).splitPunctuation();
  WordList swapped;
  for (const Str& token : tokens) {
    if (token == "&botname") swapped.append("&username");
    else if (token == "&username") swapped.append("&botname");
    else swapped.append(token);
  }
  return swapped.joinPunctuation();
}

}  // namespace

Status buildLanguageBanks(const Str& sourceFolder, const Str& outputFolder, RandomSource& random) {
  GrammarModel grammar(random);
  forEachBankLine(sourceFolder + "input_l.txt", [&](const Str& line) { grammar.learn(swappedNameMarkers(line)); });
  Status status = grammar.save(outputFolder + "groups.mbk", outputFolder + "temps.mbk", outputFolder + "sr.mbk");
  if (!status) return status;

  KnowledgeStore knowledge;
  forEachBankLine(sourceFolder + "input_k.txt", [&](const Str& line) { knowledge.learn(WordList(line)); });
  status = knowledge.save(outputFolder + "morvash.mbk");
  if (!status) return status;

  ReplacingFile version(outputFolder + "version.mbk");
  version.out() << "4.1\n300\n";
  return version.commit();
}

}  // namespace vesko
