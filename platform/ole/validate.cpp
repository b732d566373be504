// The structural check of compound files (see validate.h). libgsf skips
// damaged entries silently; a file is only handed to it after this check.
#include "platform/ole/validate.h"

#include <algorithm>
#include <vector>

#include "platform/ole/storage.h"

namespace md::ole::detail {
namespace {

constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

struct File {
  const std::uint8_t* data;
  std::size_t size;
  std::uint32_t sectorSize = 512;
  std::uint32_t sectorCount = 0;
  std::vector<std::uint32_t> fat;
  std::string error;

  std::uint16_t U16(std::size_t at) const {
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
  }
  std::uint32_t U32(std::size_t at) const {
    return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
           (static_cast<std::uint32_t>(data[at + 3]) << 24);
  }
  std::size_t SectorOffset(std::uint32_t s) const { return (static_cast<std::size_t>(s) + 1) * sectorSize; }
  bool Fail(const char* why) {
    error = why;
    return false;
  }
  // Bytes of sector s that lie in the file (the last sector may be short).
  std::size_t SectorBytes(std::uint32_t s) const {
    const std::size_t at = SectorOffset(s);
    return at >= size ? 0 : std::min<std::size_t>(sectorSize, size - at);
  }
};

// Follows a chain through a table; the sectors in order. False for a chain
// that leaves the table, meets a special value or comes back to a sector.
bool Walk(File& f, const std::vector<std::uint32_t>& table, std::uint32_t start, std::uint32_t limit,
          std::vector<std::uint32_t>* pOut) {
  std::vector<bool> seen(limit, false);
  pOut->clear();
  for (std::uint32_t s = start; s != kEnd;) {
    if (s >= limit || s >= table.size()) return f.Fail("sector chain leaves the file");
    if (seen[s]) return f.Fail("sector chain loops");
    seen[s] = true;
    pOut->push_back(s);
    s = table[s];
  }
  return true;
}

}  // namespace

bool ValidateCompoundFile(const std::uint8_t* data, std::size_t size, std::string* pError) {
  File f{data, size, 512, 0, {}, {}};
  auto done = [&](bool ok) {
    if (!ok && pError != nullptr) *pError = f.error;
    return ok;
  };
  if (size < 512 || !HasCompoundFileSignature(data, size)) return done(f.Fail("not a compound file"));
  if (f.U16(0x1C) != 0xFFFE) return done(f.Fail("bad byte order mark"));
  const std::uint16_t shift = f.U16(0x1E);
  if (shift != 9 && shift != 12) return done(f.Fail("bad sector size"));
  if (f.U16(0x20) != 6 || f.U32(0x38) != 4096) return done(f.Fail("bad mini sector layout"));
  f.sectorSize = 1u << shift;
  if (size < f.sectorSize) return done(f.Fail("file shorter than its header"));
  const std::size_t sectors = (size - f.sectorSize + f.sectorSize - 1) / f.sectorSize;
  if (sectors > 0x00FFFFFF) return done(f.Fail("file too large"));
  f.sectorCount = static_cast<std::uint32_t>(sectors);
  const std::uint32_t perSector = f.sectorSize / 4;

  // The FAT's own sectors: 109 in the header, the rest in the DIFAT chain.
  const std::uint32_t fatCount = f.U32(0x2C);
  if (fatCount > f.sectorCount) return done(f.Fail("more FAT sectors than the file holds"));
  std::vector<std::uint32_t> fatSectors;
  for (std::uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
    fatSectors.push_back(f.U32(0x4C + 4 * i));
  std::uint32_t difat = f.U32(0x44);
  const std::uint32_t difatCount = f.U32(0x48);
  std::vector<bool> seenDifat(f.sectorCount, false);
  for (std::uint32_t n = 0; fatSectors.size() < fatCount; ++n) {
    if (n >= difatCount || difat >= f.sectorCount || seenDifat[difat])
      return done(f.Fail("broken DIFAT chain"));
    seenDifat[difat] = true;
    if (f.SectorBytes(difat) < f.sectorSize) return done(f.Fail("DIFAT sector outside the file"));
    const std::size_t at = f.SectorOffset(difat);
    for (std::uint32_t i = 0; i + 1 < perSector && fatSectors.size() < fatCount; ++i)
      fatSectors.push_back(f.U32(at + 4 * i));
    difat = f.U32(at + 4 * (perSector - 1));
  }
  for (std::uint32_t s : fatSectors) {
    if (s >= f.sectorCount || f.SectorBytes(s) < f.sectorSize)
      return done(f.Fail("FAT sector outside the file"));
    const std::size_t at = f.SectorOffset(s);
    for (std::uint32_t i = 0; i < perSector; ++i) f.fat.push_back(f.U32(at + 4 * i));
  }

  // The directory.
  std::vector<std::uint32_t> chain;
  if (!Walk(f, f.fat, f.U32(0x30), f.sectorCount, &chain)) return done(false);
  std::vector<std::size_t> entries;  // file offsets of the 128-byte entries
  for (std::uint32_t s : chain) {
    if (f.SectorBytes(s) < f.sectorSize) return done(f.Fail("directory sector outside the file"));
    for (std::uint32_t i = 0; i < f.sectorSize / 128; ++i) entries.push_back(f.SectorOffset(s) + 128 * i);
  }
  if (entries.empty() || f.data[entries[0] + 0x42] != 5) return done(f.Fail("no root entry"));
  if (entries.size() > static_cast<std::size_t>(kMaxEntries) * 4) return done(f.Fail("directory too large"));

  // The mini stream (the root's chain) and the mini FAT.
  std::vector<std::uint32_t> miniStream;
  if (!Walk(f, f.fat, f.U32(entries[0] + 0x74), f.sectorCount, &miniStream)) return done(false);
  std::vector<std::uint32_t> miniFatChain, miniFat;
  if (f.U32(0x40) > 0) {
    if (!Walk(f, f.fat, f.U32(0x3C), f.sectorCount, &miniFatChain)) return done(false);
    for (std::uint32_t s : miniFatChain) {
      if (f.SectorBytes(s) < f.sectorSize) return done(f.Fail("mini FAT sector outside the file"));
      for (std::uint32_t i = 0; i < perSector; ++i) miniFat.push_back(f.U32(f.SectorOffset(s) + 4 * i));
    }
  }
  const std::uint32_t miniSectors = static_cast<std::uint32_t>(miniStream.size()) * (f.sectorSize / 64);

  // The tree: every link in range, no entry reached twice, each stream's
  // chain long enough for its size. The root's sibling links are followed
  // too, as the reader follows them: a root that names itself or its child
  // as a sibling is a loop.
  const std::uint32_t n = static_cast<std::uint32_t>(entries.size());
  std::vector<bool> reached(n, false);
  std::vector<std::uint32_t> pending = {f.U32(entries[0] + 0x44), f.U32(entries[0] + 0x48),
                                        f.U32(entries[0] + 0x4C)};
  reached[0] = true;
  int used = 0;
  while (!pending.empty()) {
    const std::uint32_t id = pending.back();
    pending.pop_back();
    if (id == kNoStream) continue;
    if (id >= n) return done(f.Fail("directory link out of range"));
    if (reached[id]) return done(f.Fail("directory tree loops"));
    reached[id] = true;
    if (++used > kMaxEntries) return done(f.Fail("too many entries"));
    const std::size_t e = entries[id];
    const std::uint8_t type = f.data[e + 0x42];
    const std::uint16_t nameBytes = f.U16(e + 0x40);
    if (nameBytes < 2 || nameBytes > 64 || nameBytes % 2 != 0) return done(f.Fail("bad entry name"));
    pending.push_back(f.U32(e + 0x44));
    pending.push_back(f.U32(e + 0x48));
    if (type == 1) {
      pending.push_back(f.U32(e + 0x4C));
    } else if (type == 2) {
      const std::uint64_t streamSize =
          f.U32(e + 0x78) | (shift == 12 ? static_cast<std::uint64_t>(f.U32(e + 0x7C)) << 32 : 0);
      if (streamSize > size) return done(f.Fail("stream larger than the file"));
      if (streamSize == 0) continue;
      const std::uint32_t start = f.U32(e + 0x74);
      if (streamSize < 4096) {
        if (!Walk(f, miniFat, start, miniSectors, &chain)) return done(false);
        if (chain.size() * 64ull < streamSize) return done(f.Fail("stream chain too short"));
      } else {
        if (!Walk(f, f.fat, start, f.sectorCount, &chain)) return done(false);
        if (chain.size() * static_cast<std::uint64_t>(f.sectorSize) < streamSize)
          return done(f.Fail("stream chain too short"));
      }
    } else {
      return done(f.Fail("bad entry type"));
    }
  }
  return done(true);
}

}  // namespace md::ole::detail
