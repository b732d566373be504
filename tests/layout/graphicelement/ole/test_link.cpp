// Linked objects: made from a picture file and a text file, drawn from the
// source, following its changes, stored byte-identically, drawing their
// cached presentation once the source is gone, frozen into static objects;
// files of other programs refused; the clipboard data of a link.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include "platform/files/filestore.h"
#include "platform/ole/link.h"
#include "platform/ole/record.h"
#include "platform/ui/app.h"
#include "tests/layout/graphicelement/ole/oletest.h"
#include "tests/support/logmark.h"
#include "tests/support/sourceclock.h"

namespace {

using md::test::IsGreen;
using md::test::IsRed;
using md::test::kSecond;
using md::test::PrintedPage;

class OleLink : public md::test::OlePage {
 protected:
  void SetUp() override {
    OlePage::SetUp();
    md::ui::ClearMessageBoxLog();
  }
};

// Pixels of the element's rectangle on a printed page.
struct Drawn {
  md::canvas::Raster px;
  int l, t, r, b;  // the rectangle in pixels
  // Pixels in the lower third darker than mid grey.
  int DarkBelow() const {
    int n = 0;
    for (int y = b - (b - t) / 3; y < b - 1; ++y)
      for (int x = l + 1; x < r - 1; ++x) n += (px.at(x, y) & 0xFF) < 0x80;
    return n;
  }
  std::uint32_t LeftQuarter() const { return px.at(l + (r - l) / 4, (t + b) / 2); }
};

Drawn Draw(CGIS_OleElement* e, bool bDrawn = true) {
  PrintedPage page;
  EXPECT_EQ(e->OnDraw(page.hdc, true, page.display.get()) != FALSE, bDrawn);
  const SGIS_Rect rc = e->GetRect();
  return Drawn{page.Pixels(), PrintedPage::X(rc.left), PrintedPage::Y(rc.top), PrintedPage::X(rc.right),
               PrintedPage::Y(rc.bottom)};
}

struct SourceCase {
  const char* name;
  // Writes the source's first (0) or second (1) version; the path.
  std::function<std::string(int)> write;
  // Whether a drawing shows that version.
  std::function<bool(const Drawn&, int)> shows;
};

const SourceCase kSources[] = {
    {"picture", [](int v) { return md::test::WritePng("link_source.png", 80, 40, v == 1); },
     [](const Drawn& d, int v) { return v == 0 ? IsRed(d.LeftQuarter()) : IsGreen(d.LeftQuarter()); }},
    // One line fills only the top of a box sized for three; three lines reach its bottom.
    {"text",
     [](int v) { return md::test::WriteText("link_source.txt", v == 0 ? "MMMM" : "MMMM\nMMMM\nMMMM"); },
     [](const Drawn& d, int v) { return v == 0 ? d.DarkBelow() == 0 : d.DarkBelow() > 20; }},
};

TEST_F(OleLink, FollowsItsSourceStoresItAndKeepsItsPresentationWhenTheSourceGoes) {
  for (const SourceCase& c : kSources) {
    SCOPED_TRACE(c.name);
    const std::string path = c.write(0);
    CGIS_OleElement* e = Inserted(LinkOf(path), SGIS_Rect(1000, 4000, 3000, 1000));
    e->SetFramePropertyPtr(nullptr);
    CGIS_OleClientItem* item = e->GetClientItem();
    ASSERT_TRUE(item->HasObject());
    EXPECT_EQ(item->UpdateItemType(), CGIS_OleClientItem::typeLink);
    EXPECT_EQ(item->GetLinkSource(), std::filesystem::absolute(path).lexically_normal().string());
    // A box of the second version's proportions: 1250 x 2125 for the text.
    e->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 1000 + 2125, 1000 + 1250, 1000), 0);
    EXPECT_TRUE(c.shows(Draw(e), 0));

    // The source changes: the next drawing shows it, the next save stores it.
    ASSERT_TRUE(e->Archive(0, 0));
    const std::vector<std::uint8_t> first = StoredObject(e);
    c.write(1);
    const md::test::SourceClock later;
    EXPECT_TRUE(c.shows(Draw(e), 1));
    ASSERT_TRUE(e->Archive(0, 0));
    const std::vector<std::uint8_t> second = StoredObject(e);
    EXPECT_NE(first, second);
    EXPECT_EQ(StoredStorage(e).streams.count("Link"), 1u);

