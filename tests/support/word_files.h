#pragma once
// The word table and its search table saved together as one group, and the
// leaf pages of a table file, for the tests of damaged and locked files.
// Header only.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/control.h"
#include "platform/window.h"
#include "store/data_source.h"
#include "store/tables.h"

namespace zuvo::testing {

// A word (Text51, Text112; Text113 for its meaning when `withMeaning`) and
// its search line (Text31, Text36), saved together.
class WordPairWindow : public Window {
 public:
  WordPairWindow(Application& app, bool withMeaning) : Window(app, "WordPair") {
    Data6.bind(Text51, "ZD1");
    Data6.bind(Text112, "ZD2");
    if (withMeaning) Data6.bind(Text113, "ZD3");
    Data7.bind(Text31, "ZD1");
    Data7.bind(Text36, "ZD2");
  }
  DataSource Data6{*this, "Data6", tables::words()};
  DataSource Data7{*this, "Data7", tables::wordSearch()};
  StoreGroup pair{&Data6, &Data7};
  TextBox Text51{*this, "Text51"}, Text112{*this, "Text112"}, Text113{*this, "Text113"};
  TextBox Text31{*this, "Text31"}, Text36{*this, "Text36"};
};

// The middle leaf page of a table ("表1") or of one of its indexes.
inline int64_t leafPage(const std::filesystem::path& file, const std::string& tree) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, "SELECT pageno FROM dbstat WHERE name = ?1 AND pagetype = 'leaf' ORDER BY pageno",
                               -1, &st, nullptr),
            SQLITE_OK)
      << sqlite3_errmsg(db);
  sqlite3_bind_text(st, 1, tree.c_str(), -1, SQLITE_TRANSIENT);
  std::vector<int64_t> leaves;
  while (sqlite3_step(st) == SQLITE_ROW) leaves.push_back(sqlite3_column_int64(st, 0));
  sqlite3_finalize(st);
  sqlite3_close(db);
  EXPECT_GT(leaves.size(), 2u) << tree;
  return leaves.empty() ? 0 : leaves[leaves.size() / 2];
}

}  // namespace zuvo::testing
