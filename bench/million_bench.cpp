// The main window at 1,000,000 sentence pairs, 100,000 verbs with example
// texts and 1,000,000 words: start-up to the shown window, the first
// keystroke that needs the sentence grid (its mirror loads), the same after
// another program saved into the sentences, a keystroke after it for a word
// hit and for an input found nowhere, one range query,
// the resident memory once every grid is loaded, and a save while the
// table files are checked. The CPU column counts every thread of the
// process (the grid read decodes on several). Each first keystroke runs in
// a program of its own, started afresh, as a user's first keystroke does:
// its figures are the benchmark's time and counters, not the CPU column;
// each sample's figures are also written to the error stream, and the
// counters give their medians.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/FrmLexaro.h"
#include "big_dictionary.h"
#include "platform/scripted_dialogs.h"
#include "platform/user.h"
#include "sentence_pair.h"

namespace zuvo {
namespace {

void BM_MillionStartUp(benchmark::State& state) {
  const auto dir = bench::millionDictionary();
  for (auto _ : state) {
    auto program = std::make_unique<bench::BigProgram>(dir);
    benchmark::DoNotOptimize(&program->main);
    state.PauseTiming();
    program.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MillionStartUp)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Fresh memory the process took from the system: its minor page faults.
long minorFaults() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return use.ru_minflt;
}

// CPU time of every thread of the process so far, ended ones included.
double cpuMs() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
  return ms(use.ru_utime) + ms(use.ru_stime);
}

// The yardstick for a keystroke that fills fresh memory: the time one
// thread takes to touch as many fresh pages, doing nothing else.
double touchFreshPages(long pages) {
  const size_t bytes = static_cast<size_t>(pages) * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  if (bytes == 0) return 0;
  const auto start = std::chrono::steady_clock::now();
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return 0;
  auto* bytesAt = static_cast<volatile char*>(p);
  for (size_t i = 0; i < bytes; i += static_cast<size_t>(::sysconf(_SC_PAGESIZE))) bytesAt[i] = 1;
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  ::munmap(p, bytes);
  return ms;
}

// The process's anonymous memory the system backs with huge pages, in MB.
double hugePagesMb() {
  std::ifstream rollup("/proc/self/smaps_rollup");
  for (std::string line; std::getline(rollup, line);)
    if (line.starts_with("AnonHugePages:")) return std::stod(line.substr(14)) / 1024;
  return 0;
}

// What one first keystroke cost its process.
struct KeystrokeSample {
  bool ok = false;
  double wallMs = 0, cpuMs = 0, freshMb = 0, residentMb = 0, touchMs = 0, hugeMb = 0, peakMb = 0;
};

// The benchmark program started again with this flag, the dictionary
// folder, the wait after the window shows, the pipe to write to and whether
// the process refuses huge pages, runs one first keystroke in its fresh
// process and writes what it cost.
constexpr std::string_view kKeystrokeChild = "--first-keystroke-in-this-process";

// "na" is not looked up, so "d" is the first keystroke that scans the
// sentence grid: typed at once, or as a user types it, half a second after
// the window shows.
int firstKeystrokeHere(const char* dir, int afterMs, int fd, bool noHugePages) {
  KeystrokeSample s;
  if (noHugePages && ::prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) != 0) return 1;
  {
    bench::BigProgram program{std::filesystem::path(dir)};
    program.user.type(program.main.RichTextBox16, u"na");
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    const long faults = minorFaults();
    const double cpu = cpuMs();
    const auto start = std::chrono::steady_clock::now();
    s.ok = program.user.type(program.main.RichTextBox16, u"d");
    s.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    s.cpuMs = cpuMs() - cpu;
    const long pages = minorFaults() - faults;
    s.residentMb = bench::residentMegabytes();
    s.hugeMb = hugePagesMb();
    s.peakMb = bench::peakMemoryMb();
    s.freshMb = static_cast<double>(pages) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
    s.touchMs = touchFreshPages(pages);
  }
  const std::string line = std::to_string(s.ok) + " " + std::to_string(s.wallMs) + " " + std::to_string(s.cpuMs) + " " +
                           std::to_string(s.freshMb) + " " + std::to_string(s.residentMb) + " " +
                           std::to_string(s.touchMs) + " " + std::to_string(s.hugeMb) + " " + std::to_string(s.peakMb) + "\n";
  return ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size()) ? 0 : 1;
}

