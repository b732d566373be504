// The frame symbol libraries: their files, names, entries that cannot be
// rebuilt, unreadable files and interrupted saves.
#include <cstring>
#include <string>

#include "layout/graphicelement/element/libraryfile.h"
#include "tests/layout/graphicelement/frame/dialogs/framedialogtest.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/oddfiles.h"

namespace {

using md::test::Bytes;
using md::test::FrameLibraryTest;
using md::test::LineSymbol2;
using md::test::Symbol2;

using State = CGIS_FrameSymbolLibrary::FileState;

class FrameSymbolLibrary : public FrameLibraryTest {};

TEST_F(FrameSymbolLibrary, EachModeHasItsFileInTheConfigurationFolder) {
  EXPECT_EQ(Path(GIS_FRAME_LIBRARY_BORDER), (dir_ / "frameborder.ets").string());
  EXPECT_EQ(Path(GIS_FRAME_LIBRARY_BACKGROUND), (dir_ / "framebackground.ets").string());
  EXPECT_EQ(Path(GIS_FRAME_LIBRARY_SHADOW), (dir_ / "frameshadow.ets").string());
  EXPECT_EQ(Path(3), "");
  EXPECT_EQ(Path(-1), "");
  // The file-name keys were registered with their defaults.
  IGIS_Field* key = GIS_GetGlobalProperties()->GetProperty("GLOBAL_GRAPHICELEMENT_CFG_FRAME_SHADOW");
  ASSERT_NE(key, nullptr);
  EXPECT_STREQ(key->GetString(), "frameshadow.ets");
}

TEST_F(FrameSymbolLibrary, EntriesGoAndComeBackInOrderWithTheirNames) {
  Symbol2 red(LineSymbol2(RGB(255, 0, 0), 0.5)), blue(LineSymbol2(RGB(0, 0, 255), 1.5));
  CGIS_FrameSymbolLibrary lib;
  EXPECT_EQ(lib.Load(Path(0)), State::Missing);
  EXPECT_TRUE(std::filesystem::exists(Path(0)));  // created empty
  EXPECT_TRUE(lib.Add(red.p, "红线"));
  EXPECT_TRUE(lib.Add(blue.p, "Blue"));
  EXPECT_FALSE(lib.Add(nullptr, "none"));
  EXPECT_TRUE(lib.SaveIfAllowed());

  CGIS_FrameSymbolLibrary back;
  EXPECT_EQ(back.Load(Path(0)), State::Read);
  ASSERT_EQ(back.GetSymbolCount(), 2);
  EXPECT_EQ(back.GetSymbolEntry(0)->strName, "红线");
  EXPECT_EQ(Bytes(back.GetSymbolEntry(0)->pSymbol.get()), Bytes(red.p));
  EXPECT_EQ(back.GetSymbolEntry(1)->strName, "Blue");
  EXPECT_EQ(Bytes(back.GetSymbolEntry(1)->pSymbol.get()), Bytes(blue.p));
  // Keys are positions from 0.
  EXPECT_TRUE(back.HasName("blue"));
  EXPECT_TRUE(back.HasName("BLUE"));
  EXPECT_FALSE(back.HasName("Blu"));
}

TEST_F(FrameSymbolLibrary, NamesAreCutTo999BytesAtAWholeCharacter) {
  Symbol2 s(LineSymbol2(RGB(0, 0, 0), 0.3));
  CGIS_FrameSymbolLibrary lib;
  lib.Load(Path(0));
  lib.Add(s.p, std::string(1200, 'a').c_str());
  lib.Add(s.p, (std::string(998, 'b') + "中").c_str());  // the character does not fit
  EXPECT_EQ(lib.GetSymbolEntry(0)->strName, std::string(999, 'a'));
  EXPECT_EQ(lib.GetSymbolEntry(1)->strName, std::string(998, 'b'));
  // A stored name longer than that is cut on reading too.
  WriteAll(Path(1), LibraryBytes({{std::string(1200, 'c'), Bytes(s.p)}}));
  CGIS_FrameSymbolLibrary read;
  read.Load(Path(1));
  ASSERT_EQ(read.GetSymbolCount(), 1);
  EXPECT_EQ(read.GetSymbolEntry(0)->strName, std::string(999, 'c'));
}

TEST_F(FrameSymbolLibrary, AnEntryThatCannotBeRebuiltIsWrittenBackUnchangedInItsPlace) {
  Symbol2 a(LineSymbol2(RGB(1, 2, 3), 0.4)), c(LineSymbol2(RGB(4, 5, 6), 0.8));
  const std::vector<BYTE> junk = {'n', 'o', 't', 0, 1, 2, 0xFF};
  const std::string file = LibraryBytes({{"甲", Bytes(a.p)}, {"坏的", junk}, {"丙", Bytes(c.p)}});
  WriteAll(Path(0), file);
  md::test::LogMark log;
  CGIS_FrameSymbolLibrary lib;
  EXPECT_EQ(lib.Load(Path(0)), State::Read);
  EXPECT_TRUE(log.Has(3, "CGIS_FrameSelectorDlg::Init", "p_symbol == NULL"));
  EXPECT_EQ(lib.GetEntryCount(), 3);
  ASSERT_EQ(lib.GetSymbolCount(), 2);  // only rebuilt symbols are shown
  EXPECT_EQ(lib.GetSymbolEntry(1)->strName, "丙");
  EXPECT_TRUE(lib.SaveIfAllowed());
  EXPECT_EQ(ReadAll(Path(0)), file);  // byte for byte

  // Deleting a shown entry keeps the carried one, numbered without gaps.
  EXPECT_TRUE(lib.RemoveSymbolEntry(0));
  EXPECT_FALSE(lib.RemoveSymbolEntry(5));
  EXPECT_TRUE(lib.SaveIfAllowed());
  const auto fields = Fields(Path(0));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0], (std::pair<std::string, std::vector<BYTE>>{"坏的", junk}));
  EXPECT_EQ(fields[1].first, "丙");
  EXPECT_EQ(ReadAll(Path(0)), LibraryBytes({{"坏的", junk}, {"丙", Bytes(c.p)}}));
}

