#pragma once
// The tables the main window and its workers share, one database file each.

#include <filesystem>

#include "store/data_source.h"

namespace zuvo {

// The user's data folder: $XDG_DATA_HOME/zuvo, else ~/.local/share/zuvo.
std::filesystem::path defaultDataDir();

namespace tables {
TableSchema sentences();        // XHKA: ID, ZD3 Chinese, ZD4 Spanish
TableSchema sentenceSearch();   // XHKB: ID, Zd1 "Chinese/Spanish"
TableSchema verbs();            // DCK1: ID, ZD1 … ZD11
TableSchema verbForms();        // DCK2: ID, ZD1 infinitive, ZD2 root, ZD3 meaning
TableSchema verbSearch();       // DCK3: ID, ZD1 meaning, ZD2 examples, ZD3 infinitive
TableSchema words();            // CKUA: ID, ZD1 key word, ZD2, ZD3, ZD4, ZD5
TableSchema wordSearch();       // CKUB: ID, ZD1 lines, ZD2 key word
// The word import stages one row per key token in both; the merge walks the
// keys in stored order and seeks the pool by key.
TableSchema wordStagingKeys();  // CKUA0F: ID, ZD1 key token, ZD2 Spanish, ZD3 Chinese, ZD4 third field
TableSchema wordStagingPool();  // CKUB0F: the same fields, indexed on ZD1
TableSchema places();           // DMK0: ID, ZD1 Western name, ZD2 Chinese name, ZD3 … ZD17
TableSchema placeSearch();      // DMK1: ID, ZD1 joined search text, ZD2
TableSchema placeNames();       // DMK2: ID, ZD1 Western name, ZD2 Chinese name, ZD3, ZD4
}  // namespace tables

}  // namespace zuvo
