#pragma once
// A data folder with 100,000 sentence pairs, 10,000 verbs with example texts
// and 100,000 words, written once per benchmark run through the main
// window's own stores. Every record carries "grupoK" with K = its number
// modulo 10, so that one input matches a tenth of them.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "app/FrmLexaro.h"
#include "bench_folder.h"
#include "memory.h"
#include "platform/scripted_dialogs.h"
#include "platform/user.h"
#include "store/seed.h"
#include "store/store_connection.h"
#include "store/tables.h"

namespace zuvo::bench {

inline std::filesystem::path bigDictionary() {
  static const std::filesystem::path dir = [] {
    auto p = benchFolder("dict");
    ScriptedDialogs dialogs;
    Application app(p, dialogs);
    app.event([&] {
      FrmLexaro& f = app.form<FrmLexaro>();
      for (int i = 0; i < 100000; ++i) {
        const Text n = NumText(i);
        const Text group = u" grupo" + NumText(i % 10);
        f.Data1.AddNew();
        f.Text2.setText(u"这是第" + n + u"个句子。");
        f.Text3.setText(u"Esta es la frase número " + n + u"." + group);
        f.Data2.AddNew();
        f.Text14.setText(u"这是第" + n + u"个句子。/Esta es la frase número " + n + u"." + group);
        f.Data6.AddNew();
        f.Text51.setText(u"palabra" + n);
        f.Text112.setText(u"palabra" + n);
        f.Text113.setText(u"词" + n);
        f.Text39.setText(u"una palabra" + n + u"\r\nla palabra" + n);
        f.Data7.AddNew();
        f.Text31.setText(u"palabra" + n + group + u"◆词" + n);
        f.Text36.setText(u"palabra" + n);
        if (i % 10 == 0) {
          const Text examples = u"Ejemplo uno del verbo " + n + u"." + group + u"\r\nOtro ejemplo " + n + u".";
          f.Data3.AddNew();
          f.Text92.setText(u"verbar" + n);
          f.Text91.setText(u"动词" + n);
          f.Text90.setText(examples);
          f.Data4.AddNew();
          f.Text63.setText(u"verbar" + n);
          f.Text108.setText(u"verb" + n);
          f.Data5.AddNew();
          f.Text107.setText(u"动词" + n);
          f.Text9.setText(examples);
          f.Text87.setText(u"verbar" + n);
        }
      }
      for (DataSource* d : {&f.Data1, &f.Data2, &f.Data3, &f.Data4, &f.Data5, &f.Data6, &f.Data7}) d->MoveFirst();
    });
    return p;
  }();
  return dir;
}

// The same records at ten times the size (1,000,000 sentence pairs, 100,000
// verbs, 1,000,000 words), written straight into the table files: one
// transaction per table in place of a million window edits.
class TableWriter {
 public:
  TableWriter(const std::filesystem::path& dir, const TableSchema& schema, const std::vector<std::string>& fields) {
    const auto file = dir / schema.file;
    createTable(file, schema);
    if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("cannot open " + file.string());
    std::string names, params;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i) names += ", ", params += ", ";
      names += "\"" + fields[i] + "\"";
      params += "?" + std::to_string(i + 1);
    }
    const std::string sql = "INSERT INTO \"" + schema.table + "\" (" + names + ") VALUES (" + params + ")";
    sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
  }
  ~TableWriter() {
    sqlite3_finalize(st_);
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
  }
  void add(std::initializer_list<TextView> values) {
    int i = 0;
    for (TextView v : values) {
      const std::string u = toUtf8(v);
      sqlite3_bind_text(st_, ++i, u.data(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    }
    if (sqlite3_step(st_) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    sqlite3_reset(st_);
  }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* st_ = nullptr;
};

inline std::filesystem::path millionDictionary() {
  static const std::filesystem::path dir = [] {
    constexpr int kPairs = 1000000;
    auto p = benchFolder("million");
    std::filesystem::create_directories(p);
    {
      TableWriter sentences(p, tables::sentences(), {"ZD3", "ZD4"});
      TableWriter search(p, tables::sentenceSearch(), {"Zd1"});
      TableWriter words(p, tables::words(), {"ZD1", "ZD2", "ZD3", "ZD5"});
      TableWriter wordSearch(p, tables::wordSearch(), {"ZD1", "ZD2"});
      TableWriter verbs(p, tables::verbs(), {"ZD1", "ZD5", "ZD6"});
      TableWriter forms(p, tables::verbForms(), {"ZD1", "ZD2"});
      TableWriter verbSearch(p, tables::verbSearch(), {"ZD1", "ZD2", "ZD3"});
      for (int i = 0; i < kPairs; ++i) {
        const Text n = NumText(i);
        const Text group = u" grupo" + NumText(i % 10);
        sentences.add({u"这是第" + n + u"个句子。", u"Esta es la frase número " + n + u"." + group});
        search.add({u"这是第" + n + u"个句子。/Esta es la frase número " + n + u"." + group});
        words.add({u"palabra" + n, u"palabra" + n, u"词" + n, u"una palabra" + n + u"\r\nla palabra" + n});
        wordSearch.add({u"palabra" + n + group + u"◆词" + n, u"palabra" + n});
        if (i % 10 == 0) {
          const Text examples = u"Ejemplo uno del verbo " + n + u"." + group + u"\r\nOtro ejemplo " + n + u".";
          verbs.add({u"verbar" + n, u"动词" + n, examples});
          forms.add({u"verbar" + n, u"verb" + n});
          verbSearch.add({u"动词" + n, examples, u"verbar" + n});
        }
      }
    }
    return p;
  }();
  return dir;
}

// Another program's save into a table file that leaves its rows as they
// were: the next event of ours must read the table again.
inline void saveAsAnotherProgram(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  // Waits for a lock as another copy of the program does.
  const bool done = sqlite3_open(file.c_str(), &db) == SQLITE_OK && sqlite3_busy_timeout(db, 2000) == SQLITE_OK &&
                    sqlite3_exec(db, "UPDATE \"表1\" SET rowid = rowid WHERE rowid = 1", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  if (!done) throw std::runtime_error("cannot save into " + file.string());
}

// Every row of a table read through SQLite on a connection of its own,
// each column as the grid mirror keeps it (the rowid as a number, every
// field as text); the rows read. With `asTheProgram` the connection is
// opened and set as the program opens its table files (page cache
// included), else with SQLite's defaults.
inline int64_t readWholeTable(const std::filesystem::path& file, bool asTheProgram = false) {
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  int64_t rows = 0;
  const int flags = asTheProgram ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) == SQLITE_OK &&
      (!asTheProgram || sqlite3_exec(db, ("PRAGMA cache_size=" + std::to_string(-kPageCacheKiB)).c_str(), nullptr,
                                     nullptr, nullptr) == SQLITE_OK) &&
      sqlite3_prepare_v2(db, "SELECT rowid, * FROM \"表1\" ORDER BY rowid", -1, &st, nullptr) == SQLITE_OK) {
    const int cols = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
      for (int c = 1; c < cols; ++c) {
        benchmark::DoNotOptimize(sqlite3_column_text(st, c));
        benchmark::DoNotOptimize(sqlite3_column_bytes(st, c));
      }
      ++rows;
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

// The program started on a dictionary folder, its main window shown, and
// its user.
struct BigProgram {
  explicit BigProgram(std::filesystem::path dir = bigDictionary()) : app(std::move(dir), dialogs) {}
  ScriptedDialogs dialogs;
  Application app;
  FrmLexaro& main = [this]() -> FrmLexaro& {
    FrmLexaro* f = nullptr;
    app.event([&] {
      f = &app.form<FrmLexaro>();
      f->Show();
    });
    return *f;
  }();
  User user{app};
};

// One keystroke timed after the input `before`, typed as a user types it so
// that its letters end the number mode.
inline void keystrokes(benchmark::State& state, BigProgram& program, TextView before, TextView typed) {
  FrmLexaro& f = program.main;
  for (auto _ : state) {
    state.PauseTiming();
    program.app.event([&] { f.RichTextBox16.setText(u""); });
    program.user.type(f.RichTextBox16, before);
    state.ResumeTiming();
    if (!program.user.type(f.RichTextBox16, typed)) state.SkipWithError("the input box took no keystroke");
  }
  if (f.RichTextBox16.text() != Text(before) + Text(typed)) state.SkipWithError("unexpected input");
}

}  // namespace zuvo::bench
