#pragma once
// A small dictionary written through the main window's own stores, as the
// entry panels and batch imports fill them, and a program started on it.

#include <gtest/gtest.h>

#include <memory>

#include "app/FrmLexaro.h"
#include "support/files.h"
#include "support/test_support.h"

namespace zuvo::testing {

struct SentencePair {
  Text zh, es;
};
struct VerbRow {
  Text infinitive, meaning, examples;
};
struct WordRow {
  Text key, spanish, meaning, phrases;
};

// Writes the rows into the data folder by a run of the program of its own.
void writeDictionary(const std::filesystem::path& dataDir, const std::vector<SentencePair>& sentences,
                     const std::vector<VerbRow>& verbs = {}, const std::vector<WordRow>& words = {});

// Rows of a table file as another reader sees them while the program runs,
// which is what a crash right now would leave: the columns of each row
// joined by ":", NULL as "NULL".
std::vector<std::string> onDisk(const std::filesystem::path& file, const std::string& sql);

// Starts the main window the way the program does: loaded, stores open,
// shown with the focus in the input box.
FrmLexaro& startMainWindow(Program& p);

// A dictionary written once for a whole suite: the fixture's own
// SetUpTestSuite writes its rows with writeSuiteDictionary. `Base` is the
// fixture it builds on (the desktop tests' set-up, for one).
template <class Base = ::testing::Test>
class SuiteDictionary : public Base {
 protected:
  static void writeSuiteDictionary(const std::vector<SentencePair>& sentences, const std::vector<VerbRow>& verbs = {},
                                   const std::vector<WordRow>& words = {}) {
    folder = std::make_unique<TempDir>();
    writeDictionary(folder->path(), sentences, verbs, words);
  }
  static void TearDownTestSuite() { folder.reset(); }
  static inline std::unique_ptr<TempDir> folder;
};

// The main window started afresh for each test on the suite's dictionary.
class MainWindowSuite : public SuiteDictionary<> {
 protected:
  Program p{folder->path()};
  FrmLexaro& w = startMainWindow(p);
};

// A program that each test starts itself on its own folder `dir`.
class ProgramTest : public ::testing::Test {
 protected:
  // The rows first, if there are any; none leaves the dictionary empty.
  void start(const std::vector<SentencePair>& sentences = {}, const std::vector<VerbRow>& verbs = {},
             const std::vector<WordRow>& words = {}) {
    if (!sentences.empty() || !verbs.empty() || !words.empty()) writeDictionary(dir.path(), sentences, verbs, words);
    p = std::make_unique<Program>(dir.path());
    f = &startMainWindow(*p);
  }
  void restart() {
    p->restart();
    f = &startMainWindow(*p);
  }
  FrmLexaro& w() { return *f; }
  User& user() { return p->user(); }
  void click(Control& c) { ASSERT_TRUE(user().click(c)) << c.name(); }
  void type(Control& box, TextView text) { ASSERT_TRUE(user().type(box, text)) << box.name(); }

  TempDir dir;
  std::unique_ptr<Program> p;
  FrmLexaro* f = nullptr;
};

}  // namespace zuvo::testing
