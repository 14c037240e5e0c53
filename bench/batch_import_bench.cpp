// Batch imports against the sqlite3 command-line program, side by side: a
// 100,000-line sentence file opened, checked and imported through the batch
// button, and a 10,000-line six-field verb file with its forms, roots and
// example split; and the sqlite3 program inserting the same rows into tables
// of the same schema and indexes, each table file in WAL mode, in one
// transaction. Each run starts on a fresh data folder holding one sentence.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/FrmLexaro.h"
#include "platform/scripted_dialogs.h"
#include "store/tables.h"

namespace zuvo {
namespace {

constexpr int kSentences = 100000;
constexpr int kVerbs = 10000;

std::filesystem::path scratch(const std::string& what) {
  auto p = std::filesystem::temp_directory_path() / ("zuvo-bench-batch-" + std::to_string(::getpid()) + "-" + what);
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
  Text t;
  for (int i = 0; i < n; ++i) t += line(i) + u"\r\n";
  const auto path = dir / name;
  std::ofstream(path, std::ios::binary) << toGbk(t);
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

// The two presses of a batch button on a fresh program, timed from the
// first press to the end of the second.
double importThroughButton(const std::filesystem::path& file, bool verbs) {
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
  const auto start = std::chrono::steady_clock::now();
  app.event([&] { button.setValue(true); });
  app.event([&] { button.setValue(true); });
  const auto end = std::chrono::steady_clock::now();
  if (dialogs.messages.empty() || dialogs.messages.back().prompt.find(u"恭喜您") == Text::npos)
    throw std::runtime_error("the import did not succeed");
  return std::chrono::duration<double>(end - start).count();
}

std::string sqlName(const std::string& n) { return "\"" + n + "\""; }
std::string sqlText(const Text& t) {
  std::string s = toUtf8(t), out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// The script that makes the sqlite3 program build the tables as the store
// does and insert the rows in one transaction.
std::string createTables(const std::vector<std::pair<std::string, TableSchema>>& tables) {
  std::string sql;
  for (const auto& [alias, s] : tables) {
    sql += "ATTACH '" + alias + ".db' AS " + alias + ";\nPRAGMA " + alias + ".journal_mode=WAL;\n";
    std::string cols;
    for (const auto& f : s.fields) cols += (cols.empty() ? "" : ", ") + sqlName(f) + (f == "ID" ? " INTEGER PRIMARY KEY" : " TEXT");
    sql += "CREATE TABLE " + alias + "." + sqlName(s.table) + " (" + cols + ");\n";
    for (const auto& ix : s.indexes)
      if (ix != "ID")
        sql += "CREATE INDEX " + alias + "." + sqlName(s.table + "_" + ix) + " ON " + sqlName(s.table) + " (" +
               sqlName(ix) + ");\n";
  }
  return sql + "PRAGMA synchronous=FULL;\nBEGIN;\n";
}

double runSqlite(const std::filesystem::path& dir, const std::string& script) {
  const auto file = dir / "script.sql";
  std::ofstream(file, std::ios::binary) << script << "COMMIT;\n";
  const std::string cmd = "cd '" + dir.string() + "' && sqlite3 :memory: < script.sql > /dev/null";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(cmd.c_str()) != 0) throw std::runtime_error("sqlite3 failed");
  const auto end = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(end - start).count();
}

double sqliteSentences() {
  const auto dir = scratch("sqlite-sentences");
  std::string sql = createTables({{"XHKA", tables::sentences()}, {"XHKB", tables::sentenceSearch()}});
  for (int i = 0; i < kSentences; ++i) {
    const Text line = sentenceLine(i);
    const size_t slash = line.find(u'/');
    sql += "INSERT INTO XHKA.\"表1\" (ZD3, ZD4) VALUES (" + sqlText(line.substr(0, slash)) + ", " +
           sqlText(line.substr(slash + 1)) + ");\nINSERT INTO XHKB.\"表1\" (Zd1) VALUES (" + sqlText(line) + ");\n";
  }
  return runSqlite(dir, sql);
}

double sqliteVerbs() {
  const auto dir = scratch("sqlite-verbs");
  std::string sql = createTables(
      {{"DCK1", tables::verbs()}, {"DCK2", tables::verbForms()}, {"DCK3", tables::verbSearch()}});
  for (int i = 0; i < kVerbs; ++i) {
    const Text inf = u"verbo" + NumText(i) + u"ar", root = u"verbo" + NumText(i), meaning = u"动词" + NumText(i);
    const Text ex = u"Hablo del verbo " + NumText(i) + u"./我说这个动词。\r\nOtro ejemplo./另一个例子。";
    sql += "INSERT INTO DCK1.\"表1\" (ZD1, ZD2, ZD3, ZD4, ZD5, ZD6, ZD7, ZD8, ZD9) VALUES (" + sqlText(inf) + ", " +
           sqlText(root) + ", '规则', 'a', " + sqlText(meaning) + ", " + sqlText(ex) + ", " +
           sqlText(root + u"ando") + ", " + sqlText(root + u"ado") + ", 'Pas');\n";
    sql += "INSERT INTO DCK2.\"表1\" (ZD1, ZD2, ZD3) VALUES (" + sqlText(inf) + ", " + sqlText(root) + ", " +
           sqlText(meaning) + ");\n";
    sql += "INSERT INTO DCK3.\"表1\" (ZD1, ZD2, ZD3) VALUES (" + sqlText(meaning) + ", " + sqlText(ex) + ", " +
           sqlText(inf) + ");\n";
  }
  return runSqlite(dir, sql);
}

// Both sides in one run; the iteration time is the import's, the counters
// give the sqlite3 program's time and the ratio.
void run(benchmark::State& state, bool verbs) {
  const auto files = scratch(verbs ? "verb-file" : "sentence-file");
  const auto file = verbs ? batchFile(files, "verbs.txt", kVerbs, verbLine)
                          : batchFile(files, "sentences.txt", kSentences, sentenceLine);
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const double t = importThroughButton(file, verbs);
    state.SetIterationTime(t);
    ours += t;
    theirs += verbs ? sqliteVerbs() : sqliteSentences();
  }
  state.counters["sqlite3_s"] = theirs / static_cast<double>(state.iterations());
  state.counters["import_s"] = ours / static_cast<double>(state.iterations());
  state.counters["ratio"] = ours / theirs;
}

void BM_SentenceFile100k(benchmark::State& state) { run(state, false); }
void BM_SixFieldVerbFile10k(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_SentenceFile100k)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixFieldVerbFile10k)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
