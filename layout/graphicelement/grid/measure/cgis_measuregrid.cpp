// The measured grid: its own state, copies, stored keys and sheet.
#include "layout/graphicelement/grid/measure/cgis_measuregrid.h"

#include <cstring>
#include <span>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/measuregridplan.h"
#include "layout/graphicelement/grid/measure/measuregridconvert.h"
#include "layout/graphicelement/grid/measure/measuregriddraw.h"

namespace {

// The reference kind code a new grid (and the measured-grid wizard) starts from.
constexpr int kGridReferenceCode = 3;
constexpr double kDefaultInterval = 1000.0;
constexpr const char* kSpacingKey = "GridSpacing";
constexpr const char* kReferenceKey = "SpatialReference";
constexpr const char* kSharedReferenceKey = "SharedSpatialReference";

using md::layout::grid::ReferenceShare;

// A new spacing in the first linear unit.
IGIS_GridSpacing* NewLinearSpacing() {
  IGIS_GridSpacing* pSpacing = md::basilo::MakeOrNull<CGIS_GridSpacing>("CGIS_MeasureGrid");
  if (pSpacing != nullptr) {
    pSpacing->SetUnitsType(GIS_GRIDSPACING_UNITS_LINEAR);
    pSpacing->SetUnits(0);
  }
  return pSpacing;
}

}  // namespace

CGIS_MeasureGrid::CGIS_MeasureGrid() {
  m_pGridSpacing.reset(NewLinearSpacing());
  if (m_pGridSpacing != nullptr) {
    m_pGridSpacing->SetFixedOrigin(false);
    m_pGridSpacing->SetXIntervalSize(kDefaultInterval);
    m_pGridSpacing->SetYIntervalSize(kDefaultInterval);
  }
  if (!Bare()) MakeDefaults();
}

void CGIS_MeasureGrid::MakeDefaults() {
  if (IGIS_GridLabel* pLabel = (Pending(kPendingLabel) || !Bare())
                                   ? GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_FORMATTED)
                                   : nullptr) {
    m_pLabel.reset(pLabel);
    pLabel->SetMapGrid(this);
  }
  if (IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
      pFactory != nullptr && m_pSpatialReference == nullptr) {
    m_pSpatialReference.reset(pFactory->CreateSpatialReference(kGridReferenceCode));
  }
}

void CGIS_MeasureGrid::FinishRead() {
  if (Bare()) MakeDefaults();
  MapGridValues::FinishRead();
}

CGIS_MeasureGrid::~CGIS_MeasureGrid() {
  m_pSpatialReference.reset();
  m_pGridSpacing.reset();
  ReleaseLabel();
}

void CGIS_MeasureGrid::SetSpatialReference(IGIS_SpatialReference* pReference) {
  if (pReference == nullptr || pReference == m_pSpatialReference.get()) return;
  if (m_pSpatialReference == nullptr) {
    IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
    if (pFactory != nullptr) m_pSpatialReference.reset(pFactory->CreateSpatialReference(0));
    if (m_pSpatialReference == nullptr) return;
  }
  m_pSpatialReference->CopyFrom(pReference);
}

void CGIS_MeasureGrid::SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) {
  if (pSpacing == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::SetGridSpacingPtr", "right == NULL");
    return;
  }
  if (pSpacing == m_pGridSpacing.get()) return;
  // The held spacing stays when no copy can be made.
  if (IGIS_GridSpacing* pCopy = pSpacing->Clone()) m_pGridSpacing.reset(pCopy);
}

IGIS_MeasureGrid* CGIS_MeasureGrid::Copy(IGIS_MeasureGrid* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CopyFrom(pOther);
  if (IGIS_GridSpacing* pSpacing = pOther->GetGridSpacing()) SetGridSpacingPtr(pSpacing);
  SetSpatialReference(pOther->GetSpatialReference());
  return this;
}

void CGIS_MeasureGrid::SetLabelFormat(IGIS_GridLabel* pLabel) {
  ReplaceLabel(pLabel, {GIS_GRIDLABEL_FORMATTED, GIS_GRIDLABEL_MIXEDFONT}, "CGIS_MeasureGrid::SetLabelFormat",
               true);
}

bool CGIS_MeasureGrid::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  if (m_pMapElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::OnDraw", "m_pMapElement == NULL");
    return false;
  }
  // One plan for the drawing: the label writes on the lines the figure lays.
  md::layout::grid::MeasureGridPass pass;
  const md::layout::grid::MeasureGridPass* pPass = pass.Make(this, pDisplay) ? &pass : nullptr;
  DrawPrelude(hdc, bPrint, pDisplay, pPass);
  return md::layout::measure::DrawMeasureGridFigure(this, hdc, bPrint, pDisplay, pPass);
}

IGIS_MapGrid* CGIS_MeasureGrid::Clone() {
  return md::basilo::CloneOrNull<CGIS_MeasureGrid>("CGIS_MeasureGrid::Clone", this);
}

bool CGIS_MeasureGrid::Save(IGIS_DataBuffer* pBuffer) { return SaveSharing(pBuffer, nullptr, 0); }

