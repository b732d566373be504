// Keyed, typed value sets in which every object stores its state, their
// fields, and the byte buffers they are stored into.
//
// A property set keeps its keys in the order they were first added. Archive
// writes the whole set into a buffer (replacing its content) or fills the set
// from a buffer; the stored form is described in host/basilo/FORMAT.md.
#pragma once

#include <cstdint>

#include "platform/win/wintypes.h"

// Type codes of a field.
enum {
  GIS_FIELD_TYPE_NONE = 0,  // a standalone field before SetType
  GIS_FIELD_TYPE_INT = 1,   // 32-bit integer
  GIS_FIELD_TYPE_DOUBLE = 2,
  GIS_FIELD_TYPE_STRING = 4,   // UTF-8 text
  GIS_FIELD_TYPE_BUFFER = 16,  // nested bytes (a symbol, a nested property set, ...)
  GIS_FIELD_TYPE_BOOL = 32,
  GIS_FIELD_TYPE_OBJECT = 64,  // an object pointer handed between components (SetObject); never stored
};

// Modes of IGIS_PropertySet::Archive.
enum {
  GIS_ARCHIVE_WRITE = 0,
  GIS_ARCHIVE_READ = 1,
};

class IGIS_DataBuffer {
 public:
  virtual void Release() = 0;
  virtual int GetSize() const = 0;
  // The content becomes n bytes: the first bytes are kept, new ones are 0.
  // A negative size or one that cannot be allocated is refused (FALSE, log).
  virtual BOOL SetSize(int n) = 0;
  // The first of GetSize() writable bytes; NULL when empty.
  virtual BYTE* GetData() = 0;

 protected:
  virtual ~IGIS_DataBuffer() = default;
};

class IGIS_Field {
 public:
  // Ends a standalone field (GIS_CreateFieldObject) that was not handed to
  // the global properties; for a field owned by a set it does nothing.
  virtual void Release() = 0;
  // The field's name (its key), used in log records.
  virtual const char* GetLabel() const = 0;
  // Renames the field; refused when its set already holds that key.
  virtual BOOL SetName(const char* key) = 0;
  // Changes the type; the value is converted (to the default when no
  // conversion exists). Unknown codes are refused.
  virtual BOOL SetType(int typeCode) = 0;
  virtual int GetType() const = 0;
  virtual const char* GetDescription() const = 0;
  virtual BOOL SetDescription(const char* text) = 0;

  // Getters convert from the field's type (numbers, booleans and numeric
  // texts convert into each other; a buffer reads as 0/false). Setters
  // convert into the field's type; a field without a type takes the
  // setter's; a buffer field refuses scalar values.
  virtual int GetInt() const = 0;
  virtual BOOL SetInt(int value) = 0;
  virtual bool GetBool() const = 0;
  virtual BOOL SetBool(bool value) = 0;
  virtual double GetDouble() const = 0;
  virtual BOOL SetDouble(double value) = 0;
  // NULL for a buffer field or a field without a type; otherwise the text
  // (numbers formatted), valid until the field next changes.
  virtual const char* GetString() const = 0;
  // The text is copied in; NULL stores the empty text.
  virtual BOOL SetString(const char* text) = 0;
  // The field's own buffer for a field of type 16 (owned by the field), else NULL.
  virtual IGIS_DataBuffer* GetDataBuffer() = 0;
  // The object of a field made by IGIS_PropertySet::SetObject, else NULL.
  virtual void* GetObject() const = 0;

 protected:
  virtual ~IGIS_Field() = default;
};

class IGIS_PropertySet {
 public:
  // Ends the set, its fields and their buffers.
  virtual void Release() = 0;
  virtual int GetCount() const = 0;
  // The field of the key, or NULL when the set has none (not an error).
  virtual IGIS_Field* GetProperty(const char* key) = 0;
  // Iteration in stored (first-added) order; NULL after the last field.
  virtual IGIS_Field* GetFirstPosition() = 0;
  virtual IGIS_Field* GetNext(IGIS_Field* field) = 0;
  // Adds a key of a type and returns its field (NULL on an empty key or an
  // unknown type). A key already present keeps its place and field, which
  // takes the given description and type.
  virtual IGIS_Field* AddProperty(const char* key, const char* description, int typeCode, int flag) = 0;
  // GIS_ARCHIVE_WRITE stores the whole set into the buffer, replacing its
  // content. GIS_ARCHIVE_READ replaces the set's fields by those stored in
  // the buffer (bytes after the set's end are ignored; an empty buffer reads
  // as an empty set). A damaged buffer is refused: FALSE, a log record, the
  // set unchanged. Fields whose keys survive a read keep their objects.
  // The option is the caller's context and is not used.
  virtual BOOL Archive(IGIS_DataBuffer* buffer, int mode, int option) = 0;
  // Keeps an object pointer under a key (type GIS_FIELD_TYPE_OBJECT), for
  // sets that carry arguments between components in one process. The set
  // does not own the object, and Archive does not store such fields. The
  // flag is not used (callers pass 1).
  virtual BOOL SetObject(const char* key, void* object, int flag) = 0;

 protected:
  virtual ~IGIS_PropertySet() = default;
};

extern "C" {
IGIS_PropertySet* GIS_CreatePropertySetObject();
IGIS_Field* GIS_CreateFieldObject();
// A buffer of initialSize zero bytes (a negative size gives an empty buffer).
IGIS_DataBuffer* GIS_CreateDataBufferObject(int initialSize);
}
