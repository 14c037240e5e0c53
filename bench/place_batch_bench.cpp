// Place batch files checked and imported into empty place tables: the two
// presses of the batch button (open, then check and write) on a
// three-column file in order, on one whose lines are all reshaped, and on an
// eighteen-column file. The line counts are arguments, so a cost that grows
// faster than the file shows.

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <functional>

#include "bench_folder.h"
#include "places/place_window.h"
#include "platform/scripted_dialogs.h"
#include "platform/user.h"

namespace zuvo {
namespace {

std::filesystem::path benchDir(const std::string& what) { return bench::benchFolder("place-batch-" + what); }

std::filesystem::path writeFile(const std::string& name, int64_t lines, const std::function<Text(int64_t)>& line) {
  const auto path = benchDir("files") / (name + std::to_string(lines) + ".txt");
  std::filesystem::create_directories(path.parent_path());
  Text t;
  for (int64_t i = 0; i < lines; ++i) t += line(i) + u"\r\n";
  std::ofstream(path, std::ios::binary) << toGbk(t);
  return path;
}

Text threeColumns(int64_t i) { return u"Ciudad" + NumText(i) + u"/城市" + NumText(i) + u"/一个城市，编号" + NumText(i); }
Text reshaped(int64_t i) { return u"城市" + NumText(i) + u"/Ciudad" + NumText(i) + u"/一个城市，编号" + NumText(i); }
Text eighteenColumns(int64_t i) {
  Text line = u"Ciudad" + NumText(i) + u"/城市" + NumText(i);
  for (int c = 3; c <= 17; ++c) line += u"/字段" + NumText(c);
  return line + u"/C" + NumText(i);
}

void importFile(benchmark::State& state, const std::filesystem::path& file, int64_t lines) {
  const auto data = benchDir("data");
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(data);
    {
      ScriptedDialogs dialogs;
      Application app(data, dialogs);
      User user(app);
      frm世界地名* w = nullptr;
      app.event([&] { w = frm世界地名::open(app); });
      user.click(w->Command33);
      int64_t ticks = 0;
      app.onProgress = [&] { ++ticks; };
      dialogs.fileAnswers.push_back(fromUtf8(file.string()));
      state.ResumeTiming();
      user.click(w->Command3);
      user.click(w->Command3);
      state.PauseTiming();
      if (dialogs.messages.empty() || dialogs.messages.back().prompt != u"恭喜您顺利完成批量地名添加！")
        state.SkipWithError("the file was not imported");
      if (w->DBGrid1.Rows() != lines) state.SkipWithError("not every line was stored");
      if (ticks < lines) state.SkipWithError("the progress bar did not move");
    }
    std::filesystem::remove_all(data);
    state.ResumeTiming();
  }
  state.counters["lines"] = static_cast<double>(lines);
  std::filesystem::remove(file);
}

void BM_PlaceBatchThreeColumns(benchmark::State& state) {
  importFile(state, writeFile("three", state.range(0), threeColumns), state.range(0));
}
BENCHMARK(BM_PlaceBatchThreeColumns)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PlaceBatchThreeColumnsReshaped(benchmark::State& state) {
  importFile(state, writeFile("reshaped", state.range(0), reshaped), state.range(0));
}
BENCHMARK(BM_PlaceBatchThreeColumnsReshaped)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PlaceBatchEighteenColumns(benchmark::State& state) {
  importFile(state, writeFile("eighteen", state.range(0), eighteenColumns), state.range(0));
}
BENCHMARK(BM_PlaceBatchEighteenColumns)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace zuvo