    // Read back and saved again: the same bytes.
    CGIS_OleElement* back = Reread(e);
    ASSERT_TRUE(back->Archive(0, 0));
    EXPECT_EQ(StoredObject(back), second);
    EXPECT_EQ(back->GetClientItem()->GetLinkSource(), item->GetLinkSource());

    // The source gone: the cached presentation draws; asked to update, the
    // link says once that it cannot, and saving loses nothing.
    ASSERT_EQ(std::remove(path.c_str()), 0);
    md::test::LogMark mark;
    CGIS_OleElement* orphan = Reread(e);
    EXPECT_TRUE(c.shows(Draw(orphan), 1));
    EXPECT_FALSE(orphan->UpdateLink());
    EXPECT_TRUE(orphan->GetClientItem()->IsLinkUnavailable());
    EXPECT_FALSE(orphan->UpdateLink());
    EXPECT_TRUE(c.shows(Draw(orphan), 1));
    EXPECT_EQ(mark.Count(), 1u);
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_STORAGE, "CGIS_OleClientItem::UpdateLink"));
    ASSERT_TRUE(orphan->Archive(0, 0));
    EXPECT_EQ(StoredObject(orphan), second);
    // Opening it cannot connect: a prompt, nothing changed.
    EXPECT_FALSE(orphan->GetClientItem()->DoVerb(-2));
    ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
    EXPECT_NE(md::ui::MessageBoxLog().back().text.find("链接"), std::string::npos);
    md::ui::ClearMessageBoxLog();

    // Frozen: a static object showing the same, stored without its link.
    EXPECT_TRUE(orphan->GetClientItem()->FreezeLink());
    EXPECT_EQ(orphan->GetClientItem()->GetItemType(), CGIS_OleClientItem::typeStatic);
    EXPECT_FALSE(orphan->GetClientItem()->FreezeLink());
    ASSERT_TRUE(orphan->Archive(0, 0));
    const md::ole::Storage frozen = StoredStorage(orphan);
    EXPECT_EQ(frozen.streams.count("Link"), 0u);
    EXPECT_EQ(frozen.streams.count("Static"), 1u);
    CGIS_OleElement* still = Reread(orphan);
    EXPECT_EQ(still->GetClientItem()->UpdateItemType(), CGIS_OleClientItem::typeStatic);
    EXPECT_TRUE(c.shows(Draw(still), 1));
    EXPECT_FALSE(still->GetClientItem()->IsLinkUnavailable());
  }
}

// A source is taken a second after its last change, whatever its inode; a
// refused update's record says when to try again, and that update takes it.
TEST_F(OleLink, ASourceIsTakenOnlyASecondAfterItsLastChangeWhateverItsInode) {
  // How the source changes, the update's time after its last change, the end
  // of the refused update's record ("" taken; waits count 0.1 s of time lag).
  const std::tuple<const char*, std::int64_t, const char*> kCases[] = {
      {"in place", kSecond / 3, "try again in 0.77 s"},
      {"renamed", kSecond / 3, "try again in 0.77 s"},
      {"renamed", 3 * kSecond / 2, ""},
      {"unchanged", kSecond / 3, ""},
      {"renamed", -kSecond / 2, "try again in 1.60 s"},  // ahead of the clock
  };
  int n = 0;
  for (const auto& [how, after, refused] : kCases) {
    const std::string path = md::test::WriteText("link_settling_" + std::to_string(n++) + ".txt", "first");
    SCOPED_TRACE(path);
    CGIS_OleElement* e = Inserted(LinkOf(path), SGIS_Rect(0, 500, 500, 0));
    md::test::ChangeSource(path, how);
    const std::string text = std::string(how) == "unchanged" ? "first" : "second";
    const std::int64_t changed = md::files::StampOf(path).changed;
    const md::test::SourceClock clock(changed + after);
    md::test::LogMark mark;
    const bool bTaken = e->UpdateLink() != FALSE;
    const std::string record = mark.Count() == 1 ? mark.Records()[0].text : std::to_string(mark.Count());
    EXPECT_EQ(
        (std::tuple{bTaken, md::test::ObjectText(e), *refused ? record.ends_with(refused) : record == "0"}),
        (std::tuple{!*refused, *refused ? "first" : text, true}))
        << record;
    md::test::SourceClock::now = changed + 3 * kSecond / 2;
    EXPECT_TRUE(e->UpdateLink() && md::test::ObjectText(e) == text);
  }
}

