// Linked objects: the "Link" record, following the source file, and links
// made from files.
#include "platform/ole/link.h"

#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "platform/files/filestore.h"
#include "platform/ole/record.h"

namespace md::ole {
namespace {

constexpr std::uint32_t kLinkVersion = 1;

bool CleanPath(const std::string& path) {
  return !path.empty() && path.size() <= kMaxLinkPath && path.find('\0') == std::string::npos &&
         detail::IsValidUtf8(path);
}

}  // namespace

LinkedObject::LinkedObject(std::string sourcePath, std::unique_ptr<EmbeddedObject> content)
    : source_(std::move(sourcePath)), content_(std::move(content)) {}

LinkedObject::Stamp LinkedObject::StampOf(const std::string& path) {
  struct stat st {};
  Stamp s;
  if (::stat(path.c_str(), &st) != 0) return s;
  s.known = true;
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.size = static_cast<std::uint64_t>(st.st_size);
  s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return s;
}

bool LinkedObject::Update(std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  const Stamp now = StampOf(source_);
  if (!now.known) {
    stamp_ = Stamp{};
    error = "the source " + source_ + " is gone";
    return false;
  }
  if (now == stamp_) return true;
  const ObjectClass& c = Class();
  std::unique_ptr<EmbeddedObject> fresh = c.createFromFile ? c.createFromFile(source_, &error) : nullptr;
  if (fresh == nullptr) {
    stamp_ = Stamp{};
    if (error.empty()) error = "the source " + source_ + " is not a " + c.userType;
    return false;
  }
  content_ = std::move(fresh);
  stamp_ = now;
  return true;
}

bool LinkedObject::WriteSource(const EmbeddedObject& content, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  const ObjectClass& c = Class();
  if (&content.Class() != &c || !c.createFromContent) {
    error = "the content is not a " + c.userType;
    return false;
  }
  const std::vector<std::uint8_t> bytes = content.Content();
  std::unique_ptr<EmbeddedObject> shown = c.createFromContent(bytes, &error);
  if (shown == nullptr) return false;
  if (!md::files::WriteWholeFile(source_.c_str(), bytes.data(), bytes.size(), &error)) return false;
  content_ = std::move(shown);
  stamp_ = StampOf(source_);
  return true;
}

bool LinkedObject::Load(const Storage& storage, std::string* pError) {
  std::unique_ptr<LinkedObject> read = FromStorage(storage, pError);
  if (read == nullptr || &read->Class() != &Class()) {
    if (read != nullptr && pError != nullptr) *pError = "a link of another class";
    return false;
  }
  source_ = std::move(read->source_);
  content_ = std::move(read->content_);
  stamp_ = Stamp{};
  return true;
}

void LinkedObject::Save(Storage* pStorage) const {
  content_->Save(pStorage);
  detail::RecordWriter w;
  w.U32(kLinkVersion);
  w.Text(source_);
  pStorage->streams[kLinkStream] = std::move(w.Result());
}

std::unique_ptr<LinkedObject> LinkedObject::FromStorage(const Storage& storage, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  const ObjectClass* c = FindClass(storage.clsid);
  auto it = storage.streams.find(kLinkStream);
  if (c == nullptr || !c->createNew || it == storage.streams.end()) {
    error = "not a link of a class of this process";
    return nullptr;
  }
  detail::RecordReader r(it->second);
  std::uint32_t version = 0;
  std::string path;
  if (!r.U32(&version) || version != kLinkVersion) {
    error = "link record of an unknown version";
    return nullptr;
  }
  if (!r.Text(&path, kMaxLinkPath) || !r.AtEnd() || !CleanPath(path)) {
    error = "damaged link record";
    return nullptr;
  }
  std::unique_ptr<EmbeddedObject> content = c->createNew();
  if (content == nullptr || !content->Load(storage, &error)) return nullptr;
  return std::make_unique<LinkedObject>(std::move(path), std::move(content));
}

std::unique_ptr<LinkedObject> CreateLinkToFile(const std::string& path, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  std::error_code ec;
  const std::string absolute =
      path.empty() ? std::string() : std::filesystem::absolute(path, ec).lexically_normal().string();
  if (ec || !CleanPath(absolute)) {
    error = "no usable file name to link to";
    return nullptr;
  }
  std::string why;
  if (!md::files::IsReadableFile(absolute.c_str(), &why)) {
    error = "cannot link to " + absolute + ": " + why;
    return nullptr;
  }
  // Stamped before reading: a change while it is read shows at the next update.
  const LinkedObject::Stamp stamp = LinkedObject::StampOf(absolute);
  for (const ObjectClass* c : RegisteredClasses()) {
    if (!c->createFromFile) continue;
    if (std::unique_ptr<EmbeddedObject> content = c->createFromFile(absolute, &why)) {
      auto link = std::make_unique<LinkedObject>(absolute, std::move(content));
      link->stamp_ = stamp;
      return link;
    }
  }
  error = "cannot link to " + FileTitle(absolute) +
          ": only PNG pictures and UTF-8 text files can be linked; files of other programs cannot";
  return nullptr;
}

std::string FileTitle(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace md::ole
