#include "store/seed.h"

#include <sqlite3.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "store/file_messages.h"

namespace zuvo {

namespace {

std::optional<Text> unescape(std::string_view cell) {
  if (cell.empty()) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] == '\\' && i + 1 < cell.size()) {
      const char n = cell[++i];
      if (n == 'n') out += "\r\n";
      else if (n == 't') out += '\t';
      else out += n;
    } else {
      out += cell[i];
    }
  }
  return fromUtf8(out);
}

std::vector<std::string_view> split(std::string_view line, char sep) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (;;) {
    const size_t p = line.find(sep, start);
    out.push_back(line.substr(start, p == std::string_view::npos ? std::string_view::npos : p - start));
    if (p == std::string_view::npos) break;
    start = p + 1;
  }
  return out;
}

std::string cannotCreate(const std::filesystem::path& file) {
  return "无法创建数据文件：" + file.string() + "\r\n请确认数据文件夹可以写入、磁盘仍有空间。";
}

class Db {
 public:
  explicit Db(const std::filesystem::path& file) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
      throw std::runtime_error(cannotCreate(file));
  }
  ~Db() { sqlite3_close(db_); }
  void exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
      std::string m = err ? err : "数据库操作失败";
      sqlite3_free(err);
      throw std::runtime_error(m);
    }
  }
  sqlite3* get() { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace

// An installed program finds its rows beside it, in ../share/zuvo; a program
// run from its build tree takes them from the source tree.
std::filesystem::path shippedDataDir() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const auto installed = exe.parent_path().parent_path() / "share" / "zuvo";
    if (std::filesystem::is_directory(installed, ec)) return installed;
  }
  return ZUVO_DATA_DIR;
}

SeedRows parseSeed(std::string_view content) {
  SeedRows out;
  bool header = true;
  for (auto line : split(content, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (header) {
      for (auto f : split(line, '\t')) out.fields.emplace_back(f);
      header = false;
      continue;
    }
    if (line.empty()) continue;
    std::vector<std::optional<Text>> row;
    for (auto cell : split(line, '\t')) row.push_back(unescape(cell));
    row.resize(out.fields.size());
    out.rows.push_back(std::move(row));
  }
  return out;
}

void createTable(const std::filesystem::path& file, const TableSchema& schema) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) throw std::runtime_error(cannotCreate(file));
  const auto temp = file.string() + ".new";
  std::filesystem::remove(temp);
  try {
    {
      Db db(temp);
      db.exec("BEGIN");
      std::string cols;
      for (const auto& f : schema.fields) {
        if (!cols.empty()) cols += ", ";
        cols += f == "ID" ? sqlName(f) + " INTEGER PRIMARY KEY" : sqlName(f) + " TEXT";
      }
      db.exec("CREATE TABLE " + sqlName(schema.table) + " (" + cols + ")");
      for (const auto& ix : schema.indexes) {
        if (ix == "ID" && !schema.fields.empty() && schema.fields[0] == "ID") continue;
        db.exec("CREATE INDEX " + sqlName(schema.table + "_" + ix) + " ON " + sqlName(schema.table) + " (" +
                sqlName(ix) + ")");
      }
      if (!schema.seedFile.empty()) {
        const auto seedPath = shippedDataDir() / schema.seedFile;
        std::ifstream in(seedPath, std::ios::binary);
        if (!in) throw std::runtime_error("缺少随程序提供的数据：" + seedPath.string() + "\r\n请重新安装本程序。");
        std::stringstream ss;
        ss << in.rdbuf();
        SeedRows seed = parseSeed(ss.str());
        std::string names, params;
        for (size_t i = 0; i < seed.fields.size(); ++i) {
          if (i) names += ", ", params += ", ";
          names += sqlName(seed.fields[i]);
          params += "?" + std::to_string(i + 1);
        }
        sqlite3_stmt* st = nullptr;
        const std::string sql = "INSERT INTO " + sqlName(schema.table) + " (" + names + ") VALUES (" + params + ")";
        if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
          throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + "（随程序提供的数据 " + seedPath.string() + "）");
        for (const auto& row : seed.rows) {
          sqlite3_reset(st);
          for (size_t i = 0; i < row.size(); ++i) {
            if (!row[i]) {
              sqlite3_bind_null(st, static_cast<int>(i) + 1);
              continue;
            }
            const std::string u = toUtf8(*row[i]);
            sqlite3_bind_text(st, static_cast<int>(i) + 1, u.data(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
          }
          if (sqlite3_step(st) != SQLITE_DONE) {
            std::string m = sqlite3_errmsg(db.get());
            sqlite3_finalize(st);
            throw std::runtime_error(m + "（随程序提供的数据 " + seedPath.string() + "）");
          }
        }
        sqlite3_finalize(st);
      }
      db.exec("COMMIT");
    }
    std::filesystem::rename(temp, file);
  } catch (const std::exception& e) {
    std::filesystem::remove(temp, ec);
    // SQLite's or the system's words (a full disk, a folder not writable)
    // only as a detail.
    if (file_messages::toldInChinese(e.what())) throw;
    throw std::runtime_error(cannotCreate(file) + file_messages::detail(e.what()));
  }
}

}  // namespace zuvo