// One first keystroke in a program of its own: this benchmark program
// started afresh, so that no memory an earlier program freed is reused.
KeystrokeSample firstKeystrokeInAFreshProcess(const std::filesystem::path& dir, int afterMs, bool noHugePages) {
  KeystrokeSample s;
  int fds[2];
  if (::pipe(fds) != 0) return s;
  std::string exe = "/proc/self/exe", flag(kKeystrokeChild), folder = dir.string(), after = std::to_string(afterMs),
              fd = std::to_string(fds[1]), huge = noHugePages ? "no-huge-pages" : "huge-pages";
  char* argv[] = {exe.data(), flag.data(), folder.data(), after.data(), fd.data(), huge.data(), nullptr};
  pid_t pid = 0;
  const bool started = ::posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) == 0;
  ::close(fds[1]);
  std::string out;
  char buf[256];
  for (ssize_t n; started && (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  if (!started || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return s;
  std::istringstream in(out);
  int ok = 0;
  in >> ok >> s.wallMs >> s.cpuMs >> s.freshMb >> s.residentMb >> s.touchMs >> s.hugeMb >> s.peakMb;
  s.ok = in && ok;
  return s;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Each sample a fresh process: its wall time is the benchmark's time; beside
// it the CPU time of all its threads, the fresh memory it filled (the grid's
// mirror, mostly), the time merely touching that many fresh pages takes on
// this machine, the huge pages the process was granted, and its resident
// memory after the keystroke and at its peak. Medians of the samples, each
// sample also on the error stream with the load average.
void firstKeystroke(benchmark::State& state, const char* name, int afterMs, bool noHugePages = false) {
  const auto dir = bench::millionDictionary();
  std::vector<double> wall, cpu, fresh, resident, touch, huge, peak;
  for (auto _ : state) {
    const KeystrokeSample s = firstKeystrokeInAFreshProcess(dir, afterMs, noHugePages);
    if (!s.ok) {
      state.SkipWithError("the fresh program took no keystroke");
      break;
    }
    state.SetIterationTime(s.wallMs / 1e3);
    wall.push_back(s.wallMs), cpu.push_back(s.cpuMs / 1e3), fresh.push_back(s.freshMb), resident.push_back(s.residentMb);
    touch.push_back(s.touchMs), huge.push_back(s.hugeMb), peak.push_back(s.peakMb);
    double load = 0;
    std::ifstream("/proc/loadavg") >> load;
    std::fprintf(stderr, "%s sample: %.1f ms wall, %.3f CPU-s, %.1f MB fresh, %.1f MB huge, %.1f MB resident, %.1f MB peak, load %.2f\n",
                 name, s.wallMs, s.cpuMs / 1e3, s.freshMb, s.hugeMb, s.residentMb, s.peakMb, load);
  }
  state.counters["median_ms"] = median(wall);
  state.counters["cpu_s"] = median(cpu);
  state.counters["fresh_MB"] = median(fresh);
  state.counters["huge_MB"] = median(huge);
  state.counters["resident_MB"] = median(resident);
  state.counters["peak_MB"] = median(peak);
  state.counters["touch_fresh_ms"] = median(touch);
}
void BM_MillionFirstKeystroke(benchmark::State& state) { firstKeystroke(state, "first keystroke", 0); }
BENCHMARK(BM_MillionFirstKeystroke)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_MillionFirstKeystrokeAfterHalfASecond(benchmark::State& state) { firstKeystroke(state, "first keystroke after half a second", 500); }
BENCHMARK(BM_MillionFirstKeystrokeAfterHalfASecond)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The same where the system refuses the process huge pages.
void BM_MillionFirstKeystrokeNoHugePages(benchmark::State& state) { firstKeystroke(state, "first keystroke, no huge pages", 0, true); }
BENCHMARK(BM_MillionFirstKeystrokeNoHugePages)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// Another program (a second copy of this one) saves into the sentence
// search table: the next keystroke that scans it reads its grid again.
// Beside each keystroke, the yardstick: SQLite reading the same table whole
// on a fresh connection (its page cache empty, as the program's is after
// another program's save), set as the program sets its connections and,
// for comparison, with SQLite's defaults.
void BM_MillionKeystrokeAfterAnotherProgramSaved(benchmark::State& state) {
  const auto dir = bench::millionDictionary();
  const auto file = dir / "XHKB.db";
  bench::BigProgram program(dir);
  FrmLexaro* f = &program.main;
  program.user.type(f->RichTextBox16, u"nad");  // the read-ahead taken over
  using Clock = std::chrono::steady_clock;
  auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  double keystrokes = 0, reads = 0, defaultReads = 0;
  for (auto _ : state) {
    state.PauseTiming();
    program.app.event([&] { f->RichTextBox16.setText(u""); });
    program.user.type(f->RichTextBox16, u"na");
    bench::saveAsAnotherProgram(file);
    auto start = Clock::now();
    if (bench::readWholeTable(file) != 1000000) state.SkipWithError("the table was not read whole");
    defaultReads += ms(Clock::now() - start);
    start = Clock::now();
    if (bench::readWholeTable(file, true) != 1000000) state.SkipWithError("the table was not read whole");
    reads += ms(Clock::now() - start);
    start = Clock::now();
    state.ResumeTiming();
    if (!program.user.type(f->RichTextBox16, u"d")) state.SkipWithError("the input box took no keystroke");
    keystrokes += ms(Clock::now() - start);
  }
  const double n = static_cast<double>(state.iterations());
  // The goal is set against the faster of the two reads.
  state.counters["sqlite_read_ms"] = defaultReads / n;
  state.counters["sqlite_read_as_program_ms"] = reads / n;
  state.counters["x_read"] = keystrokes / std::min(defaultReads, reads);
  state.counters["resident_MB"] = bench::residentMegabytes();
}
BENCHMARK(BM_MillionKeystrokeAfterAnotherProgramSaved)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(5);

void keystroke(benchmark::State& state, TextView before, TextView typed) {
  bench::BigProgram program(bench::millionDictionary());
  bench::keystrokes(state, program, before, typed);
}

void BM_MillionKeystrokeWordHit(benchmark::State& state) { keystroke(state, u"palabra50000", u"0"); }
BENCHMARK(BM_MillionKeystrokeWordHit)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_MillionKeystrokeFoundNowhere(benchmark::State& state) { keystroke(state, u"nada", u"x"); }
BENCHMARK(BM_MillionKeystrokeFoundNowhere)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void rangeQuery(benchmark::State& state, TextView input) {
  const auto dir = bench::millionDictionary();
  const bool peakReset = bench::resetPeakMemory();
  bench::BigProgram program(dir);
  FrmLexaro* f = &program.main;
  // The grids are loaded by a first query, not timed.
  program.app.event([&] {
    f->RichTextBox16.setText(input);
    f->RangeQueryGuard = u"0";
  });
  program.app.event([&] { f->Command17_Click(); });
  for (auto _ : state) {
    state.PauseTiming();
    program.app.event([&] {
      f->RichTextBox16.setText(input);
      f->RangeQueryGuard = u"0";
    });
    state.ResumeTiming();
    program.app.event([&] { f->Command17_Click(); });
  }
  state.counters["result_chars"] = static_cast<double>(f->RichTextBox3.text().size());
  // Every grid is loaded now: the program at its largest.
  state.counters["resident_MB"] = bench::residentMegabytes();
  // The session's peak, from the program's start.
  if (peakReset) state.counters["peak_MB"] = bench::peakMemoryMb();
  if (!program.dialogs.messages.empty()) state.SkipWithError("the query found nothing");
}

void BM_MillionRangeQueryFewMatches(benchmark::State& state) { rangeQuery(state, u"número 424242."); }
BENCHMARK(BM_MillionRangeQueryFewMatches)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Whether this process holds SQLite's read lock on a table file, as Linux
// lists it: a read of the file is under way on one of its connections.
// Looked up in /proc/locks, which opens nothing of the file: closing a
// descriptor of it would drop every lock the process holds on it.
class ReadLockWatch {
 public:
  explicit ReadLockWatch(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0) inode_ = static_cast<unsigned long>(st.st_ino);
  }
  bool held() const {
    // The bytes SQLite locks for its readers: from the lock byte, at 1 GiB, on.
    constexpr unsigned long long kSharedFirst = 0x40000000ull + 2;
    std::ifstream locks("/proc/locks");
    const std::string self = " " + std::to_string(::getpid()) + " ";
    for (std::string line; std::getline(locks, line);) {
      if (line.find("->") != std::string::npos || line.find(self) == std::string::npos) continue;
      std::istringstream fields(line.substr(line.find(self) + self.size()));
      std::string device;
      unsigned long long start = 0;
      std::string end;
      if (!(fields >> device >> start >> end)) continue;
      const auto colon = device.rfind(':');
      if (colon == std::string::npos || std::stoul(device.substr(colon + 1)) != inode_) continue;
      if (start <= kSharedFirst && (end == "EOF" || std::stoull(end) >= kSharedFirst)) return true;
    }
    return false;
  }

 private:
  unsigned long inode_ = 0;
};

// A sentence pair saved while the check of the file it writes runs. The
// checks begin with the first event after the window has shown and read one
// file at a time, after the grids read ahead; the save comes as soon as the
// check of the sentence file holds its read lock (between events nothing
// else of the program reads that file). A save into a file whose check has
// not ended may wait for that check, or interrupt it: either way its time
// is what the user waits. Should the lock not be seen, the save comes while
// the check is still to run; `saved_while_checking` is the share of saves
// made with the check under way.
void BM_MillionSaveWhileTheFilesAreChecked(benchmark::State& state) {
  const auto dir = bench::millionDictionary();
  const ReadLockWatch sentences(dir / "XHKA.db");
  int64_t n = 0;
  double whileChecking = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto program = std::make_unique<bench::BigProgram>(dir);
    FrmLexaro& f = program->main;
    program->app.event([] {});
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool checking = false;
    while (!(checking = sentences.held()) && !f.Data1.fileChecked() && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    if (f.Data1.fileChecked()) {
      state.SkipWithError("the check ended before the save");
      break;
    }
    whileChecking += checking ? 1 : 0;
    const Text k = NumText(++n);
    state.ResumeTiming();
    bench::saveSentencePair(*program, u"检查中保存" + k, u"guardado durante la comprobación " + k);
    state.PauseTiming();
    if (!program->dialogs.messages.empty()) {
      state.SkipWithError(("the save was refused: " + toUtf8(program->dialogs.messages[0].prompt)).c_str());
      break;
    }
    program.reset();
    state.ResumeTiming();
  }
  state.counters["saved_while_checking"] = whileChecking / static_cast<double>(std::max<int64_t>(n, 1));
}
BENCHMARK(BM_MillionSaveWhileTheFilesAreChecked)->Unit(benchmark::kMillisecond)->Iterations(5);

// How long the check of the largest file takes once its turn has come: from
// the check taking its read lock on the file to its end. The grid read
// ahead of the same file holds that lock earlier; the check is the last to
// take it, so the time runs from the last time the lock was taken.
void BM_MillionFileCheck(benchmark::State& state) {
  const auto dir = bench::millionDictionary();
  const ReadLockWatch search(dir / "XHKB.db");
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    auto program = std::make_unique<bench::BigProgram>(dir);
    program->app.event([] {});
    std::optional<Clock::time_point> taken;
    bool wasHeld = false;
    while (!program->main.Data2.fileChecked()) {
      const bool held = search.held();
      if (held && !wasHeld) taken = Clock::now();
      wasHeld = held;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto end = Clock::now();
    if (!taken) {
      state.SkipWithError("the check was never seen reading the file");
      break;
    }
    if (!program->dialogs.messages.empty()) {
      state.SkipWithError("the check found damage");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(end - *taken).count());
    program.reset();
  }
}
BENCHMARK(BM_MillionFileCheck)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
}  // namespace zuvo

// The benchmarks, or one first keystroke when started for it.
int main(int argc, char** argv) {
  if (argc == 6 && argv[1] == zuvo::kKeystrokeChild)
    return zuvo::firstKeystrokeHere(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                                    std::string_view(argv[5]) == "no-huge-pages");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
