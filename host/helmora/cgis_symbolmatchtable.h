// The classes of a vector layer: value, label and a symbol kept as a clone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"

namespace md::helmora {

using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;

}  // namespace md::helmora

class CGIS_SymbolMatchTable final : public IGIS_SymbolMatchTable {
 public:
  CGIS_SymbolMatchTable() = default;
  ~CGIS_SymbolMatchTable() override = default;
  CGIS_SymbolMatchTable(const CGIS_SymbolMatchTable&) = delete;
  CGIS_SymbolMatchTable& operator=(const CGIS_SymbolMatchTable&) = delete;

  int GetCount() override { return static_cast<int>(entries_.size()); }
  const char* GetLabel(int index) override;
  IGIS_Symbol* GetSymbol(int index) override;
  const char* GetValue(int index) override;
  int FindValue(const char* value) override;
  int AddEntry(const char* value, const char* label, IGIS_Symbol* symbol) override;

 private:
  struct Entry {
    std::string value;
    std::string label;
    md::helmora::SymbolPtr symbol;
  };
  bool InRange(int index) const { return index >= 0 && index < static_cast<int>(entries_.size()); }
  std::vector<Entry> entries_;
};
