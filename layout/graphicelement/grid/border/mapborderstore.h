// Stored keys and held symbols of the map borders: keys added with
// themselves as descriptions, symbols kept as copies and stored beside a
// flag that tells whether one was stored.
#pragma once

#include <span>

#include "host/basilo/releaseptr.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Field;
class IGIS_PropertySet;
class IGIS_Symbol;

namespace md::layout {
class StoredSetView;
class StoredSetWriter;
}  // namespace md::layout

namespace md::layout::border {

// A kind's stored set read from the buffer; NULL with the record
// "pDataBuffer为空" (NULL buffer) or "b_ret == NULL" (unreadable) under szMethod.
md::basilo::ReleasePtr<IGIS_PropertySet> ReadBorderSet(IGIS_DataBuffer* pBuffer, const char* szMethod);

// The bytes of a kind's stored set in the buffer, in place; false with the
// records ReadBorderSet makes for a NULL buffer or one without its data.
bool BorderSetBytes(IGIS_DataBuffer* pBuffer, const char* szMethod, std::span<const BYTE>* pBytes);
// The stored set read in place from those bytes was sound; false with the
// record ReadBorderSet makes for an unreadable one.
bool BorderSetSound(const md::layout::StoredSetView& set, const char* szMethod);

// The field of the key, added with the key as its description when missing.
IGIS_Field* BorderKey(IGIS_PropertySet* pSet, const char* szKey, int nType);

// Adds the flag key and the symbol key (the symbol key first when
// bSymbolKeyFirst) and saves the symbol into the symbol field's buffer; the
// flag holds whether it was saved, which is also the result.
// szFailMethod, when given, logs a failed save ("b_ret == NULL").
bool WriteSymbolKeys(IGIS_PropertySet* pSet, const char* szFlagKey, const char* szSymbolKey,
                     IGIS_Symbol* pSymbol, bool bSymbolKeyFirst, const char* szFailMethod);

// The same written straight into a new stored set, each key with itself as
// its description.
bool WriteSymbolKeys(md::layout::StoredSetWriter& set, const char* szFlagKey, const char* szSymbolKey,
                     IGIS_Symbol* pSymbol, bool bSymbolKeyFirst, const char* szFailMethod);

// The stored symbol (owned by the caller) when its flag is TRUE and it can be
// rebuilt; otherwise NULL.
IGIS_Symbol* ReadSymbolKeys(IGIS_PropertySet* pSet, const char* szFlagKey, const char* szSymbolKey);
// The same from a stored set read in place.
IGIS_Symbol* ReadSymbolKeys(const md::layout::StoredSetView& set, const char* szFlagKey,
                            const char* szSymbolKey);

}  // namespace md::layout::border
