// Static objects: what an object showed, kept as its class's content with
// the "Static" record; no server opens them.
#include <utility>

#include "platform/ole/link.h"
#include "platform/ole/objectclass.h"
#include "platform/ole/record.h"

namespace md::ole {
namespace {

constexpr const char* kStaticStream = "Static";
constexpr std::uint32_t kStaticVersion = 1;

class StaticObject final : public EmbeddedObject {
 public:
  explicit StaticObject(std::unique_ptr<EmbeddedObject> content) : content_(std::move(content)) {}

  const ObjectClass& Class() const override { return content_->Class(); }
  bool Load(const Storage& storage, std::string* pError) override {
    std::unique_ptr<EmbeddedObject> read = LoadObject(storage, pError);
    if (read == nullptr || !read->IsStatic() || &read->Class() != &Class()) {
      if (read != nullptr && pError != nullptr) *pError = "not a static object of the same class";
      return false;
    }
    content_ = std::move(static_cast<StaticObject&>(*read).content_);
    return true;
  }
  void Save(Storage* pStorage) const override {
    content_->Save(pStorage);
    pStorage->streams.erase(kLinkStream);
    detail::RecordWriter w;
    w.U32(kStaticVersion);
    pStorage->streams[kStaticStream] = std::move(w.Result());
  }
  bool GetExtent(SIZE* pSize) const override { return content_->GetExtent(pSize); }
  bool Draw(HDC hdc, const RECT& bounds) const override { return content_->Draw(hdc, bounds); }
  std::vector<std::uint8_t> Content() const override { return content_->Content(); }
  bool IsStatic() const override { return true; }

 private:
  std::unique_ptr<EmbeddedObject> content_;
};

}  // namespace

std::unique_ptr<EmbeddedObject> CreateStaticFromObject(const EmbeddedObject& source, std::string* pError) {
  const ObjectClass& c = source.Class();
  if (!c.createFromContent) {
    if (pError != nullptr) *pError = "the object's content cannot be taken";
    return nullptr;
  }
  std::unique_ptr<EmbeddedObject> content = c.createFromContent(source.Content(), pError);
  if (content == nullptr) return nullptr;
  return std::make_unique<StaticObject>(std::move(content));
}

std::unique_ptr<EmbeddedObject> LoadObject(const Storage& storage, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  const ObjectClass* c = FindClass(storage.clsid);
  if (c == nullptr || !c->createNew) {
    error = "object of an unregistered class: only in-process classes can be loaded";
    return nullptr;
  }
  const bool bLink = storage.streams.count(kLinkStream) != 0;
  auto marker = storage.streams.find(kStaticStream);
  if (bLink && marker != storage.streams.end()) {
    error = "damaged object: both linked and static";
    return nullptr;
  }
  if (bLink) return LinkedObject::FromStorage(storage, pError);
  if (marker != storage.streams.end()) {
    detail::RecordReader r(marker->second);
    std::uint32_t version = 0;
    if (!r.U32(&version) || version != kStaticVersion || !r.AtEnd()) {
      error = "static record of an unknown version";
      return nullptr;
    }
  }
  std::unique_ptr<EmbeddedObject> object = c->createNew();
  if (object == nullptr || !object->Load(storage, &error)) return nullptr;
  if (marker == storage.streams.end()) return object;
  return std::make_unique<StaticObject>(std::move(object));
}

}  // namespace md::ole
