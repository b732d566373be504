// Feature set files: a full round trip, and damaged, truncated or
// inconsistent files refused with the set left as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <iterator>

#include "host/basilo/igis_globalproperties.h"
#include "host/featra/featureset_image.h"
#include "platform/files/filestore.h"
#include "tests/host/featra/featratest.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/logmark.h"

using namespace md::test;

namespace {

std::string ImageOf(IGIS_FeatureSet* set) {
  std::vector<std::uint8_t> image;
  EXPECT_TRUE(md::featra::WriteFeatureSetImage(set, &image));
  return std::string(image.begin(), image.end());
}

bool ReadImage(IGIS_FeatureSet* set, const std::string& bytes, bool verify = true) {
  return md::featra::ReadFeatureSetImage(set, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         bytes.size(), verify);
}

// Little-endian helpers to build images by hand.
void Put32(std::string* s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s->push_back(static_cast<char>(v >> (8 * i)));
}
void Set32(std::string* s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<char>(v >> (8 * i));
}

// A set whose content differs from every sample, to see that refusals leave it alone.
SetPtr MakeTargetSet() {
  SetPtr set = NewSet("target");
  IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POLYLINE, 0);
  f->GetGeometry()->SetRect(SGIS_Rect(1, 2, 3, 4), 0);
  f->GetAttributes()->SetString("TYPE", "keep me");
  return set;
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

// An image of features 1, 2, ... of the given kinds; compounds get the member
// lists, other kinds an empty point list. The checksum is left 0.
std::string HandImage(const std::vector<std::pair<std::uint32_t, std::vector<int>>>& features) {
  std::string s("MDFS\x01\x00\x00\x00", 8);
  Put32(&s, 0);  // payload length, set below
  Put32(&s, 0);  // empty name
  const double ratio = 1.0;
  std::uint64_t bits;
  std::memcpy(&bits, &ratio, 8);
  Put32(&s, static_cast<std::uint32_t>(bits));
  Put32(&s, static_cast<std::uint32_t>(bits >> 32));
  Put32(&s, static_cast<std::uint32_t>(features.size() + 1));  // next ID
  Put32(&s, static_cast<std::uint32_t>(features.size()));
  int id = 1;
  for (const auto& [kind, members] : features) {
    Put32(&s, static_cast<std::uint32_t>(id++));
    Put32(&s, kind);
    s.push_back(0);  // order
    Put32(&s, static_cast<std::uint32_t>(members.size()));
    for (int m : members) Put32(&s, static_cast<std::uint32_t>(m));
    s.push_back(0);  // no symbol
    Put32(&s, 0);    // no fields
  }
  Set32(&s, 8, static_cast<std::uint32_t>(s.size() - 12));
  Put32(&s, 0);
  return s;
}

}  // namespace

TEST(FeatureSetFile, EveryKindSurvivesSaveAndLoad) {
  SetPtr original = MakeSampleSet();
  const std::string before = Describe(original.get());
  const std::string path = TempPath("roundtrip.mdfs");
  ASSERT_TRUE(original->SaveToFile(path.c_str()));

  SetPtr loaded = NewSet("other");
  loaded->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POINT, 0);  // replaced by the load
  ASSERT_TRUE(loaded->LoadFromFile(path.c_str()));

  // Identical, except that element handles of the writing process are cleared.
  std::string expected = before;
  const std::string handle = "InterfacePtr:1=12345";
  ASSERT_NE(expected.find(handle), std::string::npos);
  expected.replace(expected.find(handle), handle.size(), "InterfacePtr:1=0");
  EXPECT_EQ(Describe(loaded.get()), expected);

  // The numbering continues after the highest ID ever given, gaps included.
  IGIS_Feature* next = loaded->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  IGIS_Feature* nextOriginal = original->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  EXPECT_EQ(next->GetID(), nextOriginal->GetID());

  // Saving the loaded set again gives the same bytes as saving the original
  // with its handle cleared.
  original->GetFeatureByIndex(4)->GetAttributes()->SetInt("InterfacePtr", 0);
  original->GetFeatureClass()->DeleteFeature(nextOriginal->GetID());
  loaded->GetFeatureClass()->DeleteFeature(next->GetID());
  EXPECT_EQ(ImageOf(loaded.get()), ImageOf(original.get()));
  unlink(path.c_str());
}

