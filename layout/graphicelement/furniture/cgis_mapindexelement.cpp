// The map index element: table geometry, storage, drawing and conversion.
#include "layout/graphicelement/furniture/cgis_mapindexelement.h"

#include <cstdint>
#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/furniture/furniturepainter.h"
#include "layout/graphicelement/furniture/furniturestore.h"

using md::layout::furniture::Clamp;
using md::layout::furniture::CommitFeature;
using md::layout::furniture::EnsureField;
using md::layout::furniture::Field;
using md::layout::furniture::NullSymbol;
using md::layout::furniture::PropertySetPtr;
using md::layout::furniture::ReplaceSymbol;
using md::layout::furniture::Round;
using md::layout::furniture::SymbolPtr;

namespace {

constexpr const char* kClass = "CGIS_MapIndexElement";

constexpr const char* kKeyFrame = "FrameProperty";
constexpr const char* kKeyColWidth = "ColWidth";
constexpr const char* kKeyRowHeight = "RowHeight";
constexpr const char* kKeyText = "TextSymbol";
constexpr const char* kKeyBorder = "BorderPolylineSymbol";
constexpr const char* kKeyFill = "FillSymbol";
constexpr const char* kKeyInside = "InsidePolylineSymbol";

struct NeighbourKey {
  const char* key;
  const char* description;
  const char* defaultText;
  int cell;  // column + 3 x row, rows counted from the bottom
};
// In the order of CGIS_MapIndexElement::Neighbour. East is the left column,
// West the right one.
constexpr NeighbourKey kNeighbours[] = {
    {"NorthEast", "东北", "1", 6}, {"North", "正北", "2", 7},     {"NorthWest", "西北", "3", 8},
    {"East", "正东", "4", 3},      {"West", "正西", "6", 5},      {"SouthEast", "东南", "7", 0},
    {"South", "正南", "8", 1},     {"SouthWest", "西南", "9", 2},
};
// The neighbours in the order both drawing and conversion place them (cells 0..8).
constexpr CGIS_MapIndexElement::Neighbour kPlacingOrder[] = {
    CGIS_MapIndexElement::kSouthEast, CGIS_MapIndexElement::kSouth,     CGIS_MapIndexElement::kSouthWest,
    CGIS_MapIndexElement::kEast,      CGIS_MapIndexElement::kWest,      CGIS_MapIndexElement::kNorthEast,
    CGIS_MapIndexElement::kNorth,     CGIS_MapIndexElement::kNorthWest,
};

constexpr int kDefaultTextSize = 15;

// The table drawn in a rectangle with the cell sizes.
struct Table {
  SGIS_Point border[5];
  SGIS_Point inside[4][2];
  SGIS_Point centre[5];
  SGIS_Point cellCentre[9];
};

Table LayOut(const SGIS_Rect& r, int cw, int rh) {
  Table t{};
  const std::int64_t l = r.left, b = r.bottom;
  t.border[0] = SGIS_Point(r.left, r.top);
  t.border[1] = SGIS_Point(r.left, r.bottom);
  t.border[2] = SGIS_Point(r.right, r.bottom);
  t.border[3] = SGIS_Point(r.right, r.top);
  t.border[4] = t.border[0];
  const std::int32_t y1 = Clamp(b + rh), y2 = Clamp(b + 2LL * rh);
  const std::int32_t x1 = Clamp(l + cw), x2 = Clamp(l + 2LL * cw);
  t.inside[0][0] = SGIS_Point(r.left, y1);
  t.inside[0][1] = SGIS_Point(r.right, y1);
  t.inside[1][0] = SGIS_Point(r.left, y2);
  t.inside[1][1] = SGIS_Point(r.right, y2);
  t.inside[2][0] = SGIS_Point(x1, r.bottom);
  t.inside[2][1] = SGIS_Point(x1, r.top);
  t.inside[3][0] = SGIS_Point(x2, r.bottom);
  t.inside[3][1] = SGIS_Point(x2, r.top);
  t.centre[0] = SGIS_Point(x1, y2);
  t.centre[1] = SGIS_Point(x1, y1);
  t.centre[2] = SGIS_Point(x2, y1);
  t.centre[3] = SGIS_Point(x2, y2);
  t.centre[4] = t.centre[0];
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      t.cellCentre[col + 3 * row] =
          SGIS_Point(Clamp(l + std::int64_t{col} * cw + cw / 2), Clamp(b + std::int64_t{row} * rh + rh / 2));
    }
  }
  return t;
}

}  // namespace

using md::layout::furniture::NewSymbol;

