// One keystroke of the as-you-type lookup at 100,000 sentence pairs, 10,000
// verbs and 100,000 words: a word hit, and an input found nowhere (the
// sentence find then walks the whole sentence grid); and a paste of a million
// characters, answered by the number speller or the lookup.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/FrmLexaro.h"
#include "platform/scripted_dialogs.h"
#include "big_dictionary.h"
#include "platform/user.h"

namespace zuvo {
namespace {

void keystroke(benchmark::State& state, TextView before, TextView typed) {
  bench::BigProgram program;
  bench::keystrokes(state, program, before, typed);
}

void BM_KeystrokeWordHit(benchmark::State& state) { keystroke(state, u"palabra5000", u"0"); }
BENCHMARK(BM_KeystrokeWordHit)->Unit(benchmark::kMillisecond);

void BM_KeystrokeFoundNowhere(benchmark::State& state) { keystroke(state, u"nada", u"x"); }
BENCHMARK(BM_KeystrokeFoundNowhere)->Unit(benchmark::kMillisecond);

void paste(benchmark::State& state, TextView unit) {
  bench::BigProgram program;
  FrmLexaro* f = &program.main;
  Text text;
  while (text.size() < 1'000'000) text += unit;
  for (auto _ : state) {
    state.PauseTiming();
    program.app.event([&] { f->RichTextBox16.setText(u""); });
    state.ResumeTiming();
    if (!program.user.paste(f->RichTextBox16, text)) state.SkipWithError("the input box took no paste");
  }
}
BENCHMARK_CAPTURE(paste, million_digits, u"7")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paste, million_chinese_numerals, u"三")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paste, million_percent_signs, u"%")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paste, million_letters, u"a")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
