#include "tests/layout/graphicelement/legend/dialogs/legenddialogtest.h"

#include "host/basilo/igis_propertyset.h"
#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "layout/graphicelement/legend/dialogs/cgis_legendpropertywizard.h"
#include "layout/graphicelement/legend/legendwizard.h"
#include "platform/ui/app.h"

namespace md::test {

std::vector<std::string> Lines(const md::ui::UiUser& u, int id) {
  std::vector<std::string> out;
  CWnd* c = u.Control(id);
  if (c == nullptr) return out;
  const int n = static_cast<int>(c->SendMessage(LB_GETCOUNT));
  for (int i = 0; i < n; ++i) {
    std::vector<char> text(static_cast<size_t>(c->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i))) + 1,
                           '\0');
    c->SendMessage(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    out.emplace_back(text.data());
  }
  return out;
}

std::vector<int> Selected(const md::ui::UiUser& u, int id) {
  std::vector<int> out;
  CWnd* c = u.Control(id);
  if (c == nullptr) return out;
  const int n = static_cast<int>(c->SendMessage(LB_GETCOUNT));
  for (int i = 0; i < n; ++i) {
    if (c->SendMessage(LB_GETSEL, static_cast<WPARAM>(i)) > 0) out.push_back(i);
  }
  return out;
}

std::vector<std::string> LabelsOf(IGIS_LegendItem* item) {
  std::vector<std::string> out;
  for (int i = 0; i < item->GetLabelCount(); ++i) out.emplace_back(item->GetLabel(i));
  return out;
}

std::vector<unsigned char> SymbolBytes(IGIS_Symbol* symbol) {
  std::vector<unsigned char> out;
  if (symbol == nullptr) return out;
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  symbol->Save(b);
  out.assign(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}

void PickSecondSymbol(md::ui::UiUser& u) {
  u.Choose(IDC_GIS_PICK_LIST, 1);
  u.Ok();
}

void LegendDialogs::SetUp() {
  LegendPage::SetUp();
  // Other tests of this program replace the runner.
  md::layout::SetLegendWizardRunner(md::layout::LegendWizard());
  md::ui::ClearMessageBoxLog();
  md::ui::ClearDriverErrors();
}

void LegendDialogs::TearDown() {
  for (const std::string& e : md::ui::DriverErrors()) ADD_FAILURE() << e;
  LegendPage::TearDown();
}

}  // namespace md::test