// Files that are not libraries: read as nothing, never written over unless
// the user changes the library.
struct Unreadable {
  const char* what;
  std::string bytes;
};

class UnreadableLibrary : public FrameLibraryTest, public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableLibrary, IsLeftAsItIsUntilTheUserChangesTheLibrary) {
  WriteAll(Path(2), GetParam().bytes);
  CGIS_FrameSymbolLibrary lib;
  EXPECT_EQ(lib.Load(Path(2)), State::Unreadable);
  EXPECT_EQ(lib.GetEntryCount(), 0);
  EXPECT_TRUE(lib.SaveIfAllowed());
  EXPECT_EQ(ReadAll(Path(2)), GetParam().bytes);
  Symbol2 s(LineSymbol2(RGB(9, 9, 9), 0.2));
  lib.Add(s.p, "新的");
  EXPECT_TRUE(lib.SaveIfAllowed());
  CGIS_FrameSymbolLibrary back;
  EXPECT_EQ(back.Load(Path(2)), State::Read);
  EXPECT_EQ(back.GetSymbolCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableLibrary,
                         ::testing::Values(Unreadable{"text", "this is not a library"},
                                           Unreadable{"truncated", std::string("MDPS\x01\0\0\0\x09", 9)}));

TEST_F(FrameSymbolLibrary, AFolderInPlaceOfTheFileIsUnreadableAndKept) {
  std::filesystem::create_directories(Path(0));
  CGIS_FrameSymbolLibrary lib;
  EXPECT_EQ(lib.Load(Path(0)), State::Unreadable);
  EXPECT_TRUE(lib.SaveIfAllowed());
  EXPECT_TRUE(std::filesystem::is_directory(Path(0)));
}

TEST_F(FrameSymbolLibrary, OddFilesAreUnreadableWithoutWaitingAndKept) {
  const md::test::OddPaths odd(dir_ / "odd", md::layout::kMaxLibraryFileBytes + 1);
  for (const auto& [name, path] : odd.All()) {
    SCOPED_TRACE(name);
    CGIS_FrameSymbolLibrary lib;
    EXPECT_TRUE(
        md::test::EndsWithoutWaiting(odd.pipe, [&] { EXPECT_EQ(lib.Load(path), State::Unreadable); }));
    EXPECT_TRUE(lib.SaveIfAllowed());  // nothing written: the user changed nothing
  }
  EXPECT_EQ(std::filesystem::file_size(odd.big), md::layout::kMaxLibraryFileBytes + 1);
}

TEST_F(FrameSymbolLibrary, SavesKeepWhatTheUserSetOnTheFile) {
  Symbol2 s(LineSymbol2(RGB(10, 20, 30), 0.7));
  md::test::ExpectSafeWrites(dir_ / "safe", [&](const std::string& path) {
    CGIS_FrameSymbolLibrary lib;
    lib.Add(s.p, "线");
    return lib.Save(path);
  });
}

TEST_F(FrameSymbolLibrary, AFileThatCannotBeCreatedLeavesAnEmptyLibraryThatIsNotWritten) {
  CGIS_FrameSymbolLibrary lib;
  EXPECT_EQ(lib.Load((dir_ / "no-such-folder" / "x.ets").string()), State::None);
  EXPECT_TRUE(lib.SaveIfAllowed());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "no-such-folder"));
  EXPECT_EQ(lib.Load(""), State::None);
}

TEST_F(FrameSymbolLibrary, ASaveInterruptedBeforeTheRenameLeavesTheOldFileWhole) {
  Symbol2 s(LineSymbol2(RGB(10, 20, 30), 0.7));
  CGIS_FrameSymbolLibrary lib;
  lib.Load(Path(0));
  lib.Add(s.p, "旧");
  ASSERT_TRUE(lib.SaveIfAllowed());
  const std::string old = ReadAll(Path(0));
  for (int i = 0; i < 20; ++i) lib.Add(s.p, ("新" + std::to_string(i)).c_str());
  md::test::LogMark log;
  {
    md::test::FileSizeLimit limit(old.size());  // the new file does not fit
    EXPECT_FALSE(lib.SaveIfAllowed());
  }
  EXPECT_TRUE(log.Has(1, "CGIS_FrameSelectorDlg::SaveToFile"));
  EXPECT_EQ(ReadAll(Path(0)), old);
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(lib.SaveIfAllowed());  // with room again it is written
  EXPECT_EQ(Fields(Path(0)).size(), 21u);
}

}  // namespace
