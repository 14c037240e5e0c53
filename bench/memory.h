#pragma once
// The process's resident memory as Linux tells it: now, and the peak since
// the last reset.

#include <unistd.h>

#include <fstream>
#include <string>

namespace zuvo::bench {

inline double residentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Starts the peak afresh from the resident memory now; false when the
// system refused, and the peak then runs from the process's start.
inline bool resetPeakMemory() {
  std::ofstream refs("/proc/self/clear_refs");
  refs << "5";
  refs.flush();
  return static_cast<bool>(refs);
}

// The process's peak resident memory (VmHWM) since the last reset, in MB.
inline double peakMemoryMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024;
  return 0;
}

}  // namespace zuvo::bench
