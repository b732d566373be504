// The interface calls that take an object over, and what each does with one
// it refuses: its header says so, in the comment above its declaration. The
// behaviour itself is pinned beside each call's other tests (MapGrids,
// LegendElement, the map document's layers).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// The comment lines directly above the first line holding the declaration,
// joined into one text; "" when the declaration is not in the file.
std::string CommentAbove(const std::string& header, const std::string& declaration) {
  std::ifstream in(std::string(MD_SOURCE_DIR) + "/" + header);
  std::string line, comment;
  while (std::getline(in, line)) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start != std::string::npos && line.compare(start, 2, "//") == 0) {
      comment += line.substr(start + 2);
    } else if (line.find(declaration) != std::string::npos) {
      return comment;
    } else {
      comment.clear();
    }
  }
  return std::string();
}

TEST(Ownership, EveryCallThatTakesAnObjectOverSaysWhatBecomesOfOneItRefuses) {
  constexpr const char* kKeeps = "the caller keeps";
  constexpr const char* kReleases = "releases it";
  const struct {
    const char* header;
    const char* declaration;
    const char* rule;
  } rows[] = {
      {"host/basilo/igis_globalproperties.h", "BOOL AddProperty(IGIS_Field* field)", kKeeps},
      {"host/featra/igis_feature.h", "BOOL SetSymbol(IGIS_Symbol* symbol)", kKeeps},
      {"host/helmora/igis_map.h", "BOOL AddLayer(IGIS_MapLayer* child)", kKeeps},
      {"host/helmora/igis_map.h", "BOOL AddLayer(IGIS_MapLayer* layer)", kKeeps},
      {"layout/graphicelement/grid/grid/igis_mapgrids.h", "bool AddMapGrid(IGIS_MapGrid* pGrid)", kKeeps},
      {"layout/graphicelement/legend/igis_legendelement.h", "bool AddItem(IGIS_LegendItem* pItem)",
       kReleases},
      {"layout/graphicelement/legend/igis_legendelement.h",
       "void InsertItem(int nIndex, IGIS_LegendItem* pItem)", kReleases},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.header) + ": " + row.declaration);
    const std::string comment = CommentAbove(row.header, row.declaration);
    ASSERT_FALSE(comment.empty());
    EXPECT_NE(comment.find(row.rule), std::string::npos) << comment;
  }
}

}  // namespace