// A page names a file of its reader's: printed, sized, stored, saved and
// copied, the page reads nothing of it; the update the host or the user asks
// for does.
TEST_F(OleLink, APageReadFromAFileReadsNoSourceUntilAnUpdateIsAsked) {
  const std::string source = md::test::WriteText("link_private.txt", "cached");
  CGIS_OleElement* e = Inserted(LinkOf(source), SGIS_Rect(1000, 3000, 4000, 1000));
  const std::string page = std::string(MD_TEST_OUTPUT_DIR) + "/link_private_page.mdfs";
  const std::string copy = std::string(MD_TEST_OUTPUT_DIR) + "/link_private_copy.mdfs";
  ASSERT_TRUE(set_->SaveToFile(page.c_str()));
  md::test::WriteText("link_private.txt", "SECRET");
  const md::test::SourceClock later;

  CGIS_OleElement* back = ReadFromFile(page, e->GetID());
  const struct {
    const char* name;
    std::function<void()> act;
  } kActions[] = {
      {"printed", [&] { Draw(back); }},
      {"sized", [&] { back->SetWidthAndHeight(2000, 2000); }},
      {"stored", [&] { EXPECT_TRUE(back->Archive(0, 0)); }},
      {"saved to another file", [&] { EXPECT_TRUE(back->GetFeatureSetPtr()->SaveToFile(copy.c_str())); }},
      {"copied", [&] { EXPECT_NE(back->GetClientItem()->OnGetClipboardData(TRUE), nullptr); }},
  };
  for (const auto& a : kActions) {
    SCOPED_TRACE(a.name);
    a.act();
    EXPECT_EQ(md::test::ObjectText(back), "cached");
  }
  EXPECT_TRUE(back->UpdateLink());
  EXPECT_EQ(md::test::ObjectText(back), "SECRET");
}

// A page moved or copied with its sources finds each source that lay beside
// or below it through the path relative to its file, stored beside the
// absolute one and tried first; a source elsewhere keeps its absolute path
// alone.
TEST_F(OleLink, APageMovedWithItsSourcesFindsThoseBesideOrBelowIt) {
  namespace fs = std::filesystem;
  const struct {
    const char* source;  // from the folder that moves, which holds pages/page.mdfs
    const char* relative;
    bool bCopied;  // copied: the source at the absolute path is still there
    bool bFound;
  } kCases[] = {
      {"pages/notes.txt", "notes.txt", false, true},
      {"pages/sources/notes.txt", "sources/notes.txt", false, true},
      {"pages/notes.txt", "notes.txt", true, true},
      {"notes.txt", "", false, false},  // above the page: its absolute path is gone
  };
  int n = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.source) + (c.bCopied ? ", copied" : ", moved"));
    const fs::path root = fs::path(MD_TEST_OUTPUT_DIR) / ("link_move_" + std::to_string(n++));
    fs::remove_all(root);
    fs::create_directories(root / "from" / "pages" / "sources");
    std::ofstream(root / "from" / c.source) << "before";
    CGIS_OleElement* e = Inserted(LinkOf((root / "from" / c.source).string()), SGIS_Rect(0, 500, 500, 0));
    ASSERT_TRUE(set_->SaveToFile((root / "from" / "pages" / "page.mdfs").c_str()));
    const auto stored = md::ole::LinkedObject::FromStorage(StoredStorage(e), nullptr);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->RelativePath(), c.relative);
    EXPECT_EQ(stored->AbsolutePath(), (root / "from" / c.source).string());

    if (c.bCopied)
      fs::copy(root / "from", root / "to", fs::copy_options::recursive);
    else
      fs::rename(root / "from", root / "to");
    std::ofstream(root / "to" / c.source) << "after";
    const md::test::SourceClock later;
    CGIS_OleElement* moved = ReadFromFile((root / "to" / "pages" / "page.mdfs").string(), e->GetID());
    EXPECT_EQ(moved->UpdateLink(), c.bFound);
    EXPECT_EQ(md::test::ObjectText(moved), c.bFound ? "after" : "before");
    if (c.bFound) {
      EXPECT_EQ(moved->GetClientItem()->GetLinkSource(), (root / "to" / c.source).string());
    }
  }
}

