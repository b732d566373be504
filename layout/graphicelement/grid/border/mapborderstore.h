// Stored keys and held symbols of the map borders: keys added with
// themselves as descriptions, symbols kept as copies and stored beside a
// flag that tells whether one was stored.
#pragma once

#include "host/basilo/releaseptr.h"

class IGIS_DataBuffer;
class IGIS_Field;
class IGIS_PropertySet;
class IGIS_Symbol;

namespace md::layout::border {

// A kind's stored set read from the buffer; NULL with the record
// "pDataBuffer为空" (NULL buffer) or "b_ret == NULL" (unreadable) under szMethod.
md::basilo::ReleasePtr<IGIS_PropertySet> ReadBorderSet(IGIS_DataBuffer* pBuffer, const char* szMethod);

// The field of the key, added with the key as its description when missing.
IGIS_Field* BorderKey(IGIS_PropertySet* pSet, const char* szKey, int nType);

// Adds the flag key and the symbol key (the symbol key first when
// bSymbolKeyFirst) and saves the symbol into the symbol field's buffer; the
// flag holds whether it was saved, which is also the result.
// szFailMethod, when given, logs a failed save ("b_ret == NULL").
bool WriteSymbolKeys(IGIS_PropertySet* pSet, const char* szFlagKey, const char* szSymbolKey,
                     IGIS_Symbol* pSymbol, bool bSymbolKeyFirst, const char* szFailMethod);

// The stored symbol (owned by the caller) when its flag is TRUE and it can be
// rebuilt; otherwise NULL.
IGIS_Symbol* ReadSymbolKeys(IGIS_PropertySet* pSet, const char* szFlagKey, const char* szSymbolKey);

}  // namespace md::layout::border
