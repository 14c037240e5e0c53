// A range result shown in the desktop's rich-text pane: the view's text and
// character formats set from the model and the pane painted once, for
// results of 100,000 up to 8,000,000 characters, a line of about 60
// characters with three format runs each (a dark blue Chinese part, the
// plain Spanish part, the input red and bold).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
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
void writeResult(RichTextBox& pane, int64_t chars) {
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
  pane.setSelStart(0);
}

void BM_RangeResultShown(benchmark::State& state) {
  qtApp();
  const auto dir = bench::benchFolder("pane");
  desktop::Desktop d(dir);
  d.start();
  FrmLexaro& f = d.app().form<FrmLexaro>();
  RichTextBox& pane = f.RichTextBox3;
  QWidget* w = d.viewOf(f)->widgetFor(pane);
  for (auto _ : state) {
    state.PauseTiming();
    d.app().event([&] {
      pane.setText(u"");
      pane.Move(210.02f, 1310, 9490, 3650);
      pane.ZOrder();
      pane.Visible = true;
    });
    d.app().event([&] {
      pane.Visible = false;
      writeResult(pane, state.range(0));
    });
    state.ResumeTiming();
    d.app().event([&] { pane.Visible = true; });
    benchmark::DoNotOptimize(w->grab());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RangeResultShown)->Arg(100000)->Arg(1000000)->Arg(8000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
