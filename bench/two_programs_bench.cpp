// Two copies of the program on one data folder, each a process of its own,
// both at work for 30 s: every 100 to 300 ms each saves a sentence pair or a
// word (in turn) and then types a lookup. Reported: the saves made and lost
// (told as failed, or missing from the files afterwards), the messages in
// the words of damage and all others, the slowest save, the slowest
// keystroke of a lookup and the longest stall of either window (its slowest
// event of any kind); beside them, each copy's first save, made as soon as
// its window shows, before the check of its files has run, at the same
// moment as the other copy's first save. A second run has one copy save
// while the other only looks up.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
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
  double pairs = 0;           // pair saves made
  double words = 0;           // word saves made
  double saveFailed = 0;      // saves that showed a message
  double lookups = 0;         // lookups typed
  double lookupFailed = 0;    // lookups that showed a message
  double damageWords = 0;     // messages that speak of damage
  double slowestSaveMs = 0;
  double slowestKeyMs = 0;
  double longestStallMs = 0;  // the slowest event of the timed run, of any kind
  double firstMs = 0;         // the save right after the window shows
  double firstFailed = 0;
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

// What a copy does in its 30 s.
struct Work {
  int copy;        // 0 or 1: its texts are its own
  bool saves;      // saves pairs and words, else only looks up
  bool looksUp;
  int minMs, maxMs;  // the pause from one round to the next
};

void savePair(bench::BigProgram& program, const Text& k) {
  bench::saveSentencePair(program, u"两个程序" + k, u"dos programas " + k);
}

// A word and its search line saved through the main window in one event, as
// the word panel saves them.
void saveWord(bench::BigProgram& program, const Text& k) {
  FrmLexaro& f = program.main;
  program.app.event([&] {
    f.Data6.AddNew();
    f.Data7.AddNew();
    const Text key = u"programa" + k;
    f.Text51.setText(key);
    f.Text112.setText(key);
    f.Text113.setText(u"程序" + k);
    f.Text36.setText(key);
    f.Text31.setText(key + u"◆程序" + k);
    f.Data6.MoveLast();
    f.Data7.MoveLast();
  });
}

