// The place window at 100,000 places: one key release in the search box
// (the type-ahead jump's seek), "Buscar" listing a text found in a tenth of
// the places, and opening the window.

#include <benchmark/benchmark.h>
#include <filesystem>

#include "bench_folder.h"
#include "places/place_window.h"
#include "platform/scripted_dialogs.h"
#include "platform/user.h"

namespace zuvo {
namespace {

// Every tenth place has "海港" in its introduction.
std::filesystem::path bigPlaces() {
  static const std::filesystem::path dir = [] {
    const auto p = bench::benchFolder("places");
    ScriptedDialogs dialogs;
    Application app(p, dialogs);
    app.event([&] {
      auto& w = app.form<frm世界地名>();
      for (int i = 0; i < 100000; ++i) {
        const Text n = NumText(i);
        const Text zh = u"城市" + n, west = u"Ciudad" + n;
        const Text intro = i % 10 == 0 ? u"一个海港城市，编号" + n : u"一个内陆城市，编号" + n;
        w.Data1.AddNew();
        w.Text4.setText(west);
        w.Text3.setText(zh);
        w.Text43.setText(u"País" + NumText(i % 200));
        w.Text27.setText(intro);
        w.Data2.AddNew();
        w.Text11.setText(zh + west + u"/" + intro);
        w.Data3.AddNew();
        w.Text23.setText(west);
        w.Text24.setText(zh);
      }
      for (DataSource* d : {&w.Data1, &w.Data2, &w.Data3}) d->MoveFirst();
    });
    return p;
  }();
  return dir;
}

struct Opened {
  ScriptedDialogs dialogs;
  Application app{bigPlaces(), dialogs};
  User user{app};
  frm世界地名* w = nullptr;
  Opened() {
    app.event([&] { w = frm世界地名::open(app); });
  }
};

void BM_PlaceKeyRelease(benchmark::State& state) {
  Opened o;
  int64_t i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // A different partial name each time, so no earlier seek is reused.
    o.app.event([&] { o.w->Text9.setText(u"Ciudad" + NumText(i++) + u"x"); });
    state.ResumeTiming();
    o.user.pressKey(o.w->Text9, kKeyEnd);
  }
  if (o.w->Text7.text() != u"0") state.SkipWithError("the key release did not run");
}
BENCHMARK(BM_PlaceKeyRelease)->Unit(benchmark::kMillisecond);

void BM_PlaceBuscarTenth(benchmark::State& state) {
  Opened o;
  for (auto _ : state) {
    state.PauseTiming();
    o.app.event([&] {
      o.w->Text9.setText(u"海港");
      o.w->Text9.setSelStart(2);
      o.w->Text7.setText(u"0");
    });
    state.ResumeTiming();
    o.user.click(o.w->Command39);
  }
  if (Len(o.w->RichTextBox1.text()) < 10000 * 8) state.SkipWithError("the listing is short");
}
BENCHMARK(BM_PlaceBuscarTenth)->Unit(benchmark::kMillisecond);

void BM_PlaceOpenWindow(benchmark::State& state) {
  bigPlaces();
  for (auto _ : state) {
    Opened o;
    if (!o.w) state.SkipWithError("the window did not open");
  }
}
BENCHMARK(BM_PlaceOpenWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuvo
