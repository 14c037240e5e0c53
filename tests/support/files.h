#pragma once
// Files as another program sees them: the rows of a table file read straight
// from disk, and the bytes of the user's own files.

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace zuvo::testing {

// How a table file is read from outside the program.
struct DiskRead {
  const char* null = "NULL";      // the text a NULL column reads as
  bool missingIsEmpty = false;    // a file that cannot be opened reads as no rows
  bool writable = false;          // opened for writing, so SQLite rolls back what a killed run left
};

// The rows of `sql` on `file`, each a list of its columns.
std::vector<std::vector<std::string>> tableCells(const std::filesystem::path& file, const std::string& sql,
                                                 const DiskRead& how = {});

// The rows of `sql` on `file`, the columns of each row joined by `separator`.
std::vector<std::string> tableRows(const std::filesystem::path& file, const std::string& sql,
                                   std::string_view separator, const DiskRead& how = {});

// Runs `sql` on the table file, as another program changing it would; a
// failure is fatal to the caller under ASSERT_NO_FATAL_FAILURE.
void execOn(const std::filesystem::path& file, const std::string& sql);

std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, std::string_view bytes);

// A batch file's bytes: lines joined by the line end, in GBK, UTF-8, or
// UTF-8 or UTF-16 behind a byte-order mark.
enum class Encoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };
std::string fileBytes(const std::vector<Text>& lines, Encoding enc = Encoding::Gbk, TextView lineEnd = u"\r\n",
                      bool lastLineEnd = true);

// A FIFO that lives as long as the object. Whoever opens it to read and
// waits for a writer is let go at once with nothing to read: a writer opens
// and closes it whenever a reader is there. So a program that blocks on the
// FIFO instead of refusing it reads an empty file rather than stalling the
// run, and its test fails on what it then does.
class Fifo {
 public:
  explicit Fifo(std::filesystem::path path);
  ~Fifo();
  Fifo(const Fifo&) = delete;
  Fifo& operator=(const Fifo&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::atomic<bool> done_{false};
  std::thread releaser_;
};

}  // namespace zuvo::testing
