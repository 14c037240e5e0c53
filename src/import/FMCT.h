#pragma once
// The hidden merge workers of the word imports. The import stages one row
// per key token in the two staging tables (the key rows walked in stored
// order, the pool sought by key), then presses Command1: the merge writes one
// WordStore and one WordSearchStore record per key row whose key still has
// unmerged pool rows, gathering every such pool row as one of the record's
// lines, and blanks each pool row it took, so that no later merge takes it
// again. Neither table is ever emptied.
//
// FMCT serves the two-field word files, FMCT2 the three-field ones, whose
// third field travels with each line. Both are never shown.

#include "platform/application.h"
#include "platform/control.h"
#include "platform/window.h"
#include "store/data_source.h"
#include "store/tables.h"

namespace zuvo {

class FrmLexaro;

// MergeTargetFlag (Label1): a target record is open for the current key row.
inline constexpr Colour kMergeTargetOpen = 255;

class WordMergeWorker : public Window {
 public:
  WordMergeWorker(Application& app, std::string name, bool carriesThirdField);

  bool carriesThirdField() const { return carriesThirdField_; }
  // All four stores opened: a merge can be asked for.
  bool storesOpen();

  DataSource Data1{*this, "Data1", tables::wordStagingKeys()};  // WordStagingKeys
  DataSource Data2{*this, "Data2", tables::wordStagingPool()};  // WordStagingPool
  DataSource Data3{*this, "Data3", tables::words()};            // WordStore
  DataSource Data4{*this, "Data4", tables::wordSearch()};       // WordSearchStore
  // One commit for all four: the rows an import stages, their blanking and
  // the merged records land in every file or in none, so no staged row of a
  // failed or killed run is ever merged by a later one. A staged row is
  // begun in both staging tables, a merged word in both word tables.
  StoreGroup MergeTables{{&Data1, &Data2}, {&Data3, &Data4}};

  TextBox Text1{*this, "Text1"};    // key row ZD1, the key token
  TextBox Text2{*this, "Text2"};    // key row ZD2, the Spanish side
  TextBox Text3{*this, "Text3"};    // key row ZD3, the Chinese side
  TextBox Text13{*this, "Text13"};  // key row ZD4, the third field (FMCT2 only)
  TextBox Text4{*this, "Text4"};    // pool row ZD1
  TextBox Text5{*this, "Text5"};    // pool row ZD2
  TextBox Text6{*this, "Text6"};    // pool row ZD3
  TextBox Text14{*this, "Text14"};  // pool row ZD4 (FMCT2 only)
  TextBox Text7{*this, "Text7"};    // WordStore ZD1, the key word
  TextBox Text8{*this, "Text8"};    // WordStore ZD2
  TextBox Text9{*this, "Text9"};    // WordStore ZD3
  TextBox Text10{*this, "Text10"};  // WordStore ZD5, the merged lines
  TextBox Text11{*this, "Text11"};  // WordSearchStore ZD1, the merged lines
  TextBox Text12{*this, "Text12"};  // WordSearchStore ZD2, the key word

  Label Label1{*this, "Label1"};  // its back colour is MergeTargetFlag

  CommandButton Command1{*this, "Command1"};  // MergeStagedWords / MergeStagedWordsWithZD4
  CommandButton Command2{*this, "Command2"};  // TickMainProgress

  // The rows an import stages wait in memory until it commits, so that each
  // reaches its file once, as the merge left it, and the merge reads them
  // from memory: the pool rows, which the merge rewrites, whole as far as
  // memory allows, the key rows, only read back, in smaller parts. Tests
  // give them no memory (rows written at once) or a little.
  size_t keyRowsHeldBytes = size_t{32} << 20;
  size_t poolRowsHeldBytes = size_t{192} << 20;

  // MergeStagedWords (FMCT) or MergeStagedWordsWithZD4 (FMCT2): from the
  // current key row to the last.
  void Command1_Click();
  // TickMainProgress: the main window's bar advances by 0.2, from 0 to 100.
  void Command2_Click();

 private:
  // The pool row's line as the target records list it.
  Text mergedWordLine() const;
  static void append(TextBox& box, TextView line);
  FrmLexaro& lexaro() const;

  bool carriesThirdField_;
};

class FMCT : public WordMergeWorker {
 public:
  explicit FMCT(Application& app) : WordMergeWorker(app, "FMCT", false) {}
};

class FMCT2 : public WordMergeWorker {
 public:
  explicit FMCT2(Application& app) : WordMergeWorker(app, "FMCT2", true) {}
};

}  // namespace zuvo