int CGIS_MapIndexElement::CellOf(Neighbour n) { return n >= 0 && n < kCount ? kNeighbours[n].cell : 4; }

CGIS_MapIndexElement::CGIS_MapIndexElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "接图表") {
  if (pOwner == nullptr) return;
  for (int i = 0; i < kCount; ++i) m_texts[static_cast<std::size_t>(i)] = kNeighbours[i].defaultText;

  m_pFrame.reset(GIS_CreateFramePropertyObject());
  if (IGIS_Symbol* pLine = NewSymbol(GIS_SYMBOL_LINE)) {
    pLine->SetCode(3332);
    if (m_pFrame) {
      m_pFrame->SetBorderSymbolPtr(pLine);
      m_pFrame->SetBorderX(0);
      m_pFrame->SetBorderY(0);
    }
    pLine->SetCode(3331);
    m_pBorderSymbol.reset(pLine->Clone());
    m_pInsideSymbol.reset(pLine);
  }
  m_pFillSymbol.reset(NewSymbol(GIS_SYMBOL_FILL));
  if (m_pFillSymbol) m_pFillSymbol->SetCode(3361);
  m_pTextSymbol.reset(NewSymbol(GIS_SYMBOL_TEXT));
  if (m_pTextSymbol && m_pTextSymbol->GetFontSizePtr() != nullptr) {
    m_pTextSymbol->GetFontSizePtr()->lfHeight = kDefaultTextSize;
  }

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;
  options.nCanConvert = 1;
  if (m_core.Bind(pOwner, pFeature, options) == CGIS_ElementCore::Binding::Created) {
    IGIS_Feature* pOwn = m_core.m_pFeature;
    SetGeometryRect(SGIS_Rect(0, 3 * m_nRowHeight, 3 * m_nColWidth, 0));
    if (IGIS_FeatureAttributes* pAttr = pOwn->GetAttributes()) {
      PropertySetPtr set(GIS_CreatePropertySetObject());
      if (set) {
        // A new feature lists the texts first and names the frame in Chinese.
        for (const NeighbourKey& k : kNeighbours)
          set->AddProperty(k.key, k.description, GIS_FIELD_TYPE_STRING, 1);
        set->AddProperty(kKeyColWidth, "列宽", GIS_FIELD_TYPE_INT, 1);
        set->AddProperty(kKeyRowHeight, "行高", GIS_FIELD_TYPE_INT, 1);
        set->AddProperty(kKeyFrame, "框架的属性", GIS_FIELD_TYPE_BUFFER, 1);
        md::layout::furniture::WriteCustom(pAttr, set.get());
        md::layout::CustomSetWriter values(pAttr, "CGIS_MapIndexElement::CGIS_MapIndexElement");
        WriteKeys(values);
        values.Finish();
      }
    }
    CommitFeature(pOwner, pOwn, GIS_UPDATE_ALL);
  }
  if (IGIS_AnnoStyleFactory* pStyles = GIS_GetAnnotationStyleFactoryObject()) {
    if (IGIS_AnnoStyleSet* pSet = pStyles->CreateStyleSet(1)) m_pTextStyle.reset(pSet->GetPointStyle());
  }
  if (m_pTextStyle) m_pTextStyle->SetAlignment(GIS_ALIGN_CENTER);
}

// ---- Values ------------------------------------------------------------------

void CGIS_MapIndexElement::SetText(Neighbour n, const char* szText) {
  if (n < 0 || n >= kCount) return;
  if (szText == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("SetText").c_str(), "right为NULL");
    return;
  }
  std::string& held = m_texts[static_cast<std::size_t>(n)];
  const std::size_t nLength = std::strlen(szText);
  held.assign(szText, md::layout::Utf8CutLength(szText, nLength, GIS_ELEMENT_NAME_MAX));
}

// A NULL symbol leaves the table without that symbol.
void CGIS_MapIndexElement::SetTextSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pTextSymbol, pSymbol, GIS_SYMBOL_TEXT, m_core.Method("SetTextSymbolPtr"), NullSymbol::Drop);
}
void CGIS_MapIndexElement::SetBorderLineSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pBorderSymbol, pSymbol, GIS_SYMBOL_LINE, m_core.Method("SetBorderLineSymbolPtr"),
                NullSymbol::Drop);
}
void CGIS_MapIndexElement::SetInsideLineSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pInsideSymbol, pSymbol, GIS_SYMBOL_LINE, m_core.Method("SetInsideLineSymbolPtr"),
                NullSymbol::Drop);
}
void CGIS_MapIndexElement::SetFillSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pFillSymbol, pSymbol, GIS_SYMBOL_FILL, m_core.Method("SetFillSymbolPtr"), NullSymbol::Drop);
}