TEST(FeatureSetFile, AFileOfManyBlocksHoldsTheImageAndReadsBack) {
  // Field texts of 64 KiB spread the image over several write blocks.
  for (const int features : {1, 40, 90}) {
    SetPtr set = NewSet("blocks");
    for (int i = 0; i < features; ++i) {
      IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POLYLINE, 0);
      f->GetAttributes()->SetString("TEXT", std::string(65536, static_cast<char>('a' + i % 26)).c_str());
    }
    const std::string path = TempPath("blocks.mdfs");
    ASSERT_TRUE(set->SaveToFile(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, ImageOf(set.get())) << features;
    SetPtr loaded = NewSet();
    ASSERT_TRUE(loaded->LoadFromFile(path.c_str())) << features;  // the checksum holds
    EXPECT_EQ(loaded->GetFeatureClass()->GetFeatureCount(), features);
    unlink(path.c_str());
  }
}

TEST(FeatureSetFile, RecordsLargerThanAReadBlockLoadFromFileAndDamageIsNamed) {
  // Fields around and beyond the reader's 1 MiB block, so records straddle
  // blocks and one needs more than a block at once.
  SetPtr set = NewSet("large");
  for (const std::size_t size :
       {std::size_t{1} << 20, (std::size_t{1} << 20) + 7, std::size_t{3} << 20, std::size_t{5}}) {
    IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
    f->GetGeometry()->SetRect(SGIS_Rect(1, 2, 3, static_cast<int>(size % 1000)), 0);
    f->GetAttributes()->SetString("TEXT", std::string(size, static_cast<char>('a' + size % 26)).c_str());
  }
  const std::string image = ImageOf(set.get());
  const std::string path = TempPath("large.mdfs");
  WriteFile(path, image);
  SetPtr loaded = NewSet();
  ASSERT_TRUE(loaded->LoadFromFile(path.c_str()));
  EXPECT_EQ(ImageOf(loaded.get()), image);

  // What is wrong with a file read a block at a time is named as for one
  // read whole: a bad checksum before the damage it hides.
  std::string flipped = image;
  flipped[image.size() - 100] ^= 1;  // in the last record's field text
  std::string lengthened = image;
  const std::size_t last = image.rfind(std::string("\x04\0\0\0\x04\0\0\0", 8));  // feature 4, a polygon
  ASSERT_NE(last, std::string::npos);
  Set32(&lengthened, last + 9, 0x00FFFFFFu);  // its point count runs far past the file
  const struct {
    std::string bytes;
    const char* reason;
  } cases[] = {
      {image.substr(0, image.size() / 2), "truncated"},
      {flipped, "checksum mismatch"},
      {lengthened, "checksum mismatch"},
      {image + "x", "truncated or padded"},
  };
  const std::string before = Describe(loaded.get());
  for (const auto& c : cases) {
    WriteFile(path, c.bytes);
    LogMark mark;
    EXPECT_FALSE(loaded->LoadFromFile(path.c_str())) << c.reason;
    bool named = false;
    for (const SGIS_LogRecord& r : mark.Records())
      named |= r.level == 1 && r.text.find(path) != std::string::npos &&
               r.text.find(c.reason) != std::string::npos;
    EXPECT_TRUE(named) << c.reason;
  }
  EXPECT_EQ(Describe(loaded.get()), before);
  unlink(path.c_str());
}

TEST(FeatureSetFile, AnOverlongNameIsCutAtACharacterBoundary) {
  // 21846 three-byte characters: 65538 bytes, over the stored limit, which
  // falls inside a character.
  std::string longName;
  for (int i = 0; i < 21846; ++i) longName += "图";
  SetPtr set = NewSet(longName.c_str());
  const std::string path = TempPath("longname.mdfs");
  ASSERT_TRUE(set->SaveToFile(path.c_str()));
  SetPtr loaded = NewSet();
  ASSERT_TRUE(loaded->LoadFromFile(path.c_str()));
  const std::string name = loaded->GetName();
  EXPECT_EQ(name.size(), 65535u - 65535u % 3);
  EXPECT_EQ(name, longName.substr(0, name.size()));
  unlink(path.c_str());
}

