#pragma once
// A benchmark's scratch folder in TMPDIR, named after its benchmark and this
// process, removed when the benchmark program ends however its benchmarks
// were repeated.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>

namespace zuvo::bench {

// The same name gives the same folder; it is emptied when first named.
inline std::filesystem::path benchFolder(const std::string& name) {
  auto p = std::filesystem::temp_directory_path() / ("zuvo-bench-" + name + "-" + std::to_string(::getpid()));
  static std::set<std::filesystem::path> made;
  if (made.empty())
    std::atexit([] {
      std::error_code ignored;
      for (const auto& m : made) std::filesystem::remove_all(m, ignored);
    });
  if (made.insert(p).second) {
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
  }
  return p;
}

}  // namespace zuvo::bench
