// Shared pieces of the legend dialogs' tests: reading list boxes as the user
// sees them, and the legend fixture with the dialogs' message and driver
// logs cleared and checked.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/driver.h"
#include "tests/layout/graphicelement/legend/legendtest.h"
#include "tests/support/snapshots.h"

namespace md::test {

// The lines of a list box.
std::vector<std::string> Lines(const md::ui::UiUser& u, int id);
// The selected lines' indices of a list box.
std::vector<int> Selected(const md::ui::UiUser& u, int id);
// The labels of a legend item, in order.
std::vector<std::string> LabelsOf(IGIS_LegendItem* item);
// A symbol's saved bytes (empty for none).
std::vector<unsigned char> SymbolBytes(IGIS_Symbol* symbol);
// A symbol chooser scene: the second symbol of the list, confirmed.
void PickSecondSymbol(md::ui::UiUser& u);

class LegendDialogs : public LegendPage {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace md::test
