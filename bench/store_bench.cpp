// The table store at 100,000 records per table: a Seek on a key index over
// distinct keys and over keys sought again, a MoveNext walk over the whole table, 100,000 AddNew+save inside one
// handler, opening a folder of the seven dictionary tables, and one sentence
// pair saved per user event, with the pair's tables committing together as
// in the main window and, for comparison, each on its own.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "big_dictionary.h"
#include "platform/scripted_dialogs.h"
#include "platform/window.h"
#include "store/data_source.h"
#include "store/tables.h"

namespace zuvo {
namespace {

constexpr int kRecords = 100000;

// The seven dictionary tables, each with one bound box per field.
class Dictionary : public Window {
 public:
  explicit Dictionary(Application& app) : Window(app, "Dictionary") {
    for (DataSource* d : sources()) {
      for (const auto& f : d->schema().fields) {
        boxes.push_back(std::make_unique<TextBox>(*this, d->name() + f));
        d->bind(*boxes.back(), f);
      }
    }
  }
  std::vector<DataSource*> sources() { return {&Data1, &Data2, &Data3, &Data4, &Data5, &Data6, &Data7}; }
  DataSource Data1{*this, "Data1", tables::sentences()};
  DataSource Data2{*this, "Data2", tables::sentenceSearch()};
  DataSource Data3{*this, "Data3", tables::verbs()};
  DataSource Data4{*this, "Data4", tables::verbForms()};
  DataSource Data5{*this, "Data5", tables::verbSearch()};
  DataSource Data6{*this, "Data6", tables::words()};
  DataSource Data7{*this, "Data7", tables::wordSearch()};
  StoreGroup SentenceTables{&Data1, &Data2};
  StoreGroup VerbTables{&Data3, &Data4, &Data5};
  StoreGroup WordTables{&Data6, &Data7};
  std::vector<std::unique_ptr<TextBox>> boxes;
};

// The sentence tables with nothing binding them together.
class SentencesApart : public Window {
 public:
  explicit SentencesApart(Application& app) : Window(app, "SentencesApart") {
    Data1.bind(Text2, "ZD3");
    Data2.bind(Text14, "Zd1");
  }
  DataSource Data1{*this, "Data1", tables::sentences()};
  DataSource Data2{*this, "Data2", tables::sentenceSearch()};
  TextBox Text2{*this, "Text2"}, Text14{*this, "Text14"};
};

TextBox& box(Dictionary& d, const std::string& name) { return static_cast<TextBox&>(*d.find(name)); }

void fillTable(Dictionary& d, DataSource& src, int n) {
  for (int i = 0; i < n; ++i) {
    src.AddNew();
    for (const auto& f : src.schema().fields)
      if (f != "ID") box(d, src.name() + f).setText(u"palabra" + NumText(i) + u"·" + Text(fromUtf8(f)));
  }
  src.MoveFirst();
}

std::filesystem::path fullFolder() {
  static const std::filesystem::path dir = [] {
    auto p = bench::benchFolder("tables");
    ScriptedDialogs dialogs;
    Application app(p, dialogs);
    app.event([&] {
      auto& d = app.form<Dictionary>();
      for (DataSource* s : d.sources()) fillTable(d, *s, kRecords);
    });
    return p;
  }();
  return dir;
}

// Seeks spread over the whole word table, outside any event or, as the
// program makes them, inside a user event's handler. Every key is sought
// once: the run is one pass over the table's keys in a scattered order, so
// that no Seek is answered by what an earlier one found.
void seeks(benchmark::State& state, bool inAnEvent) {
  ScriptedDialogs dialogs;
  Application app(fullFolder(), dialogs);
  auto& d = app.form<Dictionary>();
  d.Data6.setIndex("ZD1");
  auto run = [&] {
    int i = 0;
    for (auto _ : state) {
      d.Data6.Seek("=", u"palabra" + NumText((i * 7919) % kRecords) + u"·ZD1");
      benchmark::DoNotOptimize(d.Data6.NoMatch());
      ++i;
    }
    if (d.Data6.NoMatch()) state.SkipWithError("a key was not found");
  };
  if (inAnEvent)
    app.event(run);
  else
    run();
}
// 7919 is prime to the record count: the pass seeks every key once.
void BM_SeekOnKeyIndex(benchmark::State& state) { seeks(state, false); }
BENCHMARK(BM_SeekOnKeyIndex)->Iterations(kRecords);

void BM_SeekOnKeyIndexInAnEvent(benchmark::State& state) { seeks(state, true); }
BENCHMARK(BM_SeekOnKeyIndexInAnEvent)->Iterations(kRecords);

// Keys sought again inside a user event's handler, as a user's lookups come
// back to the same words: the same key each time (the record stays
// current), or a few keys in turn (each Seek moves to another record).
void BM_SeekRepeatedKey(benchmark::State& state) {
  ScriptedDialogs dialogs;
  Application app(fullFolder(), dialogs);
  auto& d = app.form<Dictionary>();
  d.Data6.setIndex("ZD1");
  const int keys = static_cast<int>(state.range(0));
  std::vector<Text> sought;
  for (int k = 0; k < keys; ++k) sought.push_back(u"palabra" + NumText((k * 7919) % kRecords) + u"·ZD1");
  app.event([&] {
    int i = 0;
    for (auto _ : state) {
      d.Data6.Seek("=", sought[static_cast<size_t>(i++ % keys)]);
      benchmark::DoNotOptimize(d.Data6.NoMatch());
    }
  });
  if (d.Data6.NoMatch()) state.SkipWithError("a key was not found");
}
BENCHMARK(BM_SeekRepeatedKey)->ArgName("keys")->Arg(1)->Arg(16);

void BM_MoveNextWalk(benchmark::State& state) {
  ScriptedDialogs dialogs;
  Application app(fullFolder(), dialogs);
  auto& d = app.form<Dictionary>();
  for (auto _ : state) {
    int64_t n = 0;
    for (d.Data3.MoveFirst(); !d.Data3.atEOF(); d.Data3.MoveNext()) ++n;
    if (n != kRecords) state.SkipWithError("walk did not see every record");
  }
}
BENCHMARK(BM_MoveNextWalk)->Unit(benchmark::kMillisecond);

void BM_AddNewAndSave100k(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto p = std::filesystem::temp_directory_path() / ("zuvo-bench-add-" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    ScriptedDialogs dialogs;
    auto app = std::make_unique<Application>(p, dialogs);
    auto& d = app->form<Dictionary>();
    state.ResumeTiming();
    app->event([&] {
      for (int i = 0; i < kRecords; ++i) {
        d.Data1.AddNew();
        box(d, "Data1ZD3").setText(u"句子" + NumText(i));
        box(d, "Data1ZD4").setText(u"frase " + NumText(i));
      }
      d.Data1.MoveLast();
    });
    state.PauseTiming();
    app.reset();
    std::filesystem::remove_all(p);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddNewAndSave100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenSevenFullTables(benchmark::State& state) {
  const auto dir = fullFolder();
  for (auto _ : state) {
    ScriptedDialogs dialogs;
    Application app(dir, dialogs);
    benchmark::DoNotOptimize(&app.form<Dictionary>());
  }
}
BENCHMARK(BM_OpenSevenFullTables)->Unit(benchmark::kMillisecond);

// One event per saved pair, each ending in a durable commit.
template <class W>
void savePairs(benchmark::State& state, TextBox& (*zh)(W&), TextBox& (*search)(W&)) {
  auto p = std::filesystem::temp_directory_path() / ("zuvo-bench-pairs-" + std::to_string(::getpid()));
  std::filesystem::remove_all(p);
  {
    ScriptedDialogs dialogs;
    Application app(p, dialogs);
    auto& w = app.form<W>();
    int i = 0;
    for (auto _ : state) {
      app.event([&] {
        w.Data1.AddNew();
        zh(w).setText(u"句子" + NumText(i));
        w.Data1.MoveLast();
        w.Data2.AddNew();
        search(w).setText(u"句子" + NumText(i) + u"/frase");
        w.Data2.MoveLast();
      });
      ++i;
    }
  }
  std::filesystem::remove_all(p);
}

void BM_SavePairPerEvent_Together(benchmark::State& state) {
  savePairs<Dictionary>(
      state, [](Dictionary& d) -> TextBox& { return box(d, "Data1ZD3"); },
      [](Dictionary& d) -> TextBox& { return box(d, "Data2Zd1"); });
}
BENCHMARK(BM_SavePairPerEvent_Together)->Unit(benchmark::kMillisecond);

void BM_SavePairPerEvent_Apart(benchmark::State& state) {
  savePairs<SentencesApart>(
      state, [](SentencesApart& w) -> TextBox& { return w.Text2; }, [](SentencesApart& w) -> TextBox& { return w.Text14; });
}
BENCHMARK(BM_SavePairPerEvent_Apart)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
