// A map grid for tests: every common grid operation backed by a plain value,
// symbols, label and border held but not owned, nothing drawn or stored.
// Tests derive from it and override what they observe; TKind may be a kind
// interface, whose own operations the test then supplies.
#pragma once

#include <string>

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace md::test {

template <class TKind = IGIS_MapGrid>
class MapGridDouble : public TKind {
 public:
  explicit MapGridDouble(int nType = 77, std::string name = "格网") : type_(nType), name_(std::move(name)) {}

  IGIS_Symbol* GetLineSymbol() override { return line_; }
  void SetLineSymbol(IGIS_Symbol* p) override { line_ = p; }
  const char* GetName() override { return name_.c_str(); }
  void SetName(const char* sz) override { name_ = sz != nullptr ? sz : name_; }
  IGIS_GridLabel* GetLabelFormat() override { return label_; }
  void SetLabelFormat(IGIS_GridLabel* p) override { label_ = p; }
  IGIS_Symbol* GetMarkSymbol() override { return mark_; }
  void SetMarkSymbol(IGIS_Symbol* p) override { mark_ = p; }
  void SetLabelVisible(bool l, bool t, bool r, bool b) override { Set(labels_, l, t, r, b); }
  void GetLabelVisible(bool* l, bool* t, bool* r, bool* b) override { Get(labels_, l, t, r, b); }
  void SetSubTickVisible(bool l, bool t, bool r, bool b) override { Set(subTicks_, l, t, r, b); }
  void GetSubTickVisible(bool* l, bool* t, bool* r, bool* b) override { Get(subTicks_, l, t, r, b); }
  void SetTickVisible(bool l, bool t, bool r, bool b) override { Set(ticks_, l, t, r, b); }
  void GetTickVisible(bool* l, bool* t, bool* r, bool* b) override { Get(ticks_, l, t, r, b); }
  int GetSubTickCount() override { return subTickCount_; }
  void SetSubTickCount(int n) override { subTickCount_ = n; }
  double GetSubTickLength() override { return subTickLength_; }
  void SetSubTickLength(double d) override { subTickLength_ = d; }
  double GetTickLength() override { return tickLength_; }
  void SetTickLength(double d) override { tickLength_ = d; }
  IGIS_Symbol* GetSubTickLineSymbol() override { return subTick_; }
  void SetSubTickLineSymbol(IGIS_Symbol* p) override { subTick_ = p; }
  IGIS_Symbol* GetTickLineSymbol() override { return tick_; }
  void SetTickLineSymbol(IGIS_Symbol* p) override { tick_ = p; }
  bool GetVisible() override { return visible_; }
  void SetVisible(bool b) override { visible_ = b; }
  IGIS_MapGridBorder* GetBorder() override { return border_; }
  void SetBorder(IGIS_MapGridBorder* p) override { border_ = p; }
  IGIS_MapElement* GetMapElement() override { return frame_; }
  void SetMapElement(IGIS_MapElement* p) override { frame_ = p; }
  int GetType() override { return type_; }
  bool OnDraw(HDC, bool, IGIS_Display*) override { return true; }
  void Release() override { delete this; }
  IGIS_MapGrid* Clone() override { return nullptr; }
  bool Save(IGIS_DataBuffer*) override { return true; }
  bool Open(IGIS_DataBuffer*) override { return true; }
  bool OnOpenPropertyDlg() override { return false; }
  int GetGridlineType() override { return gridlineType_; }
  void SetGridlineType(int n) override { gridlineType_ = n; }
  IGIS_Element* ConvertToElement() override { return nullptr; }
  int GetTickDivision() override { return tickDivision_; }
  void SetTickDivision(int n) override { tickDivision_ = n; }

 protected:
  virtual ~MapGridDouble() = default;

  struct Sides {
    bool left = true, top = true, right = true, bottom = true;
  };
  static void Set(Sides& s, bool l, bool t, bool r, bool b) { s = {l, t, r, b}; }
  static void Get(const Sides& s, bool* l, bool* t, bool* r, bool* b) {
    if (l != nullptr) *l = s.left;
    if (t != nullptr) *t = s.top;
    if (r != nullptr) *r = s.right;
    if (b != nullptr) *b = s.bottom;
  }

  int type_;
  std::string name_;
  IGIS_Symbol* line_ = nullptr;
  IGIS_Symbol* mark_ = nullptr;
  IGIS_Symbol* subTick_ = nullptr;
  IGIS_Symbol* tick_ = nullptr;
  IGIS_GridLabel* label_ = nullptr;
  IGIS_MapGridBorder* border_ = nullptr;
  IGIS_MapElement* frame_ = nullptr;
  Sides labels_, subTicks_, ticks_;
  int subTickCount_ = 2;
  double subTickLength_ = 100.0;
  double tickLength_ = 200.0;
  bool visible_ = true;
  int gridlineType_ = 1;
  int tickDivision_ = 1;
};

}  // namespace md::test