TEST(FeatureSetFile, SymbolObjectsAreStoredAndRebuiltThroughTheCodec) {
  InstallTestSymbolCodec();
  SetPtr set = NewSet();
  IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  auto* symbol = new TestSymbol("sym:fill 3361");
  ASSERT_TRUE(f->SetSymbol(AsSymbol(symbol)));
  symbol->text = "sym:fill 3362";  // changed in place after it was handed over
  const std::string path = TempPath("symbols.mdfs");
  ASSERT_TRUE(set->SaveToFile(path.c_str()));

  SetPtr loaded = NewSet();
  ASSERT_TRUE(loaded->LoadFromFile(path.c_str()));
  IGIS_Symbol* rebuilt = loaded->GetFeature(f->GetID())->GetSymbol();
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(FromSymbol(rebuilt)->text, "sym:fill 3362");
  loaded.reset();
  set.reset();
  RemoveSymbolCodec();
  unlink(path.c_str());
}

TEST(FeatureSetFile, TruncatedOrDamagedFilesAreRefusedAndChangeNothing) {
  SetPtr sample = MakeSampleSet();
  const std::string image = ImageOf(sample.get());
  SetPtr target = MakeTargetSet();
  const std::string before = Describe(target.get());
  const std::string path = TempPath("damaged.mdfs");

  // Every cut, and every single flipped bit (one per byte, varying bit).
  for (std::size_t cut = 0; cut < image.size(); ++cut) {
    ASSERT_FALSE(ReadImage(target.get(), image.substr(0, cut))) << "cut at " << cut;
  }
  for (std::size_t at = 0; at < image.size(); ++at) {
    std::string damaged = image;
    damaged[at] = static_cast<char>(damaged[at] ^ (1 << (at % 8)));
    ASSERT_FALSE(ReadImage(target.get(), damaged)) << "flip at " << at;
  }
  ASSERT_FALSE(ReadImage(target.get(), image + std::string(1, '\0')));
  EXPECT_EQ(Describe(target.get()), before);

  // Through a file: a clear level-1 record naming the file.
  WriteFile(path, image.substr(0, image.size() / 2));
  LogMark mark;
  EXPECT_FALSE(target->LoadFromFile(path.c_str()));
  bool named = false;
  for (const SGIS_LogRecord& r : mark.Records())
    named |= r.level == 1 && r.method == "CGIS_FeatureSet::LoadFromFile" &&
             r.text.find(path) != std::string::npos && r.text.find("truncated") != std::string::npos;
  EXPECT_TRUE(named);
  EXPECT_FALSE(target->LoadFromFile(TempPath("does-not-exist.mdfs").c_str()));
  EXPECT_FALSE(target->LoadFromFile(GIS_GetTempDir()));  // a folder
  EXPECT_EQ(Describe(target.get()), before);
  unlink(path.c_str());
}

TEST(FeatureSetFile, InconsistentContentIsRefusedEvenWithAValidChecksum) {
  SetPtr target = MakeTargetSet();
  const std::string before = Describe(target.get());

  auto compounds = [](const std::vector<int>& m1, const std::vector<int>& m2, std::uint32_t kind2 = 512) {
    return HandImage({{512, m1}, {kind2, m2}});
  };
  SetPtr probe = NewSet();
  ASSERT_TRUE(ReadImage(probe.get(), compounds({2}, {}), false));  // the builder itself is sound
  EXPECT_EQ(probe->GetFeature(1)->GetMemberID(0), 2);

  const std::vector<std::string> bad = {
      compounds({1}, {}),     // itself
      compounds({2}, {1}),    // a cycle through another compound
      compounds({2, 2}, {}),  // a member twice
      compounds({7}, {}),     // no such feature
      compounds({2}, {}, 3),  // unknown kind
      compounds({}, {}, 0),   // kind 0
  };
  for (std::size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(ReadImage(target.get(), bad[i], false)) << i;

  // Counts far beyond the bytes present are refused before anything is made.
  std::string huge = compounds({2}, {});
  Set32(&huge, 28, 0xFFFFFFFFu);  // feature count
  EXPECT_FALSE(ReadImage(target.get(), huge, false));
  huge = compounds({2}, {});
  Set32(&huge, 41, 0x7FFFFFFFu);  // member count of feature 1
  EXPECT_FALSE(ReadImage(target.get(), huge, false));

  // Nesting: feature n+1 contains feature n. 1000 levels are read, 1001 are
  // not, also when the walk meets the lower levels first.
  for (int levels : {1000, 1001}) {
    std::vector<std::pair<std::uint32_t, std::vector<int>>> chain{{1024, {}}};
    for (int i = 1; i < levels; ++i) chain.push_back({512, {i}});
    SetPtr probeChain = NewSet();
    EXPECT_EQ(ReadImage(probeChain.get(), HandImage(chain), false), levels == 1000) << levels;
    std::reverse(chain.begin(), chain.end());  // feature n now contains n+1
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) chain[i].second = {static_cast<int>(i) + 2};
    chain.back().second.clear();
    EXPECT_EQ(ReadImage(probeChain.get(), HandImage(chain), false), levels == 1000) << levels;
  }
  EXPECT_EQ(Describe(target.get()), before);
}