bool CGIS_MeasureGrid::SaveSharing(IGIS_DataBuffer* pBuffer, ReferenceShare* pShare, int nEntry) {
  constexpr const char* kMethod = "CGIS_MeasureGrid::Save";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  md::layout::StoredSetWriter set;
  bool bSpacing = m_pGridSpacing == nullptr;
  set.SavedInPlace(kSpacingKey, kSpacingKey,
                   [&](IGIS_DataBuffer* p) { bSpacing = bSpacing || m_pGridSpacing->Save(p); });
  bool bReference = m_pSpatialReference == nullptr;
  // Outlives the writer's Finish, which reads the bytes given to it.
  md::basilo::ReleasePtr<IGIS_DataBuffer> reference;
  if (pShare != nullptr && m_pSpatialReference != nullptr) {
    reference.reset(GIS_CreateDataBufferObject(0));
    if (reference && m_pSpatialReference->Archive(reference.get(), GIS_ARCHIVE_WRITE)) {
      bReference = true;
      const std::span<const BYTE> bytes = md::layout::BufferBytes(reference.get());
      if (const int nSource = pShare->Find(bytes); nSource >= 0) {
        set.Int(kSharedReferenceKey, kSharedReferenceKey, nSource);
      } else {
        set.Bytes(kReferenceKey, kReferenceKey, bytes);
        pShare->Add(nEntry, bytes);
      }
    } else {
      reference.reset();
    }
  }
  if (!reference) {
    set.SavedInPlace(kReferenceKey, kReferenceKey, [&](IGIS_DataBuffer* p) {
      bReference = bReference || m_pSpatialReference->Archive(p, GIS_ARCHIVE_WRITE);
    });
  }
  if (!SaveCommon(&set, pBuffer)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
    return false;
  }
  return bSpacing && bReference;
}

bool CGIS_MeasureGrid::Open(IGIS_DataBuffer* pBuffer) { return OpenSharing(pBuffer, nullptr, 0); }

bool CGIS_MeasureGrid::OpenSharing(IGIS_DataBuffer* pBuffer, ReferenceShare* pShare, int nEntry) {
  constexpr const char* kMethod = "CGIS_MeasureGrid::Open";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  const md::layout::StoredSetView set(pBuffer);
  if (set.Damaged()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == FALSE ");
    return false;
  }
  return OpenWith(set, pShare, nEntry);
}

bool CGIS_MeasureGrid::OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer*) {
  return OpenWith(set, nullptr, 0);
}

void CGIS_MeasureGrid::ReadReference(IGIS_DataBuffer* pData) {
  if (pData == nullptr) return;
  if (m_pSpatialReference == nullptr) {
    if (IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject())
      m_pSpatialReference.reset(pFactory->CreateFromBuffer(pData));
  } else {
    m_pSpatialReference->Archive(pData, GIS_ARCHIVE_READ);
  }
}

bool CGIS_MeasureGrid::OpenWith(const md::layout::StoredSetView& set, ReferenceShare* pShare, int nEntry) {
  if (set.Find(kSpacingKey) != nullptr) {
    if (m_pGridSpacing == nullptr) m_pGridSpacing.reset(NewLinearSpacing());
    IGIS_DataBuffer* pData = set.Buffer(kSpacingKey);
    if (m_pGridSpacing != nullptr && pData != nullptr) m_pGridSpacing->Open(pData);
  }
  if (const md::basilo::StoredFieldView* f = set.Find(kReferenceKey); f != nullptr) {
    ReadReference(set.Buffer(kReferenceKey));
    if (pShare != nullptr && f->type == GIS_FIELD_TYPE_BUFFER) pShare->Add(nEntry, f->bytes);
  } else if (int nSource = -1; pShare != nullptr && set.Read(kSharedReferenceKey, &nSource)) {
    // Without the source's bytes the reference stays as it is.
    const std::vector<BYTE>* pBytes = pShare->Bytes(nSource);
    md::basilo::ReleasePtr<IGIS_DataBuffer> shared(pBytes != nullptr ? GIS_CreateDataBufferObject(0)
                                                                     : nullptr);
    if (shared && shared->SetSize(static_cast<int>(pBytes->size()))) {
      std::memcpy(shared->GetData(), pBytes->data(), pBytes->size());
      ReadReference(shared.get());
    }
  }
  return OpenCommon(set);
}

bool CGIS_MeasureGrid::OnOpenPropertyDlg() {
  return RunPropertySheet("方里网属性", "CGIS_MeasureGrid::OnOpenPropertyDlg",
                          [this](IGIS_MapGrid* pBackup) { Copy(static_cast<CGIS_MeasureGrid*>(pBackup)); });
}

IGIS_Element* CGIS_MeasureGrid::ConvertToElement() {
  md::layout::grid::MeasureGridPass pass;
  const md::layout::grid::MeasureGridPass* pPass = pass.Make(this, nullptr) ? &pass : nullptr;
  return md::layout::measure::ConvertMeasureGridFigure(this, ConvertPrelude(pPass), pPass);
}
