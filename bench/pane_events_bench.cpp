// One click on a word of the lower pane (the selected-word lookup and the
// as-you-type lookup it sets off) and one 上一条/下一条 step in each view, at
// 100,000 records per table.

#include <benchmark/benchmark.h>

#include "app/FrmLexaro.h"
#include "big_dictionary.h"
#include "platform/user.h"

namespace zuvo {
namespace {

// The big dictionary holds 10,000 verbs; the verb view steps over 100,000.
std::filesystem::path dictionaryWithManyVerbs() {
  static const std::filesystem::path dir = [] {
    const auto p = bench::bigDictionary();
    ScriptedDialogs dialogs;
    Application app(p, dialogs);
    app.event([&] {
      FrmLexaro& f = app.form<FrmLexaro>();
      for (int i = 0; i < 100000; ++i) {
        if (i % 10 == 0) continue;  // the big dictionary's own verbs
        const Text n = NumText(i);
        f.Data3.AddNew();
        f.Text92.setText(u"verbar" + n);
        f.Text91.setText(u"动词" + n);
        f.Text90.setText(u"Ejemplo del verbo " + n + u".");
        f.Data4.AddNew();
        f.Text63.setText(u"verbar" + n);
        f.Text108.setText(u"verb" + n);
        f.Data5.AddNew();
        f.Text107.setText(u"动词" + n);
        f.Text87.setText(u"verbar" + n);
      }
      for (DataSource* d : {&f.Data3, &f.Data4, &f.Data5}) d->MoveFirst();
    });
    return p;
  }();
  return dir;
}

struct Program : bench::BigProgram {
  Program() : BigProgram(dictionaryWithManyVerbs()) {}
};

void clickOnWord(benchmark::State& state, TextView paneText, int64_t caret, bool expectWordView) {
  Program p;
  FrmLexaro& f = p.main;
  for (auto _ : state) {
    state.PauseTiming();
    p.app.event([&] {
      f.Command20_Click();  // back to the lookup screen
      f.RichTextBox16.setText(u"");
      f.RichTextBox7.setText(paneText);
    });
    state.ResumeTiming();
    if (!p.user.click(f.RichTextBox7, caret)) state.SkipWithError("the pane took no click");
  }
  if (f.Text112.Visible != expectWordView) state.SkipWithError("unexpected view");
}

void BM_ClickOnAWordFound(benchmark::State& state) { clickOnWord(state, u"una palabra50000 aquí", 6, true); }
BENCHMARK(BM_ClickOnAWordFound)->Unit(benchmark::kMillisecond);

// Neither a word, a verb nor a form of one, nor in any sentence: the stem
// candidates are all tried and the sentence find walks the whole grid.
void BM_ClickOnAWordFoundNowhere(benchmark::State& state) {
  clickOnWord(state, u"Esta es la frase xyzzy 0.", 19, false);
}
BENCHMARK(BM_ClickOnAWordFoundNowhere)->Unit(benchmark::kMillisecond);

// Steps back and forth from the middle of the store of the view open.
void step(benchmark::State& state, TextView opening, const Control& (*viewBox)(FrmLexaro&)) {
  Program p;
  FrmLexaro& f = p.main;
  if (!opening.empty()) p.user.type(f.RichTextBox16, opening);
  if (!viewBox(f).Visible) state.SkipWithError("the view did not open");
  bool forward = true;
  for (auto _ : state) {
    if (!p.user.click(forward ? f.Command25 : f.Command23)) state.SkipWithError("the button took no click");
    forward = !forward;
  }
  if (!p.dialogs.messages.empty()) state.SkipWithError("a step reached the end of its store");
}

void BM_StepSentences(benchmark::State& state) { step(state, u"", [](FrmLexaro& f) -> const Control& { return f.RichTextBox13; }); }
BENCHMARK(BM_StepSentences)->Unit(benchmark::kMillisecond);

void BM_StepVerbView(benchmark::State& state) { step(state, u"verbar50001", [](FrmLexaro& f) -> const Control& { return f.Text92; }); }
BENCHMARK(BM_StepVerbView)->Unit(benchmark::kMillisecond);

void BM_StepWordView(benchmark::State& state) { step(state, u"palabra50000", [](FrmLexaro& f) -> const Control& { return f.Text112; }); }
BENCHMARK(BM_StepWordView)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
