// Typical requests to the number worker, from the request text to the words
// in the main window's result box: each must answer well within a keystroke.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "app/FrmLexaro.h"
#include "numbers/FrmSZ.h"
#include "platform/scripted_dialogs.h"

namespace zuvo {
namespace {

std::filesystem::path freshFolder() {
  auto dir = std::filesystem::temp_directory_path() / ("zuvo-numbers-bench-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  return dir;
}

// The worker over its own data folder, with the number-word table open.
class Worker {
 public:
  Worker() : dir_(freshFolder()), app_(dir_, dialogs_) {
    app_.event([&] { app_.form<FrmSZ>(); });
  }
  ~Worker() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const Text& ask(TextView request) {
    app_.event([&] {
      FrmSZ& sz = app_.form<FrmSZ>();
      sz.Text35.setText(request);
      sz.Command1.setValue(true);
    });
    return app_.form<FrmLexaro>().Text33.text();
  }

 private:
  std::filesystem::path dir_;
  ScriptedDialogs dialogs_;
  Application app_;
};

Worker& worker() {
  static Worker w;
  return w;
}

void request(benchmark::State& state, const char16_t* text) {
  Worker& w = worker();
  for (auto _ : state) benchmark::DoNotOptimize(w.ask(text).size());
}

// A paste of a million characters: the scan and the conversion read each once.
void millionCharacters(benchmark::State& state, const char16_t* unit) {
  Worker& w = worker();
  Text text;
  while (text.size() < 1'000'000) text += unit;
  for (auto _ : state) benchmark::DoNotOptimize(w.ask(text).size());
}

BENCHMARK_CAPTURE(millionCharacters, digits, u"7")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(millionCharacters, chinese_numerals, u"三")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(millionCharacters, percent_signs, u"%")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(millionCharacters, units_and_zeros, u"万零")->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(request, digits_25, u"25");
BENCHMARK_CAPTURE(request, chinese_123, u"一百二十三");
BENCHMARK_CAPTURE(request, percent_45, u"45%");
BENCHMARK_CAPTURE(request, date_2004_5_6, u"2004年5月6日");
BENCHMARK_CAPTURE(request, chinese_date_12_25, u"十二月二十五日");
BENCHMARK_CAPTURE(request, ten_digits, u"1234567890");
BENCHMARK_CAPTURE(request, twelve_digits, u"123456789012");

}  // namespace
}  // namespace zuvo
