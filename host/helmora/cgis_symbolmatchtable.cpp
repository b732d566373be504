#include "host/helmora/cgis_symbolmatchtable.h"

#include "host/basilo/igis_log.h"

const char* CGIS_SymbolMatchTable::GetLabel(int index) {
  return InRange(index) ? entries_[index].label.c_str() : nullptr;
}

IGIS_Symbol* CGIS_SymbolMatchTable::GetSymbol(int index) {
  return InRange(index) ? entries_[index].symbol.get() : nullptr;
}

const char* CGIS_SymbolMatchTable::GetValue(int index) {
  return InRange(index) ? entries_[index].value.c_str() : nullptr;
}

int CGIS_SymbolMatchTable::FindValue(const char* value) {
  if (value == nullptr) return -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].value == value) return static_cast<int>(i);
  return -1;
}

int CGIS_SymbolMatchTable::AddEntry(const char* value, const char* label, IGIS_Symbol* symbol) {
  if (value == nullptr || FindValue(value) >= 0 || GetCount() >= GIS_MATCHTABLE_MAX_ENTRIES) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SymbolMatchTable::AddEntry", "bad or repeated class value");
    return -1;
  }
  md::helmora::SymbolPtr clone(symbol ? symbol->Clone() : nullptr);
  if (symbol && !clone) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SymbolMatchTable::AddEntry", "symbol clone failed");
    return -1;
  }
  entries_.push_back(Entry{value, label ? label : "", std::move(clone)});
  return GetCount() - 1;
}
