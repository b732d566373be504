// Compound files: round trips, files of another writer, damaged files.
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/ole/storage.h"

namespace {

using md::ole::ReadCompoundFile;
using md::ole::Storage;
using md::ole::WriteCompoundFile;
using Bytes = std::vector<std::uint8_t>;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

Storage Sample() {
  Storage s;
  s.clsid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  s.streams["Contents"] = B("hello");
  s.streams["Big"] = Bytes(10000, 0x5A);  // beyond the small-block limit
  s.streams["Empty"] = {};
  Storage& sub = s.storages["子存储"];
  sub.clsid[0] = 0x42;
  sub.streams["数据"] = B("nested");
  sub.storages["Deeper"].streams["x"] = B("y");
  return s;
}

Bytes Write(const Storage& s) {
  Bytes out;
  std::string error;
  EXPECT_TRUE(WriteCompoundFile(s, &out, &error)) << error;
  return out;
}

TEST(CompoundFile, RoundTripKeepsTheLogicalContent) {
  const Storage original = Sample();
  const Bytes first = Write(original);
  ASSERT_TRUE(md::ole::HasCompoundFileSignature(first.data(), first.size()));
  Storage read;
  std::string error;
  ASSERT_TRUE(ReadCompoundFile(first.data(), first.size(), &read, &error)) << error;
  EXPECT_EQ(read, original);
  // Write -> read -> write gives the same content again.
  const Bytes second = Write(read);
  Storage again;
  ASSERT_TRUE(ReadCompoundFile(second.data(), second.size(), &again, &error)) << error;
  EXPECT_EQ(again, original);
}

// Files written and read lately are remembered with their trees: the same
// bytes read again give the same tree, and bytes or trees that differ in one
// place are read and written anew, never answered from what was remembered.
TEST(CompoundFile, RecentFilesAreAnsweredOnlyForTheSameContent) {
  Storage original = Sample();
  const Bytes first = Write(original);
  Storage changed = original;
  changed.streams["Big"][5000] = 0x5B;
  const Bytes second = Write(changed);
  ASSERT_EQ(first.size(), second.size());
  EXPECT_NE(first, second);
  EXPECT_EQ(Write(original), first);
  std::string error;
  for (int round = 0; round < 2; ++round) {
    Storage a, b;
    ASSERT_TRUE(ReadCompoundFile(first.data(), first.size(), &a, &error)) << error;
    ASSERT_TRUE(ReadCompoundFile(second.data(), second.size(), &b, &error)) << error;
    EXPECT_EQ(a, original);
    EXPECT_EQ(b, changed);
  }
  // A remembered file cut short is damaged all the same.
  Storage kept = Sample();
  EXPECT_FALSE(ReadCompoundFile(first.data(), first.size() - 512, &kept, &error));
  EXPECT_EQ(kept, Sample());
}

TEST(CompoundFile, WriterRefusesBadNames) {
  for (const std::string& name :
       {std::string(), std::string(32, 'a'), std::string("a/b"), std::string("\xFF")}) {
    Storage s;
    s.streams[name] = B("x");
    Bytes out;
    std::string error;
    EXPECT_FALSE(WriteCompoundFile(s, &out, &error)) << name;
    EXPECT_FALSE(error.empty());
  }
  Storage ok;
  ok.streams[std::string(31, 'a')] = B("x");
  Bytes out;
  EXPECT_TRUE(WriteCompoundFile(ok, &out, nullptr));
}

// A file made by libgsf's writer called directly, with 4096-byte sectors.
Bytes OtherWriterFile() {
  gsf_init();
  GsfOutput* sink = gsf_output_memory_new();
  GsfOutfile* root = gsf_outfile_msole_new_full(sink, 4096, 64);
  GsfOutput* a = gsf_outfile_new_child(root, "Alpha", FALSE);
  gsf_output_write(a, 3, reinterpret_cast<const guint8*>("abc"));
  gsf_output_close(a);
  g_object_unref(a);
  GsfOutput* dir = gsf_outfile_new_child(root, "Dir", TRUE);
  GsfOutput* b = gsf_outfile_new_child(GSF_OUTFILE(dir), "Beta", FALSE);
  const Bytes big(5000, 7);
  gsf_output_write(b, big.size(), big.data());
  gsf_output_close(b);
  g_object_unref(b);
  gsf_output_close(dir);
  g_object_unref(dir);
  gsf_output_close(GSF_OUTPUT(root));
  g_object_unref(root);
  const guint8* p = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink));
  Bytes out(p, p + gsf_output_size(sink));
  g_object_unref(sink);
  return out;
}

