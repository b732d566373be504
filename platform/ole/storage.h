// Structured storage: a tree of named storages and byte streams, held in
// memory, read from and written to the compound-file format through libgsf.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace md::ole {

using ClassId = std::array<std::uint8_t, 16>;

struct Storage {
  ClassId clsid{};  // the class of the object stored here (all zero: none)
  std::map<std::string, std::vector<std::uint8_t>> streams;
  std::map<std::string, Storage> storages;

  bool operator==(const Storage&) const = default;
};

// Limits a compound file must keep to be read.
inline constexpr std::size_t kMaxFileSize = 64u << 20;  // bytes of the whole file
inline constexpr int kMaxDepth = 16;                    // nested storages
inline constexpr int kMaxEntries = 4096;                // storages and streams in all

// The first eight bytes of every compound file.
bool HasCompoundFileSignature(const std::uint8_t* data, std::size_t size);

// Reads a compound file's whole tree. False, with the reason in *pError,
// for a file that is not a compound file, is damaged (chains that loop or
// leave the file), or breaks the limits above; *pOut is then untouched.
bool ReadCompoundFile(const std::uint8_t* data, std::size_t size, Storage* pOut, std::string* pError);

// Writes the tree as a compound file. False (with the reason) when a name
// is empty or longer than the format allows (31 characters) or the writer fails.
bool WriteCompoundFile(const Storage& storage, std::vector<std::uint8_t>* pOut, std::string* pError);

}  // namespace md::ole
