// PageCycle/HeapReplay/N: the floor the heap alone sets under PageCycle/N.
//
// One round of PageCycle/N is run once with every operator new and delete of
// the process recorded (size and address, in order). The row then replays
// that trace: the same allocations and frees in the same order, each block
// written once when it is made (as a constructor would), and nothing else: no
// field lookups, no encoding, no file. Its "per_element" counter is the cost
// per element of the cycle's heap traffic alone; how much it grows from 1k to
// 100k elements is the growth that comes with the number and spread of the
// cycle's blocks, whatever the code between them does.
//
// The replacement operators below forward to malloc and free as the
// library's own do, with one flag test while nothing is recorded.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/demo/pagecycle.h"

namespace {

struct HeapOp {
  std::uint64_t address;
  std::uint64_t size;  // 0 marks a free
};

// The trace lives in memory of malloc's own, so that recording allocates
// nothing through operator new.
struct Trace {
  HeapOp* ops = nullptr;
  std::atomic<std::size_t> count{0};  // threads the round starts note their blocks too
  std::size_t capacity = 0;
};

std::atomic<bool> g_recording{false};
Trace g_trace;

void Note(void* address, std::size_t size) {
  const std::size_t at = g_trace.count.fetch_add(1, std::memory_order_relaxed);
  if (at < g_trace.capacity) g_trace.ops[at] = {reinterpret_cast<std::uintptr_t>(address), size};
}

void* Allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  if (g_recording.load(std::memory_order_relaxed)) Note(p, size == 0 ? 1 : size);
  return p;
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
  const std::size_t a = static_cast<std::size_t>(align);
  void* p = std::aligned_alloc(a, (size + a - 1) / a * a);
  if (p == nullptr) throw std::bad_alloc();
  if (g_recording.load(std::memory_order_relaxed)) Note(p, size == 0 ? 1 : size);
  return p;
}

void Free(void* p) {
  if (p == nullptr) return;
  if (g_recording.load(std::memory_order_relaxed)) Note(p, 0);
  std::free(p);
}

// A replayable trace: blocks numbered in the order they were made.
struct Step {
  std::uint32_t block;
  std::uint32_t size;  // 0: free the block
};

struct Replay {
  std::vector<Step> steps;
  std::uint32_t blocks = 0;
  std::uint64_t bytes = 0;
  std::size_t elements = 0;
};

// Runs one cycle of `wanted` elements under the recorder; false with *error.
bool RecordCycle(std::size_t wanted, Replay* out, std::string* error) {
  const std::string file =
      (std::filesystem::temp_directory_path() / ("mapdeck-heap-" + std::to_string(getpid()) + ".mdfs"))
          .string();
  std::size_t count = 0;
  // A first round warms whatever is made once per process (fonts, codecs).
  if (!md::bench::CyclePageOnce(wanted, file, &count, error)) return false;
  g_trace.capacity = wanted * 1200 + 200000;
  g_trace.ops = static_cast<HeapOp*>(std::malloc(g_trace.capacity * sizeof(HeapOp)));
  if (g_trace.ops == nullptr) {
    *error = "no memory for the trace";
    return false;
  }
  g_trace.count = 0;
  g_recording.store(true);
  const bool ok = md::bench::CyclePageOnce(wanted, file, &count, error);
  g_recording.store(false);
  std::error_code ec;
  std::filesystem::remove(file, ec);
  const std::size_t noted = g_trace.count.load();
  const bool overflow = noted > g_trace.capacity;
  if (ok && overflow) *error = "trace overflow";
  if (ok && !overflow) {
    std::unordered_map<std::uint64_t, std::uint32_t> live;
    out->steps.reserve(noted);
    for (std::size_t i = 0; i < noted; ++i) {
      const HeapOp& op = g_trace.ops[i];
      if (op.size != 0) {
        live[op.address] = out->blocks;
        out->bytes += op.size;
        out->steps.push_back({out->blocks++, static_cast<std::uint32_t>(op.size)});
      } else if (auto it = live.find(op.address); it != live.end()) {
        out->steps.push_back({it->second, 0});
        live.erase(it);
      }  // a block made before the round: not the round's own
    }
    // Blocks the round kept (caches) are freed at the end, so that every
    // replay starts from the same heap.
    for (const auto& [address, block] : live) out->steps.push_back({block, 0});
    out->elements = count;
  }
  std::free(g_trace.ops);
  g_trace.ops = nullptr;
  g_trace.capacity = 0;
  return ok && out->elements > 0;
}

void HeapReplay(benchmark::State& state) {
  Replay replay;
  std::string error;
  if (!RecordCycle(static_cast<std::size_t>(state.range(0)), &replay, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::vector<void*> blocks(replay.blocks);
  for (auto _ : state) {
    for (const Step& s : replay.steps) {
      if (s.size != 0) {
        void* p = std::malloc(s.size);
        std::memset(p, static_cast<int>(s.block), s.size);
        blocks[s.block] = p;
      } else {
        std::free(blocks[s.block]);
      }
    }
    benchmark::ClobberMemory();
  }
  state.counters["elements"] = static_cast<double>(replay.elements);
  state.counters["blocks_per_element"] =
      static_cast<double>(replay.blocks) / static_cast<double>(replay.elements);
  state.counters["bytes_per_element"] =
      static_cast<double>(replay.bytes) / static_cast<double>(replay.elements);
  state.counters["per_element"] = md::bench::PerElement(replay.elements);
}

BENCHMARK(HeapReplay)
    ->Name("PageCycle/HeapReplay")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void* operator new(std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, std::align_val_t) noexcept { Free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Free(p); }