bool CGIS_MapIndexElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  return md::layout::furniture::ReplaceFrame(m_pFrame, pFrame);
}

// ---- Geometry ----------------------------------------------------------------

SGIS_Rect CGIS_MapIndexElement::GetRect() { return md::layout::furniture::FeatureRect(GetFeaturePtr()); }

bool CGIS_MapIndexElement::SetGeometryRect(const SGIS_Rect& rect, int nFlags) {
  return md::layout::furniture::StoreFeatureRect(m_core.m_pFeatureSet, GetFeaturePtr(), rect, nFlags);
}

void CGIS_MapIndexElement::SetRowHeight(int nHeight) {
  if (nHeight <= 0) return;
  m_nRowHeight = nHeight;
  if (GetFeaturePtr() == nullptr) return;
  SGIS_Rect r = GetRect();
  r.top = Clamp(std::int64_t{r.bottom} + 3LL * nHeight);
  SetGeometryRect(r);
}

void CGIS_MapIndexElement::SetColWidth(int nWidth) {
  if (nWidth <= 0) return;
  m_nColWidth = nWidth;
  if (GetFeaturePtr() == nullptr) return;
  SGIS_Rect r = GetRect();
  r.right = Clamp(std::int64_t{r.left} + 3LL * nWidth);
  SetGeometryRect(r);
}

void CGIS_MapIndexElement::UpdateGeometry() {
  if (GetFeaturePtr() == nullptr) return;
  SGIS_Rect r = GetRect();
  r.right = Clamp(std::int64_t{r.left} + 3LL * m_nColWidth);
  r.top = Clamp(std::int64_t{r.bottom} + 3LL * m_nRowHeight);
  SetGeometryRect(r, GIS_UPDATE_ALL);
}

void CGIS_MapIndexElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  SetGeometryRect(md::layout::furniture::MovedRect(GetRect(), dx, dy), GIS_UPDATE_GEOMETRY);
}

void CGIS_MapIndexElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_MapIndexElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  const SGIS_Rect current = GetRect();
  OffsetAllPoints(Clamp(std::int64_t{rect.left} - current.left),
                  Clamp(std::int64_t{rect.bottom} - current.bottom));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_MapIndexElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth < 1 || nHeight < 1) return;
  const SGIS_Rect r = GetRect();
  double w = r.Width(), h = r.Height();
  if (nWidth == w && nHeight == h) return;
  if (w == 0 || h == 0) {
    w = 3.0 * m_nColWidth;
    h = 3.0 * m_nRowHeight;
  }
  const double sx = w > 0 ? nWidth / w : 1.0;
  const double sy = h > 0 ? nHeight / h : 1.0;
  // The table keeps its proportions: shrinking in both directions takes the
  // milder factor, anything else the smaller one.
  const double k = (sx < 1.0 && sy < 1.0) ? std::max(sx, sy) : std::min(sx, sy);
  ScaleShape(SGIS_Point(r.left, r.bottom, 0), k, k);
}

void CGIS_MapIndexElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  const SGIS_Rect r = GetRect();
  const int nLeft = Round((static_cast<double>(r.left) - origin.x) * sx + origin.x);
  const int nBottom = Round((static_cast<double>(r.bottom) - origin.y) * sy + origin.y);
  const double s = std::min(sx, sy);
  if (m_pTextSymbol && m_pTextSymbol->GetFontSizePtr() != nullptr) {
    LONG& size = m_pTextSymbol->GetFontSizePtr()->lfHeight;
    size = Round(size * s);
  }
  // A cell never shrinks to nothing: the table keeps three visible rows and columns.
  m_nColWidth = std::max(1, Round(m_nColWidth * s));
  m_nRowHeight = std::max(1, Round(m_nRowHeight * s));
  const SGIS_Rect scaled(nLeft, Clamp(std::int64_t{nBottom} + 3LL * m_nRowHeight),
                         Clamp(std::int64_t{nLeft} + 3LL * m_nColWidth), nBottom);
  SetGeometryRect(scaled, GIS_UPDATE_ALL);
}

// ---- Copies and the sheet ----------------------------------------------------