TEST(FeatureSetFile, SavingReplacesTheTargetWholeAndLeavesNoTemporaryFile) {
  const std::string dir = TempPath("savedir");
  mkdir(dir.c_str(), 0755);
  const std::string path = dir + "/page.mdfs";
  SetPtr first = MakeTargetSet();
  ASSERT_TRUE(first->SaveToFile(path.c_str()));
  SetPtr second = MakeSampleSet();
  ASSERT_TRUE(second->SaveToFile(path.c_str()));
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"page.mdfs"});
  SetPtr loaded = NewSet();
  ASSERT_TRUE(loaded->LoadFromFile(path.c_str()));
  EXPECT_EQ(loaded->GetFeatureCount(), second->GetFeatureCount());

  // A folder that cannot be written: refused, the old file untouched.
  const std::string before = ReadFile(path);
  chmod(dir.c_str(), 0555);
  const bool writable = access(dir.c_str(), W_OK) == 0;  // root writes anyway
  LogMark mark;
  if (!writable) {
    EXPECT_FALSE(first->SaveToFile(path.c_str()));
    EXPECT_TRUE(mark.Has(1, "CGIS_FeatureSet::SaveToFile"));
    EXPECT_EQ(ReadFile(path), before);
  }
  chmod(dir.c_str(), 0755);
  EXPECT_FALSE(first->SaveToFile((dir + "/missing/page.mdfs").c_str()));
  EXPECT_FALSE(first->SaveToFile(nullptr));
  EXPECT_EQ(ReadFile(path), before);
  unlink(path.c_str());
  rmdir(dir.c_str());
}

// A disk that fills in the header, in the features or at the checksum.
TEST(FeatureSetFile, AWriteThatFailsPartWayIsRecordedWithTheSystemsReason) {
  const std::string path = TempPath("full.mdfs");
  SetPtr next = MakeSampleSet();
  for (const std::size_t room : {std::size_t{0}, std::size_t{12}, ImageOf(next.get()).size() - 4}) {
    LogMark mark;
    {
      FileSizeLimit full(room);
      EXPECT_FALSE(next->SaveToFile(path.c_str()));
    }
    EXPECT_TRUE(mark.Has(1, "CGIS_FeatureSet::SaveToFile",
                         path + ": cannot write the image: " + std::strerror(EFBIG) + "; nothing written"))
        << room;
  }
  unlink(path.c_str());
}

// What saves of that file left and no process holds goes, also under the ID
// of a running process (this one's parent); not what one of another file left.
TEST(FeatureSetFile, ASaveRemovesWhatKilledSavesOfTheSameFileLeft) {
  // A folder no save read before: one read in the last 30 s is not read again.
  std::string dir = TempPath("left-XXXXXX");
  ASSERT_NE(::mkdtemp(dir.data()), nullptr);
  const std::string path = dir + "/left.mdfs";
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  const std::string left[] = {md::files::TemporaryName(path, ended, 0),
                              md::files::TemporaryName(path, ::getppid(), 0),
                              md::files::TemporaryName(dir + "/other.mdfs", ended, 0)};
  for (const std::string& name : left) std::ofstream(name) << "left";
  EXPECT_TRUE(MakeSampleSet()->SaveToFile(path.c_str()));
  std::vector<bool> kept;
  for (const std::string& name : left) kept.push_back(unlink(name.c_str()) == 0);
  EXPECT_EQ(kept, (std::vector<bool>{false, false, true}));
  unlink(path.c_str());
  rmdir(dir.c_str());
}

