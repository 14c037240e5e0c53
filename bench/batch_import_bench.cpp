// Batch imports against SQLite's C API, side by side: a sentence file of
// 100,000 and of 1,000,000 lines opened, checked and imported through the
// batch button, and a 10,000-line six-field verb file with its forms, roots
// and example split; and the C API inserting the same rows with prepared
// statements into the same table files under the program's own settings
// (the group's rollback journal, synchronous FULL, the page cache it keeps
// while a batch transaction is open, the same indexes), in one transaction: the
// floor of what any import can cost. Each run starts on a fresh data folder
// holding one sentence.
//
// Counters: the wall and process CPU seconds of the import (open_s the
// first press, loading the file; the rest checks and imports it) and of the
// floor, and the peak resident memory while importing.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/FrmLexaro.h"
#include "bench_folder.h"
#include "memory.h"
#include "platform/scripted_dialogs.h"
#include "store/seed.h"
#include "store/store_connection.h"
#include "store/tables.h"

namespace zuvo {
namespace {

constexpr int kVerbs = 10000;

std::filesystem::path scratch(const std::string& what) {
  auto p = bench::benchFolder("batch-" + what);
  std::filesystem::remove_all(p);
  std::filesystem::create_directories(p);
  return p;
}
Text sentenceLine(int i) { return u"这是第" + NumText(i) + u"个句子。/Esta es la frase número " + NumText(i) + u"."; }
Text verbLine(int i) {
  return u"verbo" + NumText(i) + u"ar/-/规则/a/动词" + NumText(i) + u"/Hablo del verbo " + NumText(i) +
         u".我说这个动词。Otro ejemplo.另一个例子。";
}

std::filesystem::path batchFile(const std::filesystem::path& dir, const char* name, int n, Text (*line)(int)) {
  const auto path = dir / name;
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < n; ++i) out << toGbk(line(i) + u"\r\n");
  return path;
}

// A data folder holding one sentence, so that "PLT" opens batch mode at once.
void seedFolder(const std::filesystem::path& data) {
  ScriptedDialogs dialogs;
  Application app(data, dialogs);
  app.event([&] {
    FrmLexaro& f = app.form<FrmLexaro>();
    f.Data1.AddNew();
    f.Text2.setText(u"你好。");
    f.Text3.setText(u"Hola.");
    f.Data2.AddNew();
    f.Text14.setText(u"你好。/Hola.");
    f.Data1.MoveFirst();
    f.Data2.MoveFirst();
  });
}

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Measured {
  double wall = 0, cpu = 0, open = 0, peakMb = 0;
};

// The two presses of a batch button on a fresh program, timed from the
// first press to the end of the second.
Measured importThroughButton(const std::filesystem::path& file, bool verbs) {
  const auto data = scratch(verbs ? "verb-data" : "sentence-data");
  seedFolder(data);
  ScriptedDialogs dialogs;
  Application app(data, dialogs);
  FrmLexaro* f = nullptr;
  app.event([&] {
    f = &app.form<FrmLexaro>();
    f->Show();
  });
  app.event([&] { f->Command11.setValue(true); });  // PLT
  CommandButton& button = verbs ? f->Command57 : f->Command58;
  dialogs.fileAnswers.push_back(fromUtf8(file.string()));
  const bool peakReset = bench::resetPeakMemory();
  const double cpu = cpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  app.event([&] { button.setValue(true); });
  const auto opened = std::chrono::steady_clock::now();
  app.event([&] { button.setValue(true); });
  const auto end = std::chrono::steady_clock::now();
  Measured m;
  m.cpu = cpuSeconds() - cpu;
  // The process's peak resident memory while importing; not known when the
  // peak could not be started afresh.
  m.peakMb = peakReset ? bench::peakMemoryMb() : std::nan("");
  m.wall = std::chrono::duration<double>(end - start).count();
  m.open = std::chrono::duration<double>(opened - start).count();
  if (dialogs.messages.empty() || dialogs.messages.back().prompt.find(u"恭喜您") == Text::npos)
    throw std::runtime_error("the import did not succeed");
  return m;
}

// The floor: the rows inserted through prepared statements into the
// group's files on one connection, as the program keeps them, with the page
// caches the program gives a batch transaction.
class Floor {
 public:
  explicit Floor(const std::filesystem::path& dir, const std::vector<TableSchema>& tables) {
    for (const auto& t : tables) createTable(dir / t.file, t);
    if (sqlite3_open((dir / tables[0].file).c_str(), &db_) != SQLITE_OK) throw std::runtime_error("cannot open");
    for (size_t i = 1; i < tables.size(); ++i)
      exec("ATTACH DATABASE '" + (dir / tables[i].file).string() + "' AS t" + std::to_string(i));
    for (size_t i = 0; i < tables.size(); ++i) {
      const std::string db = i ? "t" + std::to_string(i) : "main";
      exec("PRAGMA " + db + ".journal_mode=delete");
      exec("PRAGMA " + db + ".synchronous=FULL");
      exec("PRAGMA " + db + ".cache_size=" + std::to_string(-kPageCacheKiB));
      std::string names, params;
      for (const auto& f : tables[i].fields) {
        if (f == "ID") continue;
        names += (names.empty() ? "" : ", ") + sqlName(f);
        params += params.empty() ? "?" : ", ?";
      }
      sqlite3_stmt* st = nullptr;
      const std::string sql = "INSERT INTO " + db + "." + sqlName(tables[i].table) + " (" + names + ") VALUES (" + params + ")";
      if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
      inserts_.push_back(st);
    }
    std::vector<std::pair<const TableSchema*, std::string>> files;
    for (size_t i = 0; i < tables.size(); ++i) files.emplace_back(&tables[i], i ? "t" + std::to_string(i) : "main");
    if (const std::string batch = batchCachePragmas(files, true); !batch.empty()) exec(batch);
  }
  ~Floor() {
    for (auto* st : inserts_) sqlite3_finalize(st);
    sqlite3_close(db_);
  }
  void exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
  }
  // One row of table `t`, its fields after the ID in order (absent ones NULL).
  void insert(size_t t, std::initializer_list<std::string_view> values) {
    sqlite3_stmt* st = inserts_[t];
    int i = 0;
    for (std::string_view v : values) sqlite3_bind_text(st, ++i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    if (sqlite3_step(st) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
  }

 private:
  sqlite3* db_ = nullptr;
  std::vector<sqlite3_stmt*> inserts_;
};

template <class Rows, class Insert>
Measured timeFloor(const std::vector<TableSchema>& tables, const Rows& rows, Insert insert) {
  const auto dir = scratch("floor");
  Floor floor(dir, tables);
  const double cpu = cpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  floor.exec("BEGIN");
  for (const auto& row : rows) insert(floor, row);
  floor.exec("COMMIT");
  const auto end = std::chrono::steady_clock::now();
  Measured m;
  m.cpu = cpuSeconds() - cpu;
  m.wall = std::chrono::duration<double>(end - start).count();
  return m;
}

Measured floorSentences(int lines) {
  std::vector<std::array<std::string, 3>> rows;
  rows.reserve(lines);
  for (int i = 0; i < lines; ++i) {
    const Text line = sentenceLine(i);
    const size_t slash = line.find(u'/');
    rows.push_back({toUtf8(line.substr(0, slash)), toUtf8(line.substr(slash + 1)), toUtf8(line)});
  }
  return timeFloor({tables::sentences(), tables::sentenceSearch()}, rows, [](Floor& f, const auto& r) {
    f.insert(0, {r[0], r[1]});
    f.insert(1, {r[2]});
  });
}

Measured floorVerbs() {
  std::vector<std::array<std::string, 6>> rows;
  for (int i = 0; i < kVerbs; ++i) {
    const Text inf = u"verbo" + NumText(i) + u"ar", root = u"verbo" + NumText(i), meaning = u"动词" + NumText(i);
    const Text ex = u"Hablo del verbo " + NumText(i) + u"./我说这个动词。\r\nOtro ejemplo./另一个例子。";
    rows.push_back({toUtf8(inf), toUtf8(root), toUtf8(meaning), toUtf8(ex), toUtf8(root + u"ando"),
                    toUtf8(root + u"ado")});
  }
  return timeFloor({tables::verbs(), tables::verbForms(), tables::verbSearch()}, rows, [](Floor& f, const auto& r) {
    f.insert(0, {r[0], r[1], "规则", "a", r[2], r[3], r[4], r[5], "Pas"});
    f.insert(1, {r[0], r[1], r[2]});
    f.insert(2, {r[2], r[3], r[0]});
  });
}

// Both sides in one run; the iteration time is the import's, the counters
// give the floor's time and the ratio.
void run(benchmark::State& state, bool verbs, int lines) {
  const auto files = scratch(verbs ? "verb-file" : "sentence-file");
  const auto file = verbs ? batchFile(files, "verbs.txt", lines, verbLine)
                          : batchFile(files, "sentences.txt", lines, sentenceLine);
  Measured ours, theirs;
  for (auto _ : state) {
    const Measured t = importThroughButton(file, verbs);
    state.SetIterationTime(t.wall);
    ours.wall += t.wall;
    ours.cpu += t.cpu;
    ours.open += t.open;
    ours.peakMb = std::max(ours.peakMb, t.peakMb);
    const Measured f = verbs ? floorVerbs() : floorSentences(lines);
    theirs.wall += f.wall;
    theirs.cpu += f.cpu;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["c_api_s"] = theirs.wall / n;
  state.counters["c_api_cpu_s"] = theirs.cpu / n;
  state.counters["import_s"] = ours.wall / n;
  state.counters["import_cpu_s"] = ours.cpu / n;
  state.counters["open_s"] = ours.open / n;
  state.counters["peak_mb"] = ours.peakMb;
  state.counters["ratio"] = ours.wall / theirs.wall;
}

void BM_SentenceFile(benchmark::State& state) { run(state, false, static_cast<int>(state.range(0))); }
void BM_SixFieldVerbFile(benchmark::State& state) { run(state, true, static_cast<int>(state.range(0))); }

BENCHMARK(BM_SentenceFile)->Arg(100000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
// A million lines: the transaction outgrows the page cache.
BENCHMARK(BM_SentenceFile)->Arg(1000000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixFieldVerbFile)->Arg(kVerbs)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