Figures run(const Work& work, const std::filesystem::path& dir, int readyFd, int goFd) {
  Figures f;
  bench::BigProgram program(dir);
  FrmLexaro& w = program.main;
  const Text who = NumText(work.copy) + u"-";
  size_t seen = 0;
  int64_t n = 0;
  auto save = [&](bool timed) {
    const size_t before = program.dialogs.messages.size();
    const auto start = Clock::now();
    if (n % 2 == 0) {
      savePair(program, who + NumText(n));
      ++f.pairs;
    } else {
      saveWord(program, who + NumText(n));
      ++f.words;
    }
    ++n;
    const double ms = msSince(start);
    const bool failed = program.dialogs.messages.size() > before;
    if (timed) {
      f.slowestSaveMs = std::max(f.slowestSaveMs, ms);
      f.longestStallMs = std::max(f.longestStallMs, ms);
      f.saveFailed += failed;
    } else {
      f.firstMs = ms;
      f.firstFailed += failed;
    }
    tally(f, program.dialogs, seen);
  };
  if (!work.saves) {
    program.user.type(w.RichTextBox16, u"nad");  // the grids loaded, as after a while of use
    tally(f, program.dialogs, seen);
  }
  ready(readyFd, goFd);
  // Both copies' first saves at once, each waiting for the check of its files.
  if (work.saves) save(false);
  std::mt19937 pauses(static_cast<unsigned>(work.copy + 1));
  std::uniform_int_distribution<int> pause(work.minMs, work.maxMs);
  const auto t0 = Clock::now();
  for (auto next = t0; Clock::now() - t0 < kRun; next += std::chrono::milliseconds(pause(pauses))) {
    std::this_thread::sleep_until(next);
    if (work.saves) save(true);
    if (!work.looksUp) continue;
    const size_t before = program.dialogs.messages.size();
    auto start = Clock::now();
    program.app.event([&] { w.RichTextBox16.setText(u""); });
    f.longestStallMs = std::max(f.longestStallMs, msSince(start));
    for (const char16_t* key : {u"n", u"a", u"d"}) {
      start = Clock::now();
      program.user.type(w.RichTextBox16, key);
      const double ms = msSince(start);
      f.slowestKeyMs = std::max(f.slowestKeyMs, ms);
      f.longestStallMs = std::max(f.longestStallMs, ms);
    }
    ++f.lookups;
    f.lookupFailed += program.dialogs.messages.size() > before;
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

pid_t spawn(const Work& work, const std::filesystem::path& dir, int readyFd, int goFd, int outFd) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  Figures f;
  try {
    f = run(work, dir, readyFd, goFd);
  } catch (...) {
    ::_exit(2);
  }
  const bool written = ::write(outFd, &f, sizeof f) == static_cast<ssize_t>(sizeof f);
  ::_exit(written ? 0 : 4);  // no exit handlers: the folders are the parent's
}

// Runs the two copies on a copy of the folder, and reports their figures.
void twoCopies(benchmark::State& state, const Work (&work)[2]) {
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
    pid_t copies[2];
    for (int i = 0; i < 2; ++i) copies[i] = spawn(work[i], dir, readyPipe[1], goPipe[0], outPipe[i][1]);
    char c = 0;
    bool allReady = ::read(readyPipe[0], &c, 1) == 1 && ::read(readyPipe[0], &c, 1) == 1;
    const char go[2] = {1, 1};
    allReady = allReady && ::write(goPipe[1], go, 2) == 2;
    state.ResumeTiming();
    Figures f[2];
    bool read = true;
    for (int i = 0; i < 2; ++i) read = read && ::read(outPipe[i][0], &f[i], sizeof f[i]) == static_cast<ssize_t>(sizeof f[i]);
    state.PauseTiming();
    int status[2] = {0, 0};
    for (int i = 0; i < 2; ++i) ::waitpid(copies[i], &status[i], 0);
    for (int fd : {readyPipe[0], readyPipe[1], goPipe[0], goPipe[1], outPipe[0][0], outPipe[0][1], outPipe[1][0], outPipe[1][1]})
      ::close(fd);
    if (!allReady || !read) {
      state.SkipWithError("a copy of the program did not run to its end");
      return;
    }
    // Every save told as made is in the files: the first ones, and the timed
    // ones; a pair in both sentence files, a word in both word files.
    double savedPairs = 0, savedWords = 0, failed = 0;
    for (const Figures& x : f) {
      savedPairs += x.pairs;
      savedWords += x.words;
      failed += x.saveFailed + x.firstFailed;
    }
    const double pairRows = static_cast<double>(bench::readWholeTable(dir / "XHKA.db") - pairs);
    const double searchRows = static_cast<double>(bench::readWholeTable(dir / "XHKB.db") - pairs);
    const double wordRows = static_cast<double>(bench::readWholeTable(dir / "CKUA.db") - pairs);
    const double wordSearchRows = static_cast<double>(bench::readWholeTable(dir / "CKUB.db") - pairs);
    state.counters["saves"] = savedPairs + savedWords;
    state.counters["saves_lost"] = (savedPairs - std::min(pairRows, searchRows)) + (savedWords - std::min(wordRows, wordSearchRows));
    state.counters["partner_rows_differ"] = std::abs(pairRows - searchRows) + std::abs(wordRows - wordSearchRows);
    state.counters["saves_told_failed"] = failed;
    state.counters["damage_worded_messages"] = f[0].damageWords + f[1].damageWords;
    state.counters["lookups"] = f[0].lookups + f[1].lookups;
    state.counters["lookups_told_failed"] = f[0].lookupFailed + f[1].lookupFailed;
    state.counters["slowest_save_ms"] = std::max(f[0].slowestSaveMs, f[1].slowestSaveMs);
    state.counters["slowest_lookup_key_ms"] = std::max(f[0].slowestKeyMs, f[1].slowestKeyMs);
    state.counters["longest_stall_ms"] = std::max(f[0].longestStallMs, f[1].longestStallMs);
    state.counters["first_save_ms"] = std::max(f[0].firstMs, f[1].firstMs);
    state.ResumeTiming();
  }
}

void BM_TwoProgramsBothSavingAndLookingUp(benchmark::State& state) {
  const Work work[2] = {{0, true, true, 100, 300}, {1, true, true, 100, 300}};
  twoCopies(state, work);
}
BENCHMARK(BM_TwoProgramsBothSavingAndLookingUp)->Arg(1000000)->Unit(benchmark::kSecond)->Iterations(1);

void BM_TwoProgramsOneSavingOneLookingUp(benchmark::State& state) {
  const Work work[2] = {{0, true, false, 100, 100}, {1, false, true, 200, 200}};
  twoCopies(state, work);
}
BENCHMARK(BM_TwoProgramsOneSavingOneLookingUp)->Arg(100000)->Arg(1000000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace zuvo
