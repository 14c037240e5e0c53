// Chunks of memory for the grid mirror's columns; see grid_arena.h.

#include "store/grid_arena.h"

#include <sys/mman.h>

#include <algorithm>
#include <iterator>

namespace zuvo {

namespace {

int systemAdvise(void* at, size_t bytes) {
#ifdef MADV_HUGEPAGE
  return ::madvise(at, bytes, MADV_HUGEPAGE);
#else
  (void)at, (void)bytes;
  return -1;
#endif
}

std::atomic<GridArena::Advise> adviseHook{nullptr};

// Where blocks begin in a chunk: a cache line apart, so that two columns
// searched on two threads never share one.
constexpr size_t kBlockAlign = 64;

size_t roundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

void* fromHeap(size_t bytes, size_t align) {
  if (align > __STDCPP_DEFAULT_NEW_ALIGNMENT__) return ::operator new(bytes, std::align_val_t{align});
  return ::operator new(bytes);
}

void toHeap(void* at, size_t bytes, size_t align) noexcept {
  if (align > __STDCPP_DEFAULT_NEW_ALIGNMENT__)
    ::operator delete(at, bytes, std::align_val_t{align});
  else
    ::operator delete(at, bytes);
}

// `bytes` (a multiple of a huge page) mapped at an address that is a
// multiple of a huge page: mapped a huge page larger, the ends cut off.
char* mapAligned(size_t bytes) {
  const size_t over = bytes + GridArena::kHugePage;
  void* p = ::mmap(nullptr, over, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const auto at = reinterpret_cast<uintptr_t>(p);
  const uintptr_t start = roundUp(at, GridArena::kHugePage);
  if (start > at) ::munmap(p, start - at);
  if (const uintptr_t end = start + bytes; end < at + over) ::munmap(reinterpret_cast<void*>(end), at + over - end);
  return reinterpret_cast<char*>(start);
}

}  // namespace

GridArena::Advise GridArena::setAdvise(Advise advise) { return adviseHook.exchange(advise); }

GridArena::~GridArena() {
  for (const auto& [at, chunk] : chunks_) ::munmap(reinterpret_cast<void*>(at), chunk.size);
}

uintptr_t GridArena::newChunk(size_t atLeast) {
  const size_t size = std::max(roundUp(atLeast, kHugePage), nextChunk_);
  char* at = mapAligned(size);
  if (!at) return 0;
  nextChunk_ = std::min(nextChunk_ * 2, kLargestChunk);
  const Advise advise = adviseHook.load();
  Chunk& c = chunks_[reinterpret_cast<uintptr_t>(at)];
  c.size = size;
  // Refused advice leaves ordinary pages: nothing else changes.
  c.advised = (advise ? advise : systemAdvise)(at, size) == 0;
  return reinterpret_cast<uintptr_t>(at);
}

void* GridArena::allocate(size_t bytes, size_t align) {
  if (bytes == 0) bytes = 1;
  if (align > kBlockAlign) return fromHeap(bytes, align);
  std::lock_guard lock(mutex_);
  if (void* again = reuse(bytes)) return again;
  if (sealed_.load(std::memory_order_relaxed)) return fromHeap(bytes, align);
  Chunk* c = current_ ? &chunks_.at(current_) : nullptr;
  size_t start = c ? roundUp(c->top, kBlockAlign) : 0;
  if (!c || start > c->size || c->size - start < bytes) {
    // What is left of the chunk stays unused: a block never crosses a
    // chunk's end.
    const uintptr_t fresh = newChunk(bytes);
    if (!fresh) return fromHeap(bytes, align);
    current_ = fresh;
    c = &chunks_.at(fresh);
    start = 0;
  }
  c->top = start + bytes;
  ++c->live;
  return reinterpret_cast<char*>(current_ + start);
}

void GridArena::release(void* at, size_t bytes, size_t align) noexcept {
  if (!at) return;
  if (bytes == 0) bytes = 1;
  {
    std::lock_guard lock(mutex_);
    const auto a = reinterpret_cast<uintptr_t>(at);
    auto it = chunks_.upper_bound(a);
    if (it != chunks_.begin()) {
      --it;
      if (a < it->first + it->second.size) {
        // A chunk nothing uses any more goes back to the system at once.
        if (--it->second.live == 0)
          unmap(it);
        else
          given_.emplace(bytes, a);
        return;
      }
    }
  }
  toHeap(at, bytes, align);
}

// A block given back of at least `bytes` and not much more, so that little
// of it lies unused.
void* GridArena::reuse(size_t bytes) {
  const auto it = given_.lower_bound(bytes);
  if (it == given_.end() || it->first - bytes > bytes / 4) return nullptr;
  const uintptr_t at = it->second;
  given_.erase(it);
  ++std::prev(chunks_.upper_bound(at))->second.live;
  return reinterpret_cast<void*>(at);
}

void GridArena::unmap(std::map<uintptr_t, Chunk>::iterator it) {
  const uintptr_t begin = it->first, end = begin + it->second.size;
  std::erase_if(given_, [&](const auto& g) { return g.second >= begin && g.second < end; });
  if (it->first == current_) current_ = 0;
  ::munmap(reinterpret_cast<void*>(it->first), it->second.size);
  chunks_.erase(it);
}

size_t GridArena::chunks() const {
  std::lock_guard lock(mutex_);
  return chunks_.size();
}

size_t GridArena::mappedBytes() const {
  std::lock_guard lock(mutex_);
  size_t n = 0;
  for (const auto& [at, chunk] : chunks_) n += chunk.size;
  return n;
}

size_t GridArena::advisedChunks() const {
  std::lock_guard lock(mutex_);
  return static_cast<size_t>(std::count_if(chunks_.begin(), chunks_.end(), [](const auto& c) { return c.second.advised; }));
}

}  // namespace zuvo
