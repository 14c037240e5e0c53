#pragma once
// Memory for the grid mirror's columns while a table is read whole.
//
// A column block (4,096 rows, a few hundred KB) is too small for the system
// to back with a huge page, so a large table's mirror is faulted in 4 KB
// pages one by one, which costs more than the read itself. An arena maps
// chunks of its own, 2 MB aligned and advised for huge pages, and hands the
// blocks out one after the other from them; a block that would cross a
// chunk's end goes to a new chunk. Where the system grants no huge page
// (huge pages off, refused for the process, none free) the chunks are
// ordinary memory and everything works as before.
//
// A block given back while others of its chunk are in use (a column's bytes
// once it is kept in UTF-16, a column that outgrew its room) is handed out
// again to a block of about its size, its pages already there. A chunk is
// given back to the system as soon as nothing handed out from it is in
// use: a mirror dropped or read again returns its memory. Once the
// read is over the arena is sealed: what its columns take later (an edit
// that outgrows its room, a column widened for reading) comes from the
// heap, unless a block given back fits, so that no later growth strands
// room in a chunk.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace zuvo {

class GridArena {
 public:
  static constexpr size_t kHugePage = size_t{2} << 20;
  // Chunks start at one huge page and double up to this size, so that a
  // small table maps little and a large one few chunks.
  static constexpr size_t kLargestChunk = size_t{32} << 20;

  // How a chunk is advised for huge pages: 0 when the advice was taken.
  using Advise = int (*)(void* at, size_t bytes);
  // The advice every arena gives from now on (null: the system's madvise);
  // the one given before.
  static Advise setAdvise(Advise advise);

  GridArena() = default;
  GridArena(const GridArena&) = delete;
  GridArena& operator=(const GridArena&) = delete;
  ~GridArena();

  // `bytes` of memory aligned to `align`: a block given back of about its
  // size, else from a chunk while the arena is open, else from the heap
  // (sealed, a larger alignment than a cache line, no chunk mapped).
  void* allocate(size_t bytes, size_t align);
  // Memory `allocate` gave, whether from a chunk or the heap.
  void release(void* at, size_t bytes, size_t align) noexcept;
  // What is allocated from now on comes from the heap.
  void seal() { sealed_.store(true, std::memory_order_relaxed); }

  // Chunks mapped now, their bytes, and how many took the advice.
  size_t chunks() const;
  size_t mappedBytes() const;
  size_t advisedChunks() const;

 private:
  struct Chunk {
    size_t size = 0;
    size_t top = 0;   // bytes handed out from its start
    size_t live = 0;  // allocations not yet released
    bool advised = false;
  };
  uintptr_t newChunk(size_t atLeast);  // under mutex_; its address, 0 when none is mapped
  void unmap(std::map<uintptr_t, Chunk>::iterator it);
  void* reuse(size_t bytes);  // under mutex_; a block given back, or null

  mutable std::mutex mutex_;
  std::map<uintptr_t, Chunk> chunks_;  // by the address of each chunk's first byte
  uintptr_t current_ = 0;              // the chunk blocks are handed out from, 0 for none
  std::multimap<size_t, uintptr_t> given_;  // blocks given back, by size, in chunks still in use
  size_t nextChunk_ = kHugePage;
  std::atomic<bool> sealed_{false};
};

// A container's allocator taking its memory from an arena, or from the
// heap when it has none. Containers that swap or move carry it along.
template <class T>
class GridAlloc {
 public:
  using value_type = T;
  using propagate_on_container_copy_assignment = std::true_type;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;
  using is_always_equal = std::false_type;

  GridAlloc() noexcept = default;
  explicit GridAlloc(std::shared_ptr<GridArena> arena) noexcept : arena_(std::move(arena)) {}
  template <class U>
  GridAlloc(const GridAlloc<U>& o) noexcept : arena_(o.arena()) {}

  T* allocate(size_t n) {
    if (!arena_) return std::allocator<T>().allocate(n);
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(arena_->allocate(n * sizeof(T), alignof(T)));
  }
  void deallocate(T* p, size_t n) noexcept {
    if (!arena_)
      std::allocator<T>().deallocate(p, n);
    else
      arena_->release(p, n * sizeof(T), alignof(T));
  }
  const std::shared_ptr<GridArena>& arena() const noexcept { return arena_; }

  template <class U>
  bool operator==(const GridAlloc<U>& o) const noexcept {
    return arena_ == o.arena();
  }

 private:
  std::shared_ptr<GridArena> arena_;
};

using GridBytes = std::basic_string<char, std::char_traits<char>, GridAlloc<char>>;
using GridUnits = std::basic_string<char16_t, std::char_traits<char16_t>, GridAlloc<char16_t>>;
template <class T>
using GridVector = std::vector<T, GridAlloc<T>>;

}  // namespace zuvo
