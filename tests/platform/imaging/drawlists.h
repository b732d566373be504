// Reading a draw list (platform/imaging/protocol/drawlist.h) back in tests:
// its records one by one, and their paths and dashes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/imaging/protocol/drawlist.h"

namespace md::test::drawlists {

namespace dl = md::imaging::drawlist;

struct Record {
  dl::Kind kind{};
  const std::uint8_t* payload = nullptr;
  std::uint32_t bytes = 0;
  // The payload's head as a T.
  template <typename T>
  T Head() const {
    T t;
    std::memcpy(static_cast<void*>(&t), payload, sizeof t);
    return t;
  }
};

// The records of a list of `size` bytes, failing the test where the list
// does not hold what its header says.
inline std::vector<Record> Records(const std::uint8_t* list, std::size_t size) {
  std::vector<Record> out;
  dl::Header header;
  if (size < sizeof header) {
    ADD_FAILURE() << "a list of " << size << " bytes";
    return out;
  }
  std::memcpy(&header, list, sizeof header);
  EXPECT_EQ(header.magic, dl::kMagic);
  EXPECT_EQ(header.bytes, size);
  for (std::size_t at = sizeof header; at < size;) {
    dl::RecordHead head;
    std::memcpy(&head, list + at, sizeof head);
    if (head.bytes % 8 != 0 || head.bytes > size - at - sizeof head) {
      ADD_FAILURE() << "a record of " << head.bytes << " bytes at " << at;
      break;
    }
    out.push_back({static_cast<dl::Kind>(head.kind), list + at + sizeof head, head.bytes});
    at += sizeof head + head.bytes;
  }
  return out;
}

// The kinds of the records, in order.
inline std::vector<dl::Kind> Kinds(const std::vector<Record>& records) {
  std::vector<dl::Kind> kinds;
  for (const Record& r : records) kinds.push_back(r.kind);
  return kinds;
}

struct Path {
  std::vector<dl::Verb> verbs;
  std::vector<float> points;  // x, y
};

// The path a fill, stroke or clip record ends with.
inline Path PathOf(const Record& r) {
  std::size_t at = r.kind == dl::Kind::Fill ? sizeof(dl::FillHead)
                   : r.kind == dl::Kind::PushClip
                       ? sizeof(dl::ClipHead)
                       : sizeof(dl::StrokeHead) + 8 * r.Head<dl::StrokeHead>().dashes;
  dl::PathHead head;
  std::memcpy(&head, r.payload + at, sizeof head);
  at += sizeof head;
  Path path;
  for (std::uint32_t k = 0; k < head.verbs; ++k)
    path.verbs.push_back(static_cast<dl::Verb>(r.payload[at + k]));
  at += dl::Padded(head.verbs);
  path.points.resize(std::size_t{head.points} * 2);
  if (!path.points.empty())
    std::memcpy(path.points.data(), r.payload + at, path.points.size() * sizeof(float));
  return path;
}

// The dashes of a stroke record.
inline std::vector<double> DashesOf(const Record& r) {
  std::vector<double> dashes(r.Head<dl::StrokeHead>().dashes);
  if (!dashes.empty())
    std::memcpy(dashes.data(), r.payload + sizeof(dl::StrokeHead), dashes.size() * sizeof(double));
  return dashes;
}

}  // namespace md::test::drawlists
