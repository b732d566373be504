// Embedded objects and the registry of the object classes this process can
// make. Every class runs in process: its objects load from and save to a
// storage, report their natural size and draw themselves into a device
// context. Objects of other programs cannot be made or activated here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ole/storage.h"
#include "platform/win/wintypes.h"

namespace md::ole {

struct ObjectClass;
class LinkedObject;

class EmbeddedObject {
 public:
  virtual ~EmbeddedObject() = default;
  virtual const ObjectClass& Class() const = 0;
  // Reads the object's state from its storage; false (object unchanged,
  // reason in *pError) for a storage it cannot read.
  virtual bool Load(const Storage& storage, std::string* pError) = 0;
  // Writes the object's streams into the storage (the class id included).
  virtual void Save(Storage* pStorage) const = 0;
  // The object's natural size in hundredths of a millimetre.
  virtual bool GetExtent(SIZE* pSize) const = 0;
  // Draws the object filling the rectangle, in logical units of hdc, whatever
  // the context's mapping: bounds.top is the edge shown at the top (below
  // bounds.bottom in a y-up mapping).
  virtual bool Draw(HDC hdc, const RECT& bounds) const = 0;
  // What the object shows, as the bytes of its class's content stream: the
  // class's createFromContent makes an equal object of them.
  virtual std::vector<std::uint8_t> Content() const = 0;
  // The link of a linked object; NULL for an object that holds its content.
  virtual LinkedObject* AsLink() { return nullptr; }
  // A static object is a presentation only: no server opens it.
  virtual bool IsStatic() const { return false; }
};

struct ObjectClass {
  ClassId clsid{};
  std::string progId;         // short name, e.g. "Mapdeck.Picture"
  std::string userType;       // the name shown to the user
  std::string fileHint;       // what a file to insert holds, e.g. "*.png"
  std::string contentStream;  // the stream that holds an object's content
  // A new object with its default content.
  std::function<std::unique_ptr<EmbeddedObject>()> createNew;
  // An object made from a file's content; NULL with the reason when the
  // file cannot be read or is not of the class's kind.
  std::function<std::unique_ptr<EmbeddedObject>(const std::string& path, std::string* pError)> createFromFile;
  // An object of the given content (EmbeddedObject::Content); NULL with the
  // reason when the bytes are not content of the class.
  std::function<std::unique_ptr<EmbeddedObject>(std::vector<std::uint8_t> bytes, std::string* pError)>
      createFromContent;
};

// The classes this process can make, in the order the insert dialog lists them.
const std::vector<const ObjectClass*>& RegisteredClasses();
// The class of a class id or short name; NULL when none is registered.
const ObjectClass* FindClass(const ClassId& clsid);
const ObjectClass* FindClassByProgId(const std::string& progId);

// The two built-in classes.
const ObjectClass& PictureClass();
const ObjectClass& TextDocumentClass();

// The object a storage holds, whatever its kind: an object of its class that
// holds its content, a linked object ("Link" stream, link.h) or a static one
// ("Static" stream). NULL, with the reason, for a storage of a class this
// process does not have or whose streams are damaged. Nothing outside the
// storage is read: a link's source is first read when the link is updated.
std::unique_ptr<EmbeddedObject> LoadObject(const Storage& storage, std::string* pError);

// A static object showing what the given object shows now (its content, of
// its class), which no server opens; NULL with the reason when the content
// cannot be taken.
std::unique_ptr<EmbeddedObject> CreateStaticFromObject(const EmbeddedObject& source, std::string* pError);

}  // namespace md::ole