void CGIS_MapIndexElement::CopyFrom(CGIS_MapIndexElement* pSource) {
  SetLock(pSource->IsLock());
  SetName(pSource->GetName());
  m_core.m_bKeepHVScaleRatio = pSource->m_core.m_bKeepHVScaleRatio;
  SetRect(pSource->GetRect());
  SetFramePropertyPtr(pSource->GetFramePropertyPtr());
  if (pSource->GetBorderLineSymbolPtr() != nullptr) SetBorderLineSymbolPtr(pSource->GetBorderLineSymbolPtr());
  if (pSource->GetInsideLineSymbolPtr() != nullptr) SetInsideLineSymbolPtr(pSource->GetInsideLineSymbolPtr());
  if (pSource->GetTextSymbolPtr() != nullptr) SetTextSymbolPtr(pSource->GetTextSymbolPtr());
  if (pSource->GetFillSymbolPtr() != nullptr) SetFillSymbolPtr(pSource->GetFillSymbolPtr());
  SetColWidth(pSource->GetColWidth());
  SetRowHeight(pSource->GetRowHeight());
  for (int i = 0; i < kCount; ++i)
    SetText(static_cast<Neighbour>(i), pSource->Text(static_cast<Neighbour>(i)));
}

IGIS_Element* CGIS_MapIndexElement::Clone() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pNew = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX);
  auto* pCopy = dynamic_cast<CGIS_MapIndexElement*>(pNew);
  if (pCopy == nullptr) {
    if (pNew != nullptr) pOwner->DeleteElement(pNew);
    return nullptr;
  }
  pCopy->CopyFrom(this);
  // A symbol this element lacks is lacking in the copy too.
  if (!m_pBorderSymbol) pCopy->m_pBorderSymbol.reset();
  if (!m_pInsideSymbol) pCopy->m_pInsideSymbol.reset();
  if (!m_pTextSymbol) pCopy->m_pTextSymbol.reset();
  if (!m_pFillSymbol) pCopy->m_pFillSymbol.reset();
  pCopy->UpdateGeometry();
  return pCopy;
}

BOOL CGIS_MapIndexElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  const BOOL bOk = m_core.OpenPropertySheet(pDisplay, "接图表属性页", "p_element == NULL");
  UpdateGeometry();
  return bOk;
}

// ---- Storage -----------------------------------------------------------------

void CGIS_MapIndexElement::WriteKeys(md::layout::CustomSetWriter& set) {
  using md::layout::furniture::Key;
  using md::layout::furniture::WriteSymbol;
  // Without a frame the key is stored empty, so that none is made on reading.
  set.Saved(Key(kKeyFrame, kKeyFrame, GIS_FIELD_TYPE_BUFFER), [this](IGIS_DataBuffer* b) {
    if (m_pFrame) m_pFrame->Save(b);
  });
  for (int i = 0; i < kCount; ++i) {
    set.String(Key(kNeighbours[i].key, kNeighbours[i].description, GIS_FIELD_TYPE_STRING),
               m_texts[static_cast<std::size_t>(i)]);
  }
  set.Int(Key(kKeyColWidth, "列宽", GIS_FIELD_TYPE_INT), m_nColWidth);
  set.Int(Key(kKeyRowHeight, "行高", GIS_FIELD_TYPE_INT), m_nRowHeight);
  WriteSymbol(set, kKeyText, "文本", m_pTextSymbol.get());
  WriteSymbol(set, kKeyBorder, "边界线的属性", m_pBorderSymbol.get());
  WriteSymbol(set, kKeyFill, "填充的属性", m_pFillSymbol.get());
  WriteSymbol(set, kKeyInside, "内部线的属性", m_pInsideSymbol.get());
}

