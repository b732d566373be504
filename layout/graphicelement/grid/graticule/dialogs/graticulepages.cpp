#include "layout/graphicelement/grid/graticule/dialogs/graticulepages.h"

#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"

namespace md::layout::graticule {

IGIS_GraticuleGrid* GraticuleOf(IGIS_MapGrid* pGrid, const char* szMethod) {
  if (pGrid == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pMapGrid == NULL");
    return nullptr;
  }
  auto* pGraticule = dynamic_cast<IGIS_GraticuleGrid*>(pGrid);
  if (pGraticule == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_graticule == NULL");
  return pGraticule;
}

void SplitDegrees(double dDegrees, bool bZeroTinySeconds, DmsRow* pRow) {
  constexpr int kSecondDecimals = 4;
  constexpr double kTinySeconds = 0.0001;
  IGIS_NumericFormatFactory* pFactory = GIS_GetNumericFormatFactoryObject();
  md::basilo::ReleasePtr<IGIS_NumericFormat> format(
      pFactory != nullptr ? pFactory->CreateNumericFormat(GIS_NUMERICFORMAT_LATLON) : nullptr);
  if (format == nullptr) return;
  format->SetSplitOption(true);
  format->SetDisplayMode(GIS_LATLON_DEGREES);
  format->SetDigits(kSecondDecimals);
  DmsRow row;
  if (!format->SplitDegrees(dDegrees, &row.nDegrees, &row.nMinutes, &row.dSeconds)) return;
  if (bZeroTinySeconds && std::fabs(row.dSeconds) < kTinySeconds) row.dSeconds = 0.0;
  *pRow = row;
}

double JoinDegrees(const DmsRow& row) { return row.nDegrees + row.nMinutes / 60.0 + row.dSeconds / 3600.0; }

void ExchangeDmsRow(CDataExchange* pDX, const DmsRowIds& ids, DmsRow* pRow, int nMaxDegrees) {
  DDX_Text(pDX, ids.nDegrees, pRow->nDegrees);
  DDV_MinMaxInt(pDX, pRow->nDegrees, 0, nMaxDegrees);
  DDX_Text(pDX, ids.nMinutes, pRow->nMinutes);
  DDV_MinMaxInt(pDX, pRow->nMinutes, 0, 60);
  DDX_Text(pDX, ids.nSeconds, pRow->dSeconds);
  DDV_MinMaxDouble(pDX, pRow->dSeconds, 0.0, 60.0);
}

void MapDmsRowFilters(CDialog* pDialog, const DmsRowIds& ids) {
  MapEditFilter(pDialog, ids.nDegrees, &FilterUnsignedIntegerEdit);
  MapEditFilter(pDialog, ids.nMinutes, &FilterUnsignedIntegerEdit);
  MapEditFilter(pDialog, ids.nSeconds, &FilterUnsignedDecimalEdit);
}

}  // namespace md::layout::graticule