TEST(FeatureSetFile, SavingKeepsWhatTheUserSetOnTheFile) {
  const std::string dir = TempPath("keepdir");
  mkdir(dir.c_str(), 0755);
  const std::string real = dir + "/real.mdfs";
  const std::string link = dir + "/link.mdfs";
  SetPtr first = MakeTargetSet();
  SetPtr second = MakeSampleSet();
  ASSERT_TRUE(first->SaveToFile(real.c_str()));
  ASSERT_EQ(chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(symlink("real.mdfs", link.c_str()), 0);

  // Through the link: the real file gets the new contents and keeps its bits.
  ASSERT_TRUE(second->SaveToFile(link.c_str()));
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(ReadFile(real), ImageOf(second.get()));

  // A read-only file is refused with a record that says so.
  ASSERT_EQ(chmod(real.c_str(), 0444), 0);
  const std::string before = ReadFile(real);
  LogMark mark;
  EXPECT_FALSE(first->SaveToFile(link.c_str()));
  bool said = false;
  for (const SGIS_LogRecord& r : mark.Records())
    said |= r.level == 1 && r.method == "CGIS_FeatureSet::SaveToFile" &&
            r.text == real + " is read-only; nothing written";
  EXPECT_TRUE(said);
  EXPECT_EQ(ReadFile(real), before);
  std::vector<std::string> names = FilesIn(dir);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"link.mdfs", "real.mdfs"}));
  unlink(link.c_str());
  unlink(real.c_str());
  rmdir(dir.c_str());
}

TEST(FeatureSetFile, LoadingANamedPipeIsRefusedWithoutWaiting) {
  const std::string pipe = TempPath("pipe.mdfs");
  unlink(pipe.c_str());
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  SetPtr target = MakeTargetSet();
  const std::string before = Describe(target.get());
  auto load = std::async(std::launch::async, [&] { return target->LoadFromFile(pipe.c_str()); });
  if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    const int fd = open(pipe.c_str(), O_WRONLY);  // frees the waiting reader
    if (fd >= 0) close(fd);
    load.wait();
    unlink(pipe.c_str());
    FAIL() << "loading a named pipe waited for a writer";
  }
  EXPECT_FALSE(load.get());
  EXPECT_EQ(Describe(target.get()), before);
  unlink(pipe.c_str());
}

TEST(FeatureSetFile, SeedCorpusFilesStillLoad) {
  // Regenerates the corpus when asked to (after a deliberate format change).
  if (const char* out = std::getenv("MD_WRITE_FEATURESET_CORPUS")) {
    ASSERT_TRUE(MakeSampleSet()->SaveToFile((std::string(out) + "/sample.mdfs").c_str()));
    ASSERT_TRUE(MakeTargetSet()->SaveToFile((std::string(out) + "/polyline.mdfs").c_str()));
    ASSERT_TRUE(NewSet("empty")->SaveToFile((std::string(out) + "/empty.mdfs").c_str()));
  }
  // Files written by version 1 stay readable; the fuzzing corpus is made of them.
  const std::string dir = std::string(MD_SOURCE_DIR) + "/tests/fuzz/corpus/featureset";
  const std::vector<std::string> names = FilesIn(dir);
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    SetPtr set = NewSet();
    EXPECT_TRUE(set->LoadFromFile((dir + "/" + name).c_str())) << name;
  }
}

TEST(FeatureSetFile, InputsThatOnceBrokeTheReaderAreHandled) {
  // Inputs the fuzzer found are kept here; each must be read without harm, and
  // whatever is accepted must write back to an image that reads again.
  const std::string dir = std::string(MD_SOURCE_DIR) + "/tests/fuzz/regressions/featureset";
  for (const std::string& name : FilesIn(dir)) {
    const std::string bytes = ReadFile(dir + "/" + name);
    SetPtr set = NewSet();
    if (!ReadImage(set.get(), bytes, false)) continue;
    SetPtr again = NewSet();
    const std::string image = ImageOf(set.get());
    EXPECT_TRUE(ReadImage(again.get(), image)) << name;
    EXPECT_EQ(Describe(again.get()), Describe(set.get())) << name;
  }
}
