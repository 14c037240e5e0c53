// The word list of a text of 100,000 tokens over 100,000 words and 10,000
// verbs: a quarter key words, a quarter infinitives, a quarter inflected
// forms found through their stems and a quarter found nowhere, which try
// every stem. Nearly every token is a different word, so the stores answer
// from their files, not from their caches.

#include <benchmark/benchmark.h>

#include <fstream>

#include "app/FrmLexaro.h"
#include "big_dictionary.h"
#include "platform/user.h"

namespace zuvo {
namespace {

Text tokenText(int i) {
  const Text n = NumText(i % 100000);
  const Text v = NumText((i / 4) % 10000 * 10);  // a stored verb's number
  switch (i % 4) {
    case 0: return u"palabra" + n;
    case 1: return u"verbar" + v;
    case 2: return u"verb" + v + u"amos";
    default: return u"nada" + n;
  }
}

std::filesystem::path bigText() {
  const auto f = bench::benchFolder("text") / "text.txt";
  std::filesystem::create_directories(f.parent_path());
  std::ofstream out(f, std::ios::binary);
  for (int i = 0; i < 100000; ++i) out << toUtf8(tokenText(i)) << " ";
  out << "\r\n";
  return f;
}

// The text opened in the reader, the word list empty before each run; `press`
// is the run measured.
template <class Press>
void readerRun(benchmark::State& state, Press&& press) {
  bench::BigProgram program;
  FrmLexaro& f = program.main;
  const auto file = bigText();
  f.Command29.Enabled = true;  // the reader's entry button, disabled as shipped
  program.dialogs.fileAnswers.push_back(fromUtf8(file.string()));
  if (!program.user.click(f.Command29) || !f.RichTextBox8.Visible) state.SkipWithError("the text did not open");
  int64_t ticks = 0;
  program.app.onProgress = [&] { ++ticks; };
  for (auto _ : state) {
    state.PauseTiming();
    program.app.event([&] { f.RichTextBox11.setText(u""); });
    ticks = 0;
    state.ResumeTiming();
    press(program, program.user);
  }
  int64_t lines = 0;
  for (char16_t c : f.RichTextBox11.text()) lines += c == u'\n';
  state.counters["listed"] = static_cast<double>(lines);
  state.counters["progress_ticks"] = static_cast<double>(ticks);
  std::filesystem::remove(file);
}

void BM_AnalyzeReaderText(benchmark::State& state) {
  readerRun(state, [](bench::BigProgram& p, User&) { p.app.event([&] { p.main.Command73_Click(); }); });
}
BENCHMARK(BM_AnalyzeReaderText)->Unit(benchmark::kMillisecond)->Iterations(1);

// "Y" on an empty list: the analysis, then each line kept once.
void BM_WordListButton(benchmark::State& state) {
  readerRun(state, [&](bench::BigProgram& p, User& user) {
    if (!user.click(p.main.Command59)) state.SkipWithError("Y took no click");
  });
}
BENCHMARK(BM_WordListButton)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace zuvo
