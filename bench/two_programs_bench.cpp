// Two copies of the program on one data folder, each a process of its own:
// one saves a sentence pair every 100 ms for 30 s, the other types a lookup
// every 200 ms meanwhile. Reported: the saves made and lost (told as failed,
// or missing from the file afterwards), the messages in the words of damage
// and all others, the slowest save and the slowest keystroke of a lookup;
// beside them, the saving copy's first save, made as soon as its window
// shows, before the check of its files has run.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/FrmLexaro.h"
#include "big_dictionary.h"
#include "platform/scripted_dialogs.h"
#include "platform/user.h"
#include "sentence_pair.h"

namespace zuvo {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRun = std::chrono::seconds(30);

struct Figures {
  double count = 0;           // saves made, or lookups typed
  double failed = 0;          // events that showed a message
  double damageWords = 0;     // messages that speak of damage
  double slowestMs = 0;
  double firstMs = 0;         // the saver's save right after its window shows
};

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

bool damageWorded(const Text& prompt) { return prompt.find(u"出错") != Text::npos || prompt.find(u"损坏") != Text::npos; }

void tally(Figures& f, const ScriptedDialogs& dialogs, size_t& seen) {
  for (; seen < dialogs.messages.size(); ++seen) f.damageWords += damageWorded(dialogs.messages[seen].prompt);
}

// Writes one byte and waits for the parent's go.
void ready(int readyFd, int goFd) {
  const char c = 1;
  char go = 0;
  if (::write(readyFd, &c, 1) != 1 || ::read(goFd, &go, 1) != 1) ::_exit(3);
}

void savePair(bench::BigProgram& program, int64_t n) {
  const Text k = NumText(n);
  bench::saveSentencePair(program, u"两个程序" + k, u"dos programas " + k);
}

Figures runSaver(const std::filesystem::path& dir, int readyFd, int goFd) {
  Figures f;
  bench::BigProgram program(dir);
  size_t seen = 0;
  auto start = Clock::now();
  savePair(program, 0);
  f.firstMs = msSince(start);
  tally(f, program.dialogs, seen);
  f.failed = static_cast<double>(program.dialogs.messages.size());
  ready(readyFd, goFd);
  const auto t0 = Clock::now();
  for (int64_t i = 1; Clock::now() - t0 < kRun; ++i) {
    std::this_thread::sleep_until(t0 + std::chrono::milliseconds(100) * (i - 1));
    const size_t before = program.dialogs.messages.size();
    start = Clock::now();
    savePair(program, i);
    f.slowestMs = std::max(f.slowestMs, msSince(start));
    ++f.count;
    f.failed += program.dialogs.messages.size() > before;
    tally(f, program.dialogs, seen);
  }
  return f;
}

Figures runLooker(const std::filesystem::path& dir, int readyFd, int goFd) {
  Figures f;
  bench::BigProgram program(dir);
  FrmLexaro& w = program.main;
  program.user.type(w.RichTextBox16, u"nad");  // the grids loaded, as after a while of use
  size_t seen = 0;
  tally(f, program.dialogs, seen);
  ready(readyFd, goFd);
  const auto t0 = Clock::now();
  for (int64_t i = 1; Clock::now() - t0 < kRun; ++i) {
    std::this_thread::sleep_until(t0 + std::chrono::milliseconds(200) * (i - 1));
    program.app.event([&] { w.RichTextBox16.setText(u""); });
    const size_t before = program.dialogs.messages.size();
    for (const char16_t* key : {u"n", u"a", u"d"}) {
      const auto start = Clock::now();
      program.user.type(w.RichTextBox16, key);
      f.slowestMs = std::max(f.slowestMs, msSince(start));
    }
    ++f.count;
    f.failed += program.dialogs.messages.size() > before;
    tally(f, program.dialogs, seen);
  }
  return f;
}

// A copy of the dictionary folder, so that the saves leave the shared one as
// the other benchmarks expect it.
std::filesystem::path copyOf(const std::filesystem::path& from, int64_t pairs) {
  const auto to = bench::benchFolder("two-programs-" + std::to_string(pairs));
  std::filesystem::create_directories(to);
  for (const auto& e : std::filesystem::directory_iterator(from))
    if (e.path().extension() == ".db")
      std::filesystem::copy_file(e.path(), to / e.path().filename(), std::filesystem::copy_options::overwrite_existing);
  return to;
}

pid_t spawn(Figures (*run)(const std::filesystem::path&, int, int), const std::filesystem::path& dir, int readyFd,
            int goFd, int outFd) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  Figures f;
  try {
    f = run(dir, readyFd, goFd);
  } catch (...) {
    ::_exit(2);
  }
  const bool written = ::write(outFd, &f, sizeof f) == static_cast<ssize_t>(sizeof f);
  ::_exit(written ? 0 : 4);  // no exit handlers: the folders are the parent's
}

void BM_TwoProgramsOneSavingOneLookingUp(benchmark::State& state) {
  const int64_t pairs = state.range(0);
  const auto source = pairs >= 1000000 ? bench::millionDictionary() : bench::bigDictionary();
  for (auto _ : state) {
    state.PauseTiming();
    const auto dir = copyOf(source, pairs);
    int readyPipe[2], goPipe[2], outPipe[2][2];
    if (::pipe(readyPipe) || ::pipe(goPipe) || ::pipe(outPipe[0]) || ::pipe(outPipe[1])) {
      state.SkipWithError("no pipe");
      return;
    }
    const pid_t saver = spawn(runSaver, dir, readyPipe[1], goPipe[0], outPipe[0][1]);
    const pid_t looker = spawn(runLooker, dir, readyPipe[1], goPipe[0], outPipe[1][1]);
    char c = 0;
    bool allReady = ::read(readyPipe[0], &c, 1) == 1 && ::read(readyPipe[0], &c, 1) == 1;
    const char go[2] = {1, 1};
    allReady = allReady && ::write(goPipe[1], go, 2) == 2;
    state.ResumeTiming();
    Figures s, l;
    const bool read = ::read(outPipe[0][0], &s, sizeof s) == static_cast<ssize_t>(sizeof s) &&
                      ::read(outPipe[1][0], &l, sizeof l) == static_cast<ssize_t>(sizeof l);
    state.PauseTiming();
    int status[2] = {0, 0};
    ::waitpid(saver, &status[0], 0);
    ::waitpid(looker, &status[1], 0);
    for (int fd : {readyPipe[0], readyPipe[1], goPipe[0], goPipe[1], outPipe[0][0], outPipe[0][1], outPipe[1][0], outPipe[1][1]})
      ::close(fd);
    if (!allReady || !read) {
      state.SkipWithError("a copy of the program did not run to its end");
      return;
    }
    // Every save told as made is in the file: the first, and the timed ones.
    const int64_t rows = bench::readWholeTable(dir / "XHKA.db");
    const double stored = static_cast<double>(rows - pairs);
    state.counters["saves"] = s.count + 1;
    state.counters["saves_lost"] = (s.count + 1) - stored;
    state.counters["saves_told_failed"] = s.failed;
    state.counters["damage_worded_messages"] = s.damageWords + l.damageWords;
    state.counters["lookups"] = l.count;
    state.counters["lookups_told_failed"] = l.failed;
    state.counters["slowest_save_ms"] = s.slowestMs;
    state.counters["slowest_lookup_key_ms"] = l.slowestMs;
    state.counters["first_save_ms"] = s.firstMs;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TwoProgramsOneSavingOneLookingUp)->Arg(100000)->Arg(1000000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace zuvo
