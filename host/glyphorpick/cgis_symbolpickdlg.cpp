#include "host/glyphorpick/cgis_symbolpickdlg.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/glyphor/gis_symbolstyles.h"

CGIS_SymbolPickDlg::CGIS_SymbolPickDlg(const std::string& caption, const std::vector<std::string>& entries,
                                       int selected, const std::string& sizeLabel,
                                       const std::string& sizeText)
    : CDialog(IDD_GIS_SYMBOLPICK),
      caption_(caption),
      entries_(entries),
      selected_(selected),
      sizeLabel_(sizeLabel),
      sizeText_(sizeText) {}

void CGIS_SymbolPickDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GIS_PICK_LIST, list_);
  DDX_Control(dx, IDC_GIS_PICK_SIZE, size_);
}

BOOL CGIS_SymbolPickDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(caption_.c_str());
  for (const auto& e : entries_) list_.AddString(e.c_str());
  if (selected_ >= 0 && selected_ < static_cast<int>(entries_.size())) list_.SetCurSel(selected_);
  SetDlgItemText(IDC_GIS_PICK_SIZE_LABEL, sizeLabel_.c_str());
  size_.SetWindowText(sizeText_.c_str());
  return TRUE;
}

void CGIS_SymbolPickDlg::OnOK() {
  chosen_ = list_.GetCurSel();
  sizeText_ = size_.GetWindowText();
  CDialog::OnOK();
}

namespace {

std::vector<int> CodesOf(md::glyphor::Kind kind) {
  std::vector<int> codes;
  for (const auto& s : md::glyphor::AllStyles())
    if (s.kind == kind) codes.push_back(s.code);
  return codes;
}

std::string StyleEntry(int code) {
  const md::glyphor::Style* s = md::glyphor::Find(code);
  return std::to_string(code) + " " + (s ? s->name : "");
}

struct TextPreset {
  const char* face;
  LONG height;
  LONG weight;
  COLORREF color;
};
const TextPreset kTextPresets[] = {
    {"宋体", -10, 400, RGB(0, 0, 0)},
    {"黑体", -12, 700, RGB(0, 0, 0)},
    {"Times New Roman", -10, 400, RGB(0, 0, 0)},
    {"Arial", -10, 400, RGB(0, 0, 160)},
};

}  // namespace

std::vector<std::string> GIS_SymbolCatalogue(int kind) {
  std::vector<std::string> out;
  switch (kind) {
    case 1:
      for (const auto& p : md::glyphor::PointPresets())
        out.push_back("类型" + std::to_string(p.type) + " " + StyleEntry(p.code));
      break;
    case 2:
      for (int c : CodesOf(md::glyphor::Kind::Line)) out.push_back(StyleEntry(c));
      break;
    case 4:
      for (int c : CodesOf(md::glyphor::Kind::Fill)) out.push_back(StyleEntry(c));
      break;
    case 8:
      for (const auto& t : kTextPresets) out.push_back(std::string(t.face) + " " + std::to_string(-t.height));
      break;
    default:
      break;
  }
  return out;
}

IGIS_Symbol* GIS_MakeCatalogueSymbol(int kind, int index) {
  IGIS_SymbolFactory* f = GIS_GetSymbolFactoryObject();
  if (kind == 1) {
    const auto& presets = md::glyphor::PointPresets();
    if (index < 0 || index >= static_cast<int>(presets.size())) return nullptr;
    const auto& p = presets[index];
    IGIS_Symbol* s = f->CreateSymbol(p.type);
    if (!s) return nullptr;
    s->SetCode(p.code);
    if (p.size > 0) s->SetSize(p.size);
    s->SetColor(p.color);
    s->SetColor2(p.color2);
    s->SetColor3(p.color3);
    return s;
  }
  if (kind == 2 || kind == 4) {
    const auto codes = CodesOf(kind == 2 ? md::glyphor::Kind::Line : md::glyphor::Kind::Fill);
    if (index < 0 || index >= static_cast<int>(codes.size())) return nullptr;
    IGIS_Symbol* s = f->CreateSymbol(kind == 2 ? GIS_SYMBOL_LINE : GIS_SYMBOL_FILL);
    if (s) s->SetCode(codes[index]);
    return s;
  }
  if (kind == 8) {
    if (index < 0 || index >= static_cast<int>(std::size(kTextPresets))) return nullptr;
    IGIS_Symbol* s = f->CreateSymbol(GIS_SYMBOL_TEXT);
    if (!s) return nullptr;
    LOGFONT* lf = s->GetFontSizePtr();
    const TextPreset& t = kTextPresets[index];
    lf->lfHeight = t.height;
    lf->lfWeight = t.weight;
    std::memset(lf->lfFaceName, 0, sizeof lf->lfFaceName);
    std::strncpy(lf->lfFaceName, t.face, sizeof lf->lfFaceName - 1);
    s->SetColor(t.color);
    return s;
  }
  return nullptr;
}

std::vector<std::string> GIS_Symbol2Catalogue(int kind) {
  std::vector<std::string> out;
  if (kind == 1) {
    for (int c : CodesOf(md::glyphor::Kind::Line)) out.push_back(StyleEntry(c));
  } else if (kind == 2) {
    for (int c : CodesOf(md::glyphor::Kind::Fill)) out.push_back(StyleEntry(c));
    out.push_back("默认背景");
  }
  return out;
}

IGIS_SymbolV2* GIS_MakeCatalogueSymbol2(int kind, int index) {
  IGIS_SymbolV2Factory* f = GIS_GetSymbol2FactoryObject();
  if (kind != 1 && kind != 2) return nullptr;
  const auto codes = CodesOf(kind == 1 ? md::glyphor::Kind::Line : md::glyphor::Kind::Fill);
  if (kind == 2 && index == static_cast<int>(codes.size())) return f->CreateSymbol(GIS_SYMBOLV2_BACKGROUND);
  if (index < 0 || index >= static_cast<int>(codes.size())) return nullptr;
  IGIS_SymbolV2* s = f->CreateSymbol(kind == 1 ? GIS_SYMBOLV2_LINE : GIS_SYMBOLV2_FILL);
  if (s) s->SetCode(codes[index]);
  return s;
}

bool GIS_ParseSize(const std::string& text, double* value) {
  if (text.empty() || text.size() > 64) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == text.c_str() || (end && *end != '\0') || !std::isfinite(v) || v <= 0.0) return false;
  *value = v;
  return true;
}

std::string GIS_FormatSize(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", value);
  return buf;
}
