#include "store/tables.h"

#include <cstdlib>

namespace zuvo {

std::filesystem::path defaultDataDir() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::filesystem::path(xdg) / "zuvo";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / ".local" / "share" / "zuvo";
}

namespace tables {

namespace {
TableSchema table(std::string file, std::vector<std::string> fields, std::vector<std::string> indexes) {
  TableSchema s;
  s.file = std::move(file);
  s.table = "表1";
  s.fields = std::move(fields);
  s.indexes = std::move(indexes);
  return s;
}
}  // namespace

TableSchema sentences() { return table("XHKA.db", {"ID", "ZD3", "ZD4"}, {"ID"}); }
TableSchema sentenceSearch() { return table("XHKB.db", {"ID", "Zd1"}, {"ID"}); }
TableSchema verbs() {
  return table("DCK1.db", {"ID", "ZD1", "ZD2", "ZD3", "ZD4", "ZD5", "ZD6", "ZD7", "ZD8", "ZD9", "ZD10", "ZD11"},
          {"ID", "ZD1", "ZD5"});
}
TableSchema verbForms() { return table("DCK2.db", {"ID", "ZD1", "ZD2", "ZD3"}, {"ID", "ZD1", "ZD2"}); }
TableSchema verbSearch() { return table("DCK3.db", {"ID", "ZD1", "ZD2", "ZD3"}, {"ID", "ZD3"}); }
TableSchema words() {
  return table("CKUA.db", {"ID", "ZD1", "ZD2", "ZD3", "ZD4", "ZD5"}, {"ZD1", "ZD2", "ZD3"});
}
TableSchema wordSearch() { return table("CKUB.db", {"ID", "ZD1", "ZD2"}, {"ZD2"}); }
TableSchema wordStagingKeys() { return table("CKUA0F.db", {"ID", "ZD1", "ZD2", "ZD3", "ZD4"}, {}); }
TableSchema wordStagingPool() { return table("CKUB0F.db", {"ID", "ZD1", "ZD2", "ZD3", "ZD4"}, {"ZD1"}); }
TableSchema places() {
  std::vector<std::string> f{"ID"};
  for (int i = 1; i <= 17; ++i) f.push_back("ZD" + std::to_string(i));
  return table("DMK0.db", f, {"ID", "ZD1", "ZD2"});
}
TableSchema placeSearch() { return table("DMK1.db", {"ID", "ZD1", "ZD2"}, {"ID"}); }
TableSchema placeNames() { return table("DMK2.db", {"ID", "ZD1", "ZD2", "ZD3", "ZD4"}, {"ID", "ZD1"}); }

}  // namespace tables
}  // namespace zuvo
