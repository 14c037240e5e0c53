// The grid mirror's arenas: blocks handed out from 2 MB aligned chunks,
// never across a chunk's end, chunks growing and given back once nothing
// in them is used, blocks given back handed out again, the heap once sealed, and columns filled in arena memory
// answering as any other, also where the system refuses huge pages.

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"
#include "store/grid_arena.h"
#include "store/grid_cells.h"

namespace zuvo {
namespace {

constexpr size_t kMB = size_t{1} << 20;

struct Block {
  char* at;
  size_t bytes;
};

// Each block written whole with a pattern of its own, then read back: two
// blocks sharing a byte, or a block reaching past its chunk, shows.
void expectApartAndWritable(const std::vector<Block>& blocks) {
  for (size_t k = 0; k < blocks.size(); ++k) std::memset(blocks[k].at, static_cast<int>(k % 251) + 1, blocks[k].bytes);
  for (size_t k = 0; k < blocks.size(); ++k) {
    const char want = static_cast<char>(k % 251 + 1);
    ASSERT_EQ(blocks[k].at[0], want) << "block " << k;
    ASSERT_EQ(blocks[k].at[blocks[k].bytes - 1], want) << "block " << k;
    ASSERT_EQ(reinterpret_cast<uintptr_t>(blocks[k].at) % 64, 0u) << "block " << k;
  }
}

TEST(GridArena, HandsOutBlocksFromHugePageAlignedChunksNeverAcrossAChunksEnd) {
  GridArena arena;
  std::vector<Block> blocks;
  auto take = [&](size_t bytes) {
    blocks.push_back({static_cast<char*>(arena.allocate(bytes, 1)), bytes});
    return blocks.back().at;
  };
  // The first chunk is one huge page: two blocks of 0.7 MB fit, the third
  // would cross its end and begins a chunk of its own.
  char* first = take(700 * 1024);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % GridArena::kHugePage, 0u);
  EXPECT_EQ(take(700 * 1024), first + 700 * 1024);
  EXPECT_EQ(arena.chunks(), 1u);
  char* third = take(700 * 1024);
  EXPECT_EQ(arena.chunks(), 2u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(third) % GridArena::kHugePage, 0u);
  EXPECT_FALSE(third >= first && third < first + GridArena::kHugePage);
  // A block larger than any chunk gets one of its size.
  take(GridArena::kLargestChunk + 3 * kMB + 1);
  EXPECT_EQ(arena.chunks(), 3u);
  // Small blocks of odd sizes stay a cache line apart.
  for (size_t n : {1, 63, 65, 4097}) take(n);
  expectApartAndWritable(blocks);
  for (const Block& b : blocks) arena.release(b.at, b.bytes, 1);
  EXPECT_EQ(arena.chunks(), 0u);
}

TEST(GridArena, ChunksGrowWithTheTableSoThatALargeOneMapsFewChunks) {
  GridArena arena;
  std::vector<Block> blocks;
  // A million pairs' column blocks: 250 of about 270 KB.
  for (int k = 0; k < 250; ++k) blocks.push_back({static_cast<char*>(arena.allocate(270 * 1024, 1)), 270 * 1024});
  const size_t used = 250 * 270 * 1024;
  EXPECT_LE(arena.chunks(), 8u);
  EXPECT_GE(arena.mappedBytes(), used);
  // No chunk is mapped larger than what the largest one holds; what is
  // mapped and not handed out is less than the last chunk.
  EXPECT_LT(arena.mappedBytes(), used + GridArena::kLargestChunk);
  expectApartAndWritable(blocks);
  for (const Block& b : blocks) arena.release(b.at, b.bytes, 1);
  EXPECT_EQ(arena.mappedBytes(), 0u);
}

TEST(GridArena, HandsABlockGivenBackOutAgainAndAChunkBackOnceNothingInItIsUsed) {
  GridArena arena;
  void* a = arena.allocate(1 * kMB, 1);
  void* b = arena.allocate(900 * 1024, 1);
  void* c = arena.allocate(1 * kMB, 1);  // in the second chunk
  ASSERT_EQ(arena.chunks(), 2u);
  arena.release(a, 1 * kMB, 1);
  EXPECT_EQ(arena.chunks(), 2u) << "a chunk still in use is kept";
  // A block of about its size takes it again; a much smaller one does not.
  void* small = arena.allocate(64 * 1024, 1);
  EXPECT_NE(small, a);
  void* again = arena.allocate(1 * kMB - 4096, 1);
  EXPECT_EQ(again, a);
  arena.release(again, 1 * kMB - 4096, 1);
  arena.release(b, 900 * 1024, 1);
  EXPECT_EQ(arena.chunks(), 1u);
  EXPECT_EQ(arena.mappedBytes(), 4 * kMB);
  // The chunk blocks are handed out from goes too, once emptied; the next
  // block maps a new one, and none given back in a chunk gone is handed out.
  arena.release(small, 64 * 1024, 1);
  arena.release(c, 1 * kMB, 1);
  EXPECT_EQ(arena.chunks(), 0u);
  void* d = arena.allocate(1 * kMB, 8);
  EXPECT_EQ(arena.chunks(), 1u);
  std::memset(d, 3, 1 * kMB);
  // Sealed: from the heap, unless a block given back fits.
  void* keep = arena.allocate(200 * 1024, 1);
  arena.release(keep, 200 * 1024, 1);
  arena.seal();
  void* e = arena.allocate(3 * kMB, 16);
  void* f = arena.allocate(64, 64);
  void* g = arena.allocate(200 * 1024, 1);
  EXPECT_EQ(g, keep);
  EXPECT_EQ(arena.chunks(), 1u) << "a sealed arena maps nothing";
  std::memset(e, 7, 3 * kMB);
  arena.release(e, 3 * kMB, 16);
  arena.release(f, 64, 64);
  arena.release(g, 200 * 1024, 1);
  arena.release(d, 1 * kMB, 8);
  EXPECT_EQ(arena.chunks(), 0u);
}

// Cells of Spanish, Chinese and mixed text, numbered so that each differs.
std::vector<Text> sampleCells(size_t n, size_t kind) {
  std::vector<Text> cells;
  for (size_t i = 0; i < n; ++i) {
    const Text k = fromUtf8(std::to_string(i));
    cells.push_back(kind == 0   ? u"frase número " + k + u" del año"
                    : kind == 1 ? u"第" + k + u"句中文句子"
                                : u"句" + k + u"/frase " + k);
  }
  return cells;
}

// A column filled as the grid read fills it, in memory of `arena`.
GridMirrorCells filledIn(const std::shared_ptr<GridArena>& arena, const std::vector<Text>& cells, bool touch) {
  size_t bytes = 0;
  for (const Text& t : cells) bytes += toUtf8(t).size();
  GridMirrorCells c;
  c.startFill(bytes, cells.size(), touch, arena);
  for (const Text& t : cells) c.appendBytes(toUtf8(t));
  c.settle();
  return c;
}

// Every cell and a few searches as a plain list answers them; the text
// between two cells is never a hit.
void expectCells(const GridMirrorCells& c, const std::vector<Text>& want) {
  ASSERT_EQ(c.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(c.cell(i), want[i]) << "cell " << i;
  const size_t last = want.size() - 1;
  EXPECT_EQ(c.find(0, GridNeedle(want[last])), static_cast<int64_t>(last));
  EXPECT_EQ(c.find(0, GridNeedle(u"año第")), -1);
  EXPECT_EQ(c.find(0, GridNeedle(u"不在")), -1);
}

// Columns filled in one arena and edited after it is sealed: the same cells
// as the texts they were given, and every chunk given back once the columns
// go, whatever took their memory meanwhile.
bool columnsInArenaAnswerAsTheirTexts() {
  auto arena = std::make_shared<GridArena>();
  {
    std::vector<GridMirrorCells> columns;
    std::vector<std::vector<Text>> want;
    for (size_t kind = 0; kind < 3; ++kind)
      for (bool touch : {false, true}) {
        want.push_back(sampleCells(4096, kind));
        columns.push_back(filledIn(arena, want.back(), touch));
      }
    if (arena->chunks() == 0) return false;
    arena->seal();
    for (size_t k = 0; k < columns.size(); ++k) {
      // Edits that outgrow the room, a cell taken away, cells moved on.
      want[k][17] = Text(3000, u'x') + u"ñ";
      columns[k].replace(17, want[k][17]);
      want[k].push_back(u"añadida");
      columns[k].append(want[k].back());
      columns[k].popBack();
      want[k].pop_back();
      GridMirrorCells more;
      more.appendCells(columns[k], 0, 10);
      for (size_t i = 0; i < 10; ++i)
        if (more.cell(i) != want[k][i]) return false;
      expectCells(columns[k], want[k]);
      if (::testing::Test::HasFailure()) return false;
    }
    // A column of the heap put in the place of one of the arena's.
    columns[0] = GridMirrorCells();
    columns[1] = std::move(columns[2]);
  }
  return arena->chunks() == 0;
}

TEST(GridArena, ColumnsFilledInArenaMemoryAnswerAsAnyColumnAndGiveItBack) {
  EXPECT_TRUE(columnsInArenaAnswerAsTheirTexts());
}

int refuse(void*, size_t) { return -1; }

TEST(GridArena, WorksAsBeforeWhereTheSystemRefusesHugePages) {
  // Advice refused: the chunks are ordinary memory, the columns the same.
  const GridArena::Advise before = GridArena::setAdvise(refuse);
  {
    GridArena arena;
    void* p = arena.allocate(kMB, 1);
    EXPECT_EQ(arena.advisedChunks(), 0u);
    EXPECT_EQ(arena.chunks(), 1u);
    std::memset(p, 1, kMB);
    arena.release(p, kMB, 1);
  }
  EXPECT_TRUE(columnsInArenaAnswerAsTheirTexts());
  GridArena::setAdvise(before);

  // Huge pages refused for the whole process, as a system may: in a child
  // of its own, which reports by its exit code.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const bool refused = ::prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) == 0;
    ::_exit(refused && columnsInArenaAnswerAsTheirTexts() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace zuvo
