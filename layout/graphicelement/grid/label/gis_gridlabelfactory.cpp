// The label types the library makes by their codes, and the reader of a
// stored label.
#include <cstring>
#include <span>
#include <type_traits>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/grid/label/cgis_dmsgridlabel.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/grid/label/cgis_indexbackgroundtabstyle.h"
#include "layout/graphicelement/grid/label/cgis_indexbottontabstyle.h"
#include "layout/graphicelement/grid/label/cgis_indexcontinuoustabstyle.h"
#include "layout/graphicelement/grid/label/cgis_indexroundedtabstyle.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"

namespace {

constexpr const char* kCreate = "GIS_CreateMapGridLabelFormatObject";
constexpr const char* kFromBuffer = "GIS_CreateMapGridLabelFormatObjectFromDataBuffer";

using md::layout::label::GridLabelState;

// A new label; *ppState (when asked for) its common state, NULL for a class
// without one.
using LabelMaker = IGIS_GridLabel* (*)(GridLabelState** ppState);

struct TypeRow {
  int nType;
  LabelMaker make;  // NULL: the type is known but its class is not part of the library yet
};

template <class TLabel>
IGIS_GridLabel* Make(GridLabelState** ppState) {
  TLabel* pLabel = md::basilo::MakeOrNull<TLabel>(kCreate);
  if (ppState != nullptr) {
    if constexpr (std::is_convertible_v<TLabel*, GridLabelState*>) {
      *ppState = pLabel;
    } else {
      *ppState = nullptr;
    }
  }
  return pLabel;
}

// Type 3 has no class and no row.
const TypeRow kTypes[] = {
    {GIS_GRIDLABEL_DMS, &Make<CGIS_DMSGridLabel>},
    {GIS_GRIDLABEL_MIXEDFONT, &Make<CGIS_MixedFontGridLabel>},
    {GIS_GRIDLABEL_FORMATTED, &Make<CGIS_FormattedGridLabel>},
    {GIS_GRIDLABEL_INDEX_BACKGROUND, &Make<CGIS_IndexBackGroundTabStyle>},
    {GIS_GRIDLABEL_INDEX_BOTTON, &Make<CGIS_IndexBottonTabStyle>},
    {GIS_GRIDLABEL_INDEX_CONTINUOUS, &Make<CGIS_IndexContinuousTabStyle>},
    {GIS_GRIDLABEL_INDEX_ROUNDED, &Make<CGIS_IndexRoundedTabStyle>},
};

IGIS_GridLabel* MakeLabel(int nType, GridLabelState** ppState) {
  for (const TypeRow& row : kTypes) {
    if (row.nType == nType) return row.make != nullptr ? row.make(ppState) : nullptr;
  }
  return nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) IGIS_GridLabel* GIS_CreateMapGridLabelFormatObject(
    int nType) {
  return MakeLabel(nType, nullptr);
}

namespace {

// The label of the stored set (read from pBuffer, or in place from bytes
// when pBuffer is NULL; a label kind that reads a buffer of its own is then
// given a copy of the bytes).
IGIS_GridLabel* ReadLabel(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer,
                          std::span<const BYTE> bytes) {
  if (set.Damaged()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kFromBuffer, "不能从DataBuffer读出数据");
    return nullptr;
  }
  int nType = 0;
  if (!set.Read("GridLabelType", &nType)) return nullptr;
  GridLabelState* pState = nullptr;
  IGIS_GridLabel* pLabel = MakeLabel(nType, &pState);
  if (pLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kFromBuffer, "不能创建p_labelFormat==NULL");
    return nullptr;
  }
  // These kinds read the set alone.
  const bool bSetAlone =
      nType == GIS_GRIDLABEL_DMS || nType == GIS_GRIDLABEL_MIXEDFONT || nType == GIS_GRIDLABEL_FORMATTED;
  md::basilo::ReleasePtr<IGIS_DataBuffer> copy;
  if (pBuffer == nullptr && !bSetAlone) {
    copy.reset(GIS_CreateDataBufferObject(0));
    if (copy && copy->SetSize(static_cast<int>(bytes.size())) && !bytes.empty())
      std::memcpy(copy->GetData(), bytes.data(), bytes.size());
    pBuffer = copy.get();
  }
  // A label whose own keys cannot be read keeps its defaults for them.
  if (pState != nullptr) {
    pState->OpenStored(set, pBuffer);
  } else {
    pLabel->Open(pBuffer);
  }
  return pLabel;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) IGIS_GridLabel*
GIS_CreateMapGridLabelFormatObjectFromDataBuffer(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_CreateMapGridLabelFormatObjectFromDataBuffer函数",
            "pDataBuffer == NULL");
    return nullptr;
  }
  // The set is read once: for the type here and for the label's keys.
  const md::layout::StoredSetView set(pBuffer);
  return ReadLabel(set, pBuffer, {});
}

namespace md::layout::grid {

IGIS_GridLabel* CreateGridLabelInPlace(std::span<const BYTE> bytes) {
  const md::layout::StoredSetView set(bytes);
  return ReadLabel(set, nullptr, bytes);
}

}  // namespace md::layout::grid
