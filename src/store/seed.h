#pragma once
// Creating a table's database file, filled from the rows shipped under data/.

#include <filesystem>
#include <string>

#include "store/data_source.h"

namespace zuvo {

// A table's or field's name as SQL writes it.
inline std::string sqlName(const std::string& name) { return "\"" + name + "\""; }

// The folder of the shipped rows.
std::filesystem::path shippedDataDir();

// Creates the file with the table, its fields and indexes, and the shipped
// rows when the schema names a seed file. The file appears whole or not at
// all. Throws std::runtime_error on failure.
void createTable(const std::filesystem::path& file, const TableSchema& schema);

// Parses shipped rows: tab-separated UTF-8, the first line naming the fields;
// an empty cell is no value (NULL); "\n" in a cell is a line break (CR LF),
// "\t" a tab and "\\" a backslash.
struct SeedRows {
  std::vector<std::string> fields;
  std::vector<std::vector<std::optional<Text>>> rows;
};
SeedRows parseSeed(std::string_view content);

}  // namespace zuvo
