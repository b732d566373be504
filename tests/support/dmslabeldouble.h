// A degrees-minutes-seconds label for tests and benchmarks of the grids
// that read one (the graticules): its display of minutes and seconds, its
// decimal places, type and text symbol are plain values (the symbol is the
// caller's, not owned); it draws, stores and converts nothing and counts
// its drawings.
#pragma once

#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"

namespace md::test {

class DmsLabelDouble : public IGIS_DMSGridLabel {
 public:
  void SetLabelOffset(int) override {}
  int GetLabelOffset() override { return 0; }
  IGIS_SymbolPart* GetTextSymbolPtr() override { return text; }
  const char* GetStaticData() override { return ""; }
  void GetLabelAlignment(bool*, bool*, bool*, bool*) override {}
  void SetLabelAlignment(bool, bool, bool, bool) override {}
  void Release() override { delete this; }
  bool Save(IGIS_DataBuffer*) override { return true; }
  bool Open(IGIS_DataBuffer*) override { return true; }
  IGIS_GridLabel* Clone() override {
    auto* c = new DmsLabelDouble();
    c->text = text;
    c->minutes = minutes;
    c->seconds = seconds;
    c->digits = digits;
    c->type = type;
    return c;
  }
  bool OnDraw(HDC, bool, IGIS_Display*) override {
    ++draws;
    return true;
  }
  int GetType() override { return type; }
  void SetTextSymbolPtr(IGIS_SymbolPart* p) override { text = p; }
  IGIS_GridLabel* CopyFrom(IGIS_GridLabel*) override { return this; }
  bool OnOpenPropertyDlg() override { return false; }
  IGIS_Element* ConvertToElement() override { return nullptr; }
  void SetMapGrid(IGIS_MapGrid* p) override { grid = p; }
  void GetLabelOffsetX(int*, int*, int*, int*) override {}
  void GetLabelOffsetY(int*, int*, int*, int*) override {}
  void SetLabelOffsetX(int, int, int, int) override {}
  void SetLabelOffsetY(int, int, int, int) override {}
  IGIS_DMSGridLabel* Copy(IGIS_DMSGridLabel*) override { return this; }
  IGIS_SymbolPart* GetSecondsSymbolText() override { return text; }
  void SetSecondsSymbolTextPtr(IGIS_SymbolPart*) override {}
  bool IsShowMinutes() override { return minutes; }
  void SetShowMinutes(bool b) override { minutes = b; }
  bool IsShowSeconds() override { return seconds; }
  void SetShowSeconds(bool b) override { seconds = b; }
  int GetDMSLabelType() override { return 0; }
  void SetDMSLabelType(int) override {}
  int GetDecimalDigits() override { return digits; }
  void SetDecimalDigits(int n) override { digits = n; }

  IGIS_Symbol* text = nullptr;
  bool minutes = true, seconds = true;
  int digits = 0;
  int type = 0;
  int draws = 0;
  IGIS_MapGrid* grid = nullptr;

 protected:
  virtual ~DmsLabelDouble() = default;
};

}  // namespace md::test