TEST_F(OleLink, FilesOfOtherProgramsAndMissingFilesAreRefusedWithAReason) {
  const std::string folder = std::string(MD_TEST_OUTPUT_DIR) + "/link_folder";
  std::filesystem::create_directories(folder);
  const struct {
    std::string path;
    const char* why;
  } kRefused[] = {
      {md::test::WriteText("report.docx", std::string("PK\x03\x04\x14\x00\x06\x00\xff\xfe", 10)),
       "files of other programs cannot"},
      {std::string(MD_TEST_OUTPUT_DIR) + "/no_such_source.png", "cannot link to"},
      {folder, "cannot link to"},
      {"", "no usable file name"},
  };
  for (const auto& c : kRefused) {
    SCOPED_TRACE(c.path);
    CGIS_OleClientItem item;
    EXPECT_FALSE(item.CreateLinkFromFile(c.path));
    EXPECT_FALSE(item.HasObject());
    EXPECT_NE(item.GetLastErrorText().find(c.why), std::string::npos) << item.GetLastErrorText();
  }
  // Through the insert dialog: the object held before stays, the user is told why.
  CGIS_OleElement* e = Inserted(NewOf("Mapdeck.TextDocument"), SGIS_Rect(0, 500, 500, 0));
  ASSERT_TRUE(e->Archive(0, 0));
  const std::vector<std::uint8_t> before = StoredObject(e);
  md::ui::ClearMessageBoxLog();
  md::test::LogMark mark;
  choice_ = LinkOf(kRefused[0].path);
  EXPECT_FALSE(e->InsertObject(nullptr));
  ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
  EXPECT_NE(md::ui::MessageBoxLog()[0].text.find("files of other programs cannot"), std::string::npos);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_OleElement::InsertObject"));
  ASSERT_TRUE(e->Archive(0, 0));
  EXPECT_EQ(StoredObject(e), before);
}

TEST_F(OleLink, ClipboardDataOffersTheLinkSourceOnlyForALinkWhenAsked) {
  const std::string path = md::test::WriteText("clip_source.txt", "clip");
  const unsigned* f = GIS_OleClipboardFormats();
  const unsigned embedded = f[3], descriptor = f[6], linkSource = f[5], linkDescriptor = f[7];
  const struct {
    md::layout::SGIS_OleInsertChoice choice;
    BOOL bIncludeLink;
    std::vector<unsigned> formats;
  } kCases[] = {
      {LinkOf(path), TRUE, {embedded, descriptor, linkSource, linkDescriptor}},
      {LinkOf(path), FALSE, {embedded, descriptor}},
      {FileOf(path), TRUE, {embedded, descriptor}},
  };
  for (const auto& c : kCases) {
    CGIS_OleElement* e = Inserted(c.choice, SGIS_Rect(0, 500, 500, 0));
    auto data = e->GetClientItem()->OnGetClipboardData(c.bIncludeLink);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->Formats(), c.formats);
    // The embedded object reads back as the same object.
    const std::vector<std::uint8_t>& file = *data->GetData(embedded);
    CGIS_OleClientItem copy;
    ASSERT_TRUE(copy.ReadItem(file.data(), file.size(), nullptr));
    EXPECT_EQ(copy.GetObject()->Content(), e->GetClientItem()->GetObject()->Content());
    EXPECT_EQ(copy.GetLinkSource(), e->GetClientItem()->GetLinkSource());
    // The descriptor starts with its size and the class.
    const std::vector<std::uint8_t>& d = *data->GetData(descriptor);
    ASSERT_GE(d.size(), 52u);
    EXPECT_EQ(d[0] | d[1] << 8 | d[2] << 16 | d[3] << 24, static_cast<int>(d.size()));
    EXPECT_TRUE(std::equal(md::ole::TextDocumentClass().clsid.begin(),
                           md::ole::TextDocumentClass().clsid.end(), d.begin() + 4));
    if (const std::vector<std::uint8_t>* source = data->GetData(linkSource)) {
      const std::string tail(source->end() - static_cast<long>(path.size()), source->end());
      EXPECT_EQ(tail, e->GetClientItem()->GetLinkSource());
    }
  }
  CGIS_OleClientItem empty;
  EXPECT_EQ(empty.OnGetClipboardData(TRUE), nullptr);
}

