// Reading a whole table into the grid mirror. One thread steps through the
// rows in one read snapshot and copies each block's bytes as they stand;
// other threads turn full blocks into the mirror's columns meanwhile, so a
// large table loads at about the speed SQLite reads it. Blocks keep their
// order, and a table of less than one block never leaves the calling thread.

#include <sqlite3.h>

#include <charconv>
#include <deque>
#include <future>
#include <memory>
#include <system_error>

#include "store/data_source.h"

namespace zuvo {

namespace {

// Blocks being turned into columns beside the reading thread.
constexpr size_t kDecoders = 3;

// A block of rows as SQLite gave them: each column's UTF-8 bytes side by
// side, and where each cell ends. `units` is the decoder's work space, kept
// with the block so that it is reused, never zero-filled afresh; `into`, a
// block of an earlier mirror whose memory the decoded block takes over.
template <class Block>
struct RawBlock {
  std::vector<std::string> bytes;
  std::vector<std::vector<size_t>> ends;
  std::u16string units;
  Block into;
  void reset(size_t cols) {
    bytes.resize(cols);
    ends.resize(cols);
    for (auto& b : bytes) b.clear();
    for (auto& e : ends) e.clear();
  }
};

}  // namespace

int DataSource::readGrid(sqlite3_stmt* st, size_t cols, GridRead& out, const std::atomic<bool>* cancel,
                         std::atomic<bool>* started, std::vector<GridBlock>* reuse) {
  // Each cell is decoded on its own: a damaged sequence never reaches into
  // the next cell. A UTF-8 byte gives at most one UTF-16 unit. The cells are
  // decoded into the block's work space and copied once into a text of
  // their exact size.
  using Raw = RawBlock<GridBlock>;
  auto decode = [cols](Raw& raw) {
    GridBlock block = std::move(raw.into);
    block.resize(cols);
    for (size_t c = 0; c < cols; ++c) {
      const std::string_view bytes = raw.bytes[c];
      GridCells& cells = block[c];
      if (raw.units.size() < bytes.size()) raw.units.resize(bytes.size());
      cells.ends.clear();
      cells.ends.reserve(raw.ends[c].size());
      size_t from = 0, units = 0;
      for (const size_t end : raw.ends[c]) {
        units += utf8ToUnits(bytes.substr(from, end - from), raw.units.data() + units);
        cells.ends.push_back(units);
        from = end;
      }
      cells.text.assign(raw.units.data(), units);
    }
    return block;
  };
  using Job = std::shared_ptr<Raw>;
  struct Decoding {
    std::future<GridBlock> block;
    Job raw;  // handed back once decoded, for a later block's bytes
  };
  std::deque<Decoding> decoding;
  std::vector<Job> spare;
  auto collect = [&] {
    out.blocks.push_back(decoding.front().block.get());
    spare.push_back(std::move(decoding.front().raw));
    decoding.pop_front();
  };
  auto nextRaw = [&] {
    Job raw = spare.empty() ? std::make_shared<Raw>() : std::move(spare.back());
    if (!spare.empty()) spare.pop_back();
    raw->reset(cols);
    raw->into.clear();
    if (reuse && !reuse->empty()) {
      raw->into = std::move(reuse->back());
      reuse->pop_back();
    }
    return raw;
  };
  auto handOver = [&](Job raw) {
    if (decoding.size() >= kDecoders) collect();
    std::future<GridBlock> block;
    try {
      block = std::async(std::launch::async, [raw, decode] { return decode(*raw); });
    } catch (const std::system_error&) {  // no thread to be had: decoded here
      std::promise<GridBlock> done;
      done.set_value(decode(*raw));
      block = done.get_future();
    }
    decoding.push_back({std::move(block), std::move(raw)});
  };

  Job raw = nextRaw();
  size_t inBlock = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (started && out.rowids.empty()) started->store(true);
    if (inBlock == kGridBlock) {
      if (cancel && cancel->load(std::memory_order_relaxed)) return SQLITE_INTERRUPT;
      handOver(std::move(raw));
      raw = nextRaw();
      inBlock = 0;
    }
    out.rowids.push_back(sqlite3_column_int64(st, 0));
    for (size_t i = 0; i < cols; ++i) {
      const int c = static_cast<int>(i) + 1;
      std::string& bytes = raw->bytes[i];
      const int type = sqlite3_column_type(st, c);
      if (type == SQLITE_INTEGER) {
        // A number's text as SQLite writes it, without its conversion.
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(st, c)).ptr;
        bytes.append(digits, end);
      } else if (type != SQLITE_NULL) {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        bytes.append(t, static_cast<size_t>(sqlite3_column_bytes(st, c)));
      }
      raw->ends[i].push_back(bytes.size());
    }
    ++inBlock;
  }
  if (started) started->store(true);
  if (rc != SQLITE_DONE) return rc;
  while (!decoding.empty()) collect();
  if (inBlock) out.blocks.push_back(decode(*raw));
  return rc;
}

}  // namespace zuvo
