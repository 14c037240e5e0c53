// One range query at 100,000 sentence pairs, 10,000 verbs with example
// texts and 100,000 words: an input that matches a single pair, and one that
// matches a tenth of every table; clean-up and colouring included.

#include <benchmark/benchmark.h>

#include "app/FrmLexaro.h"
#include "big_dictionary.h"
#include "platform/scripted_dialogs.h"

namespace zuvo {
namespace {

void rangeQuery(benchmark::State& state, TextView input) {
  bench::BigProgram program;
  Application& app = program.app;
  FrmLexaro* f = &program.main;
  for (auto _ : state) {
    state.PauseTiming();
    app.event([&] {
      f->RichTextBox16.setText(input);
      f->RangeQueryGuard = u"0";
    });
    state.ResumeTiming();
    app.event([&] { f->Command17_Click(); });
  }
  state.counters["result_chars"] = static_cast<double>(f->RichTextBox3.text().size());
  if (!program.dialogs.messages.empty()) state.SkipWithError("the query found nothing");
}

void BM_RangeQueryFewMatches(benchmark::State& state) { rangeQuery(state, u"número 4242."); }
BENCHMARK(BM_RangeQueryFewMatches)->Unit(benchmark::kMillisecond);

void BM_RangeQueryTenthMatches(benchmark::State& state) { rangeQuery(state, u"grupo3"); }
BENCHMARK(BM_RangeQueryTenthMatches)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
