// Runs body(0) .. body(count - 1) at once, each on a thread of its own, and
// returns when all have ended.
#pragma once

#include <thread>
#include <vector>

namespace md::test {

template <class Body>
void OnThreads(int count, const Body& body) {
  std::vector<std::jthread> threads;
  for (int t = 0; t < count; ++t) threads.emplace_back(body, t);
}

}  // namespace md::test
