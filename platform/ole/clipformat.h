// Registered clipboard formats: a process-wide table of names, each given a
// number from 0xC000 on; the same name always gets the same number. And what
// an object offers the clipboard: its data by format, with the object
// descriptors and the link source of the usual forms (FORMAT.md).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/ole/storage.h"
#include "platform/win/wintypes.h"

namespace md::ole {

// The number of a format name (case-insensitive); 0 for an empty name.
unsigned RegisterClipboardFormat(const char* szName);

// Data offered by format number, in the order it was cached.
class DataSource {
 public:
  // Keeps the bytes for the format, replacing what it held before.
  void CacheData(unsigned format, std::vector<std::uint8_t> bytes);
  // The bytes of a format; NULL when none are offered.
  const std::vector<std::uint8_t>* GetData(unsigned format) const;
  std::vector<unsigned> Formats() const;

 private:
  std::vector<std::pair<unsigned, std::vector<std::uint8_t>>> entries_;
};

// An object descriptor: class, drawing aspect, size in 0.01 mm, status bits,
// the full user type and the source of the copy.
struct ObjectDescriptor {
  ClassId clsid{};
  int drawAspect = 1;
  SIZE extent{0, 0};
  std::uint32_t status = 0;
  std::string userType;
  std::string sourceOfCopy;
};
std::vector<std::uint8_t> EncodeObjectDescriptor(const ObjectDescriptor& descriptor);

// A link source: the class of the linked object and its source's path.
std::vector<std::uint8_t> EncodeLinkSource(const ClassId& clsid, const std::string& path);

}  // namespace md::ole
