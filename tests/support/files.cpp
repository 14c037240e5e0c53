#include "support/files.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <sstream>

namespace zuvo::testing {

std::vector<std::vector<std::string>> tableCells(const std::filesystem::path& file, const std::string& sql,
                                                 const DiskRead& how) {
  std::vector<std::vector<std::string>> out;
  sqlite3* db = nullptr;
  const int mode = how.writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
  const int opened = sqlite3_open_v2(file.c_str(), &db, mode, nullptr);
  if (opened != SQLITE_OK && how.missingIsEmpty) {
    sqlite3_close(db);
    return out;
  }
  EXPECT_EQ(opened, SQLITE_OK) << file;
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
  while (st && sqlite3_step(st) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
      row.emplace_back(t ? t : how.null);
    }
    out.push_back(std::move(row));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

std::vector<std::string> tableRows(const std::filesystem::path& file, const std::string& sql,
                                   std::string_view separator, const DiskRead& how) {
  std::vector<std::string> out;
  for (const auto& cells : tableCells(file, sql, how)) {
    std::string row;
    for (size_t c = 0; c < cells.size(); ++c) {
      if (c) row += separator;
      row += cells[c];
    }
    out.push_back(std::move(row));
  }
  return out;
}

void execOn(const std::filesystem::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  // The running program may be reading the file (its check of the file):
  // wait for the lock as another program would.
  sqlite3_busy_timeout(db, 5000);
  char* err = nullptr;
  const int done = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  const std::string why = err ? err : "";
  sqlite3_free(err);
  sqlite3_close(db);
  ASSERT_EQ(done, SQLITE_OK) << why;
}

std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string fileBytes(const std::vector<Text>& lines, Encoding enc, TextView lineEnd, bool lastLineEnd) {
  Text t;
  for (size_t i = 0; i < lines.size(); ++i) {
    t += lines[i];
    if (i + 1 < lines.size() || lastLineEnd) t += lineEnd;
  }
  switch (enc) {
    case Encoding::Gbk:
      return toGbk(t);
    case Encoding::Utf8:
      return toUtf8(t);
    case Encoding::Utf8Bom:
      return "\xEF\xBB\xBF" + toUtf8(t);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      break;
  }
  const bool bigEndian = enc == Encoding::Utf16Be;
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t c : t) {
    const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

Fifo::Fifo(std::filesystem::path path) : path_(std::move(path)) {
  if (::mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed: " + path_.string());
  releaser_ = std::thread([this] {
    while (!done_) {
      // Succeeds only while a reader has the FIFO open.
      const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) ::close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
}

Fifo::~Fifo() {
  done_ = true;
  releaser_.join();
  std::filesystem::remove(path_);
}

}  // namespace zuvo::testing
