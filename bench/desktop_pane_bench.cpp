// A range result shown in the desktop's rich-text pane: the view's text and
// character formats set from the model and the pane painted once, for
// results of 100,000 up to 8,000,000 characters, a line of about 60
// characters with three format runs each (a dark blue Chinese part, the
// plain Spanish part, the input red and bold).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QAbstractTextDocumentLayout>
#include <QPixmap>
#include <QTextEdit>
#include <memory>

#include "app/FrmLexaro.h"
#include "big_dictionary.h"
#include "desktop/desktop.h"

namespace zuvo {
namespace {

QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "desktop_pane_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

// Lines as the range query leaves them, about `chars` characters in all.
void writeResult(RichTextBox& pane, int64_t chars, int64_t caret) {
  Text t;
  t.reserve(static_cast<size_t>(chars) + 100);
  struct Run {
    int64_t start, length;
    Colour colour;
    bool bold;
  };
  std::vector<Run> runs;
  for (int i = 0; Len(t) < chars; ++i) {
    const int64_t start = Len(t);
    const Text n = NumText(i * 10 + 3);
    const Text chinese = u"这是第" + n + u"个句子。";
    t += chinese + u"/Esta es la frase número " + n + u". grupo3\r\n";
    runs.push_back({start, Len(chinese), 0xC00000, false});
    runs.push_back({Len(t) - 8, 6, 0xFF, true});
  }
  pane.setText(t);
  for (const Run& r : runs) {
    pane.setSelStart(r.start);
    pane.setSelLength(r.length);
    pane.setSelColor(r.colour);
    pane.setSelBold(r.bold);
  }
  pane.setSelStart(caret < 0 ? Len(t) : caret);
}

struct Pane {
  desktop::Desktop d{bench::benchFolder("pane")};
  FrmLexaro& f = [this]() -> FrmLexaro& {
    d.start();
    return d.app().form<FrmLexaro>();
  }();
  RichTextBox& pane = f.RichTextBox3;
  QTextEdit& widget = *static_cast<QTextEdit*>(d.viewOf(f)->widgetFor(pane));

  // The caret at `caret`, or at the end when negative.
  void show(int64_t chars, int64_t caret = 0) {
    d.app().event([&] {
      pane.setText(u"");
      pane.Move(210.02f, 1310, 9490, 3650);
      pane.ZOrder();
      pane.Visible = true;
    });
    d.app().event([&] {
      pane.Visible = false;
      writeResult(pane, chars, caret);
    });
  }
};

// The result set and the pane's first paint; the rest of the text is laid
// out afterwards, a step at a time, while the program takes events. With
// `laidOut` the whole text is laid out at once: what those steps cost. The
// range query leaves the caret after the last match, near the end, where
// the pane scrolls to: all the text before it is laid out first.
void showResult(benchmark::State& state, bool laidOut, int64_t caret) {
  qtApp();
  Pane p;
  for (auto _ : state) {
    state.PauseTiming();
    p.show(state.range(0), caret);
    state.ResumeTiming();
    p.d.app().event([&] { p.pane.Visible = true; });
    if (laidOut)
      benchmark::DoNotOptimize(p.widget.document()->documentLayout()->documentSize());
    else
      benchmark::DoNotOptimize(p.widget.viewport()->grab());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
void BM_RangeResultShown(benchmark::State& state) { showResult(state, false, 0); }
BENCHMARK(BM_RangeResultShown)->Arg(100000)->Arg(1000000)->Arg(8000000)->Unit(benchmark::kMillisecond);
void BM_RangeResultShownAtItsEnd(benchmark::State& state) { showResult(state, false, -1); }
BENCHMARK(BM_RangeResultShownAtItsEnd)->Arg(100000)->Arg(1000000)->Arg(8000000)->Unit(benchmark::kMillisecond);
void BM_RangeResultLaidOut(benchmark::State& state) { showResult(state, true, 0); }
BENCHMARK(BM_RangeResultLaidOut)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A shown result recoloured: one word, or the whole text made plain.
void recolour(benchmark::State& state, bool whole) {
  qtApp();
  Pane p;
  p.show(state.range(0));
  p.d.app().event([&] { p.pane.Visible = true; });
  bool plain = false;
  for (auto _ : state) {
    plain = !plain;
    p.d.app().event([&] {
      p.pane.setSelStart(whole ? 0 : 200);
      p.pane.setSelLength(whole ? Len(p.pane.text()) : 6);
      p.pane.setSelColor(plain ? kWindowText : 0xFF);
      p.pane.setSelStart(0);
    });
    benchmark::DoNotOptimize(p.widget.viewport()->grab());
  }
}
void BM_RangeResultOneWordRecoloured(benchmark::State& state) { recolour(state, false); }
BENCHMARK(BM_RangeResultOneWordRecoloured)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
void BM_RangeResultAllRecoloured(benchmark::State& state) { recolour(state, true); }
BENCHMARK(BM_RangeResultAllRecoloured)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Any other event while a large result is shown: the view finds the pane
// unchanged.
void BM_EventBesideAShownResult(benchmark::State& state) {
  qtApp();
  Pane p;
  p.show(state.range(0));
  p.d.app().event([&] { p.pane.Visible = true; });
  int i = 0;
  for (auto _ : state) p.d.app().event([&] { p.f.Text1.setText(NumText(++i)); });
}
BENCHMARK(BM_EventBesideAShownResult)->Arg(1000000)->Arg(8000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