// Saved as another file, a page moved with its sources keeps each link's
// source where its relative path found it, relative again where it can be.
TEST_F(OleLink, APageSavedAsAnotherFileKeepsItsLinksSources) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(MD_TEST_OUTPUT_DIR) / "link_saveas", from = root / "from" / "pages",
                 to = root / "to" / "pages";
  for (const auto& [saveAs, relative] :
       {std::pair{"to/pages/sub/page.mdfs", ""}, {"to/page.mdfs", "pages/notes.txt"}}) {
    SCOPED_TRACE(saveAs);
    fs::remove_all(root);
    fs::create_directories(from / "sub");
    std::ofstream(from / "notes.txt") << "before";
    CGIS_OleElement* e = Inserted(LinkOf((from / "notes.txt").string()), SGIS_Rect(0, 500, 500, 0));
    ASSERT_TRUE(set_->SaveToFile((from / "page.mdfs").c_str()));
    fs::rename(root / "from", root / "to");
    IGIS_FeatureSet* moved = NewSet();
    ASSERT_TRUE(moved->LoadPageFromFile((to / "page.mdfs").c_str()));
    ASSERT_TRUE(moved->SaveToFile((root / saveAs).c_str()));
    const auto stored =
        md::ole::LinkedObject::FromStorage(StoredStorage(moved->GetElement(e->GetID())), nullptr);
    EXPECT_EQ(std::pair(stored->AbsolutePath(), stored->RelativePath()),
              std::pair((to / "notes.txt").string(), std::string(relative)));
  }
}

// A damaged link record leaves the page readable: the element keeps its bytes,
// draws what was stored or a placeholder, never updates; one record says why.
TEST_F(OleLink, ADamagedLinkRecordLeavesThePageReadableAndItsBytesUnchanged) {
  const std::string source = md::test::WriteText("link_damaged.txt", "MMMM\nMMMM\nMMMM");
  CGIS_OleElement* e = Inserted(LinkOf(source), SGIS_Rect(1000, 1000 + 2125, 1000 + 1250, 1000));
  e->SetName("damaged");
  e->SetFramePropertyPtr(nullptr);
  ASSERT_TRUE(e->Archive(0, 0));
  const md::ole::Storage link = StoredStorage(e);
  // The paths of the record, whether the presentation is kept, the fault.
  const std::tuple<std::string, std::string, bool, const char*> kCases[] = {
      {source, "../link_damaged.txt", true, "climbs with \"..\""},
      {source + '\0', "", true, "a NUL in a path"},
      {"/" + std::string(5000, 'a'), "", false, "a path over 4096 bytes"},
  };
  for (const auto& [absolute, relative, bPresentation, fault] : kCases) {
    SCOPED_TRACE(fault);
    md::ole::Storage damaged = link;
    md::ole::detail::RecordWriter w;
    w.U32(2);
    w.Text(absolute);
    w.Text(relative);
    damaged.streams["Link"] = w.Result();
    if (!bPresentation) damaged.streams.erase("Contents");
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(md::ole::WriteCompoundFile(damaged, &bytes, nullptr));
    StoreObject(e, bytes);
    md::test::LogMark mark;
    CGIS_OleElement* back = Reread(e);
    ASSERT_EQ(mark.Count(), 1u);
    const std::string text = mark.Records()[0].text;
    EXPECT_TRUE(text.find("\"damaged\"") != std::string::npos && text.find(fault) != std::string::npos)
        << text;
    // The text, or the placeholder's cross through the middle; never updated.
    const Drawn d = Draw(back, bPresentation);
    const bool crossed = d.px.at((d.l + d.r) / 2, (d.t + d.b) / 2) != 0xFFFFFFu;
    // The placeholder's black lines run through the lower third: off them,
    // at its left quarter, a page without the text stays white.
    const bool shown = bPresentation ? d.DarkBelow() > 20 : d.LeftQuarter() != 0xFFFFFFu;
    EXPECT_EQ((std::vector{shown, crossed, back->UpdateLink() != FALSE}),
              (std::vector{bPresentation, !bPresentation, false}));
    ASSERT_TRUE(back->Archive(0, 0));
    EXPECT_EQ(StoredObject(back), bytes);
  }
}

}  // namespace
