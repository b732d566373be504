// Spatial references shared within one stored map frame.
#include "layout/graphicelement/grid/grid/referenceshare.h"

#include <algorithm>

namespace md::layout::grid {

void ReferenceShare::Add(int nSource, std::span<const BYTE> bytes) {
  if (bytes.empty()) return;
  Drop(nSource);
  m_sources.emplace_back(nSource, std::vector<BYTE>(bytes.begin(), bytes.end()));
}

void ReferenceShare::Drop(int nSource) {
  std::erase_if(m_sources, [nSource](const auto& s) { return s.first == nSource; });
}

int ReferenceShare::Find(std::span<const BYTE> bytes) const {
  if (bytes.empty()) return -1;
  for (const auto& [nSource, held] : m_sources) {
    if (std::ranges::equal(held, bytes)) return nSource;
  }
  return -1;
}

const std::vector<BYTE>* ReferenceShare::Bytes(int nSource) const {
  for (const auto& [n, held] : m_sources) {
    if (n == nSource) return &held;
  }
  return nullptr;
}

}  // namespace md::layout::grid