BOOL CGIS_MapIndexElement::Archive(int nRead, int /*nArchiveOption*/) {
  IGIS_FeatureAttributes* pAttr = nullptr;
  if (!m_core.ArchiveCommon(nRead, &pAttr)) return FALSE;
  const std::string method = m_core.Method("Archive");
  // The "Custom" keys are read and written in place.
  if (nRead == 0) {
    md::layout::CustomSetWriter set(pAttr, method.c_str());
    WriteKeys(set);
    return set.Finish() ? TRUE : FALSE;
  }
  const md::layout::StoredSetView set(pAttr, method.c_str());
  // A buffer key's bytes are read in place; a key stored with another type
  // goes through a field, as before.
  const md::basilo::StoredFieldView* pFrameField = set.Find(kKeyFrame);
  IGIS_Field* pField =
      pFrameField == nullptr || pFrameField->type == GIS_FIELD_TYPE_BUFFER ? nullptr : set.Field(kKeyFrame);
  if (pFrameField != nullptr && (pFrameField->type == GIS_FIELD_TYPE_BUFFER || pField != nullptr)) {
    IGIS_DataBuffer* b = pFrameField->type == GIS_FIELD_TYPE_BUFFER ? set.Buffer(kKeyFrame)
                         : pField != nullptr                        ? pField->GetDataBuffer()
                                                                    : nullptr;
    if (b != nullptr && b->GetSize() == 0) {
      m_pFrame.reset();  // stored without a frame
    } else {
      if (!m_pFrame) m_pFrame.reset(GIS_CreateFramePropertyObject());
      if (m_pFrame && b != nullptr) m_pFrame->Open(b);
    }
  }
  std::string text;
  for (int i = 0; i < kCount; ++i) {
    if (set.Read(kNeighbours[i].key, &text)) SetText(static_cast<Neighbour>(i), text.c_str());
  }
  int n = 0;
  if (set.Read(kKeyColWidth, &n)) SetColWidth(n);
  if (set.Read(kKeyRowHeight, &n)) SetRowHeight(n);
  // A symbol that cannot be rebuilt leaves the held one in place.
  using md::layout::furniture::ReadSymbol;
  if (SymbolPtr s = ReadSymbol(set, kKeyText)) SetTextSymbolPtr(s.get());
  if (SymbolPtr s = ReadSymbol(set, kKeyBorder)) SetBorderLineSymbolPtr(s.get());
  if (SymbolPtr s = ReadSymbol(set, kKeyFill)) SetFillSymbolPtr(s.get());
  if (SymbolPtr s = ReadSymbol(set, kKeyInside)) SetInsideLineSymbolPtr(s.get());
  return TRUE;
}

// ---- Drawing and conversion --------------------------------------------------

BOOL CGIS_MapIndexElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_SpatialReference* pReference = md::layout::furniture::PageReference(m_core.m_pFeatureSet);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  IGIS_Feature* pFeature = m_core.RequireFeature("OnDraw");
  if (pFeature == nullptr) return FALSE;
  const SGIS_Rect rect = GetRect();
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);
  if (m_pFrame && m_pFrame->GetDraftMode() && !bPrint) {
    m_pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
    return TRUE;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbolization == NULL");
    return FALSE;
  }
  {
    CGIS_FurniturePainter painter(hdc, bPrint, pDisplay, pReference, m_core.m_pFeatureSet);
    IGIS_Geometry* pGeometry = pFeature->GetGeometry();
    if (pGeometry == nullptr) return FALSE;
    SGIS_Point ring[5];
    const int nCount = pGeometry->GetPoints(5, ring, 0, 0);
    const Table t = LayOut(rect, m_nColWidth, m_nRowHeight);
    if (nCount > 0) painter.DrawSymbol(m_pBorderSymbol.get(), ring, nCount);
    for (const auto& line : t.inside) painter.DrawSymbol(m_pInsideSymbol.get(), line, 2);
    painter.DrawSymbol(m_pFillSymbol.get(), t.centre, 5);
    if (m_pTextSymbol && m_pTextStyle) m_pTextStyle->SetTextStyle(m_pTextSymbol.get());
    for (Neighbour n : kPlacingOrder) painter.DrawText(m_pTextStyle.get(), Text(n), t.cellCentre[CellOf(n)]);
  }
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  return TRUE;
}

IGIS_Element* CGIS_MapIndexElement::ConvertToElement() {
  if (m_core.RequireFeature("ConvertToElement") == nullptr) return nullptr;
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  const SGIS_Rect rect = GetRect();
  auto* pResult =
      dynamic_cast<IGIS_CompoundElement*>(pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND));
  if (pResult == nullptr) return nullptr;
  if (m_pFrame) {
    if (IGIS_Element* pFrame = m_pFrame->ConvertToElement(this)) pResult->AddElement(pFrame);
  }
  const Table t = LayOut(rect, m_nColWidth, m_nRowHeight);
  auto* pLines =
      dynamic_cast<IGIS_CompoundElement*>(pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND));
  if (pLines != nullptr) {
    CreatePolylineElement(pLines, t.border, 5, m_pBorderSymbol.get());
    for (const auto& line : t.inside) CreatePolylineElement(pLines, line, 2, m_pInsideSymbol.get());
    CreatePolygonElement(pLines, t.centre, 5, m_pFillSymbol.get());
    pResult->AddElement(pLines);
  }
  auto* pTexts =
      dynamic_cast<IGIS_CompoundElement*>(pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND));
  if (pTexts != nullptr) {
    for (Neighbour n : kPlacingOrder) {
      CreateTextElement(pTexts, t.cellCentre[CellOf(n)], m_pTextSymbol.get(), Text(n), true);
    }
    pResult->AddElement(pTexts);
  }
  return pResult;
}