TEST(CompoundFile, ReadsFilesOfAnotherWriter) {
  const Bytes file = OtherWriterFile();
  Storage s;
  std::string error;
  ASSERT_TRUE(ReadCompoundFile(file.data(), file.size(), &s, &error)) << error;
  EXPECT_EQ(s.streams.at("Alpha"), B("abc"));
  EXPECT_EQ(s.storages.at("Dir").streams.at("Beta"), Bytes(5000, 7));
}

std::uint32_t Le32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
void SetLe32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The FAT entry of a sector, in a file with 512-byte sectors and one FAT sector.
std::size_t FatEntry(const Bytes& b, std::uint32_t sector) { return 512 * (Le32(b, 0x4C) + 1) + 4 * sector; }

TEST(CompoundFile, DamagedFilesAreRefusedAndTheOutputKept) {
  const Bytes good = Write(Sample());
  const std::uint32_t dirStart = Le32(good, 0x30);
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  const Case cases[] = {
      {"wrong signature", [](Bytes& b) { b[0] = 0; }},
      {"cut to its header", [](Bytes& b) { b.resize(511); }},
      {"directory chain loops", [&](Bytes& b) { SetLe32(b, FatEntry(b, dirStart), dirStart); }},
      {"directory chain leaves the file", [&](Bytes& b) { SetLe32(b, FatEntry(b, dirStart), 0x00FFFFF0); }},
      {"FAT sector outside the file", [](Bytes& b) { SetLe32(b, 0x4C, 0x00FFFFF0); }},
      {"huge sector shift", [](Bytes& b) { b[0x1E] = 40; }},
      {"huge FAT count", [](Bytes& b) { SetLe32(b, 0x2C, 0x7FFFFFFF); }},
      {"root is its own sibling", [&](Bytes& b) { SetLe32(b, 512 * (dirStart + 1) + 0x48, 0); }},
      {"root's child is its sibling too",
       [&](Bytes& b) { SetLe32(b, 512 * (dirStart + 1) + 0x44, Le32(b, 512 * (dirStart + 1) + 0x4C)); }},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    c.damage(bad);
    Storage out;
    out.streams["kept"] = B("1");
    const Storage before = out;
    std::string error;
    EXPECT_FALSE(ReadCompoundFile(bad.data(), bad.size(), &out, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_EQ(out, before) << c.what;
  }
}

TEST(CompoundFile, StreamSizesBeyondTheFileAreRefused) {
  const Bytes good = Write(Sample());
  // Directory entries are 128 bytes; the stream size is at offset 0x78.
  const std::size_t dir = 512 * (Le32(good, 0x30) + 1);
  int refused = 0, streams = 0;
  for (int e = 1; e < 4; ++e) {
    if (good[dir + 128 * e + 0x42] != 2) continue;  // storages carry no size
    ++streams;
    Bytes bad = good;
    SetLe32(bad, dir + 128 * e + 0x78, 0x7FFFFFF0);
    Storage out;
    if (!ReadCompoundFile(bad.data(), bad.size(), &out, nullptr)) ++refused;
  }
  EXPECT_GT(streams, 0);
  EXPECT_EQ(refused, streams);
}

}  // namespace
