// The CRC-32 of stored files: the standard sums, and the sums of parts joined
// into the sum of the whole.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/bytes/bytestream.h"

TEST(Crc32, ChecksumIsTheStandardCrc32) {
  const struct {
    std::string bytes;
    std::uint32_t crc;
  } rows[] = {
      {"", 0x00000000u},
      {"123456789", 0xCBF43926u},
      {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
      {std::string(1000, '\0'), 0x060B1780u},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(md::bytes::Crc32(reinterpret_cast<const std::uint8_t*>(row.bytes.data()), row.bytes.size()),
              row.crc)
        << row.bytes.size();
  }
}

TEST(Crc32, ChecksumsOfPartsJoinIntoTheChecksumOfTheWhole) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text.push_back(static_cast<char>(i * 37 + i / 7));
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  for (const std::size_t cut :
       {std::size_t{0}, std::size_t{1}, std::size_t{12}, std::size_t{1024}, text.size() - 1, text.size()}) {
    const std::uint32_t whole = md::bytes::Crc32(data, text.size());
    const std::uint32_t head = md::bytes::Crc32(data, cut);
    const std::uint32_t tail = md::bytes::Crc32(data + cut, text.size() - cut);
    EXPECT_EQ(md::bytes::Crc32Combine(head, tail, text.size() - cut), whole) << cut;
    EXPECT_EQ(md::bytes::Crc32More(head, data + cut, text.size() - cut), whole) << cut;
  }
}
