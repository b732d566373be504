// Linked objects: an object of one of this process's classes whose content
// lives in a file, its source. The link keeps the source's path (its class is
// the storage's class) and the source's content as last read, its cached
// presentation, so that it still shows something when the source is gone.
// Stored form: the class's content stream plus the "Link" record (FORMAT.md).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ole/objectclass.h"

namespace md::ole {

class LinkedObject final : public EmbeddedObject {
 public:
  // A link to the source at the path showing the given content (of the
  // source's class).
  LinkedObject(std::string sourcePath, std::unique_ptr<EmbeddedObject> content);

  const ObjectClass& Class() const override { return content_->Class(); }
  bool Load(const Storage& storage, std::string* pError) override;
  void Save(Storage* pStorage) const override;
  bool GetExtent(SIZE* pSize) const override { return content_->GetExtent(pSize); }
  bool Draw(HDC hdc, const RECT& bounds) const override { return content_->Draw(hdc, bounds); }
  std::vector<std::uint8_t> Content() const override { return content_->Content(); }
  LinkedObject* AsLink() override { return this; }

  const std::string& SourcePath() const { return source_; }
  // Reads the source again when it changed since it was last read (always
  // the first time after loading). True when the object shows the source's
  // current content; false, with the reason, when the source is gone,
  // unreadable or no longer of the link's class: the object then keeps what
  // it showed, and the next call tries again.
  bool Update(std::string* pError);
  // Replaces the source file with the content (of the link's class) and
  // shows it; false, with the reason, when the file cannot be written:
  // nothing changed then.
  bool WriteSource(const EmbeddedObject& content, std::string* pError);

  // The link a storage holds; NULL, with the reason, when its "Link" record
  // or its content is damaged.
  static std::unique_ptr<LinkedObject> FromStorage(const Storage& storage, std::string* pError);

 private:
  friend std::unique_ptr<LinkedObject> CreateLinkToFile(const std::string& path, std::string* pError);

  // What identifies one version of the source file.
  struct Stamp {
    bool known = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0;  // nanoseconds
    bool operator==(const Stamp&) const = default;
  };
  static Stamp StampOf(const std::string& path);

  std::string source_;
  std::unique_ptr<EmbeddedObject> content_;
  Stamp stamp_;
};

// The name of the "Link" record's stream and the longest source path it keeps.
inline constexpr const char* kLinkStream = "Link";
inline constexpr std::size_t kMaxLinkPath = 4096;

// A link to the file, which must be one of this process's classes reads (a
// PNG picture, a UTF-8 text); the path is kept absolute. NULL, with the
// reason, for a file that cannot be read or that no class takes: files of
// other programs cannot be linked here.
std::unique_ptr<LinkedObject> CreateLinkToFile(const std::string& path, std::string* pError);

// The last part of a path, the file's name without its folders.
std::string FileTitle(const std::string& path);

}  // namespace md::ole
