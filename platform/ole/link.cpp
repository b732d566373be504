// Linked objects: the "Link" record, the source's paths, following the
// source file, and links made from files.
#include "platform/ole/link.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <string_view>
#include <utility>

#include "platform/files/filestore.h"
#include "platform/files/pagepaths.h"
#include "platform/ole/record.h"

namespace md::ole {
namespace {

// 1: the absolute path; 2: the absolute path and the relative one.
constexpr std::uint32_t kLinkVersion = 2;

std::atomic<detail::SourceReadHook> g_readHook{nullptr};

bool CleanPath(const std::string& path) {
  return !path.empty() && path.size() <= kMaxLinkPath && path.find('\0') == std::string::npos &&
         detail::IsValidUtf8(path);
}

// A path below a folder that never leaves it.
bool CleanRelative(const std::string& path) { return CleanPath(path) && md::files::IsPathBelowFolder(path); }

// The target's path from the page file's folder; empty when it does not lie
// beside or below it.
std::string RelativeTo(const std::string& target, const std::string& pageFile) {
  const std::string relative = md::files::PathFromPageFolder(target, pageFile);
  return CleanRelative(relative) ? relative : std::string();
}

std::string Joined(const std::string& pageFile, const std::string& relative) {
  return md::files::PathBesidePage(pageFile, relative);
}

std::string AbsoluteOf(const std::string& path) { return md::files::AbsolutePath(path); }

}  // namespace

detail::SourceReadHook detail::SetSourceReadHook(SourceReadHook hook) { return g_readHook.exchange(hook); }

LinkedObject::LinkedObject(std::string sourcePath, std::unique_ptr<EmbeddedObject> content)
    : absolute_(std::move(sourcePath)), content_(std::move(content)) {}

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

template <class TRead>
std::unique_ptr<EmbeddedObject> LinkedObject::ReadUnchanged(const std::string& path, const TRead& read,
                                                            Stamp* pStamp, std::string* pError) {
  const Stamp before = StampOf(path);
  std::unique_ptr<EmbeddedObject> object = read(pError);
  if (const detail::SourceReadHook hook = g_readHook.load()) hook(path);
  if (!before.known || !(StampOf(path) == before)) {
    *pError = "the file " + path + " changed while it was read";
    return nullptr;
  }
  if (object != nullptr) *pStamp = before;
  return object;
}

std::vector<std::string> LinkedObject::Candidates() const {
  std::vector<std::string> places;
  if (!relative_.empty() && !page_.empty()) places.push_back(Joined(page_, relative_));
  if (places.empty() || places.front() != absolute_) places.push_back(absolute_);
  return places;
}

std::string LinkedObject::SourcePath() const { return Candidates().front(); }

void LinkedObject::SetPageFile(const std::string& pageFile) {
  const std::string page = AbsoluteOf(pageFile);
  if (page.empty() || page == page_) return;
  // A relative path read without its page's file is taken as the new file's.
  if (page_.empty() && !relative_.empty()) {
    page_ = page;
    return;
  }
  relative_ = RelativeTo(SourcePath(), page);
  page_ = page;
}

bool LinkedObject::Update(std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  following_ = true;
  for (const std::string& path : Candidates()) {
    const Stamp now = StampOf(path);
    if (!now.known) continue;
    if (path == read_ && now == stamp_) return true;
    const ObjectClass& c = Class();
    Stamp stamp;
    std::unique_ptr<EmbeddedObject> fresh = ReadUnchanged(
        path, [&](std::string* pWhy) { return c.createFromFile ? c.createFromFile(path, pWhy) : nullptr; },
        &stamp, &error);
    if (fresh == nullptr) {
      // Kept as it was shown; nothing is written until an update succeeds.
      stamp_ = Stamp{};
      read_.clear();
      if (error.empty()) error = "the source " + path + " is not a " + c.userType;
      return false;
    }
    content_ = std::move(fresh);
    stamp_ = stamp;
    read_ = path;
    absolute_ = path;
    relative_ = RelativeTo(path, page_);
    return true;
  }
  stamp_ = Stamp{};
  read_.clear();
  error = "the source " + SourcePath() + " is gone";
  return false;
}

bool LinkedObject::WriteSource(const EmbeddedObject& content, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  const ObjectClass& c = Class();
  if (read_.empty()) {
    error = "the source " + SourcePath() + " was not read since the link was opened; update the link first";
    return false;
  }
  if (&content.Class() != &c || !c.createFromContent) {
    error = "the content is not a " + c.userType;
    return false;
  }
  const std::vector<std::uint8_t> bytes = content.Content();
  std::unique_ptr<EmbeddedObject> shown = c.createFromContent(bytes, &error);
  if (shown == nullptr) return false;
  if (!md::files::WriteWholeFile(read_.c_str(), bytes.data(), bytes.size(), &error)) return false;
  content_ = std::move(shown);
  stamp_ = StampOf(read_);
  return true;
}

bool LinkedObject::Load(const Storage& storage, std::string* pError) {
  std::unique_ptr<LinkedObject> read = FromStorage(storage, pError);
  if (read == nullptr || &read->Class() != &Class()) {
    if (read != nullptr && pError != nullptr) *pError = "a link of another class";
    return false;
  }
  *this = std::move(*read);
  return true;
}

void LinkedObject::Save(Storage* pStorage) const {
  content_->Save(pStorage);
  detail::RecordWriter w;
  w.U32(kLinkVersion);
  w.Text(absolute_);
  w.Text(relative_);
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
  std::string path, relative;
  if (!r.U32(&version) || (version != 1 && version != kLinkVersion)) {
    error = "link record of an unknown version";
    return nullptr;
  }
  // Version 1 keeps the absolute path only.
  const bool bRead = r.Text(&path, kMaxLinkPath) && (version == 1 || r.Text(&relative, kMaxLinkPath));
  if (!bRead || !r.AtEnd() || !CleanPath(path) || path.front() != '/' ||
      (!relative.empty() && !CleanRelative(relative))) {
    error = "damaged link record";
    return nullptr;
  }
  std::unique_ptr<EmbeddedObject> content = c->createNew();
  if (content == nullptr || !content->Load(storage, &error)) return nullptr;
  auto link = std::make_unique<LinkedObject>(std::move(path), std::move(content));
  link->relative_ = std::move(relative);
  return link;
}

std::unique_ptr<LinkedObject> CreateLinkToFile(const std::string& path, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  const std::string absolute = AbsoluteOf(path);
  if (!CleanPath(absolute)) {
    error = "no usable file name to link to";
    return nullptr;
  }
  std::string why;
  if (!md::files::IsReadableFile(absolute.c_str(), &why)) {
    error = "cannot link to " + absolute + ": " + why;
    return nullptr;
  }
  LinkedObject::Stamp stamp;
  std::unique_ptr<EmbeddedObject> content = LinkedObject::ReadUnchanged(
      absolute,
      [&](std::string* pWhy) -> std::unique_ptr<EmbeddedObject> {
        for (const ObjectClass* c : RegisteredClasses()) {
          if (!c->createFromFile) continue;
          if (std::unique_ptr<EmbeddedObject> object = c->createFromFile(absolute, pWhy)) return object;
        }
        *pWhy = "only PNG pictures and UTF-8 text files can be linked; files of other programs cannot";
        return nullptr;
      },
      &stamp, &why);
  if (content == nullptr) {
    error = "cannot link to " + FileTitle(absolute) + ": " + why;
    return nullptr;
  }
  auto link = std::make_unique<LinkedObject>(absolute, std::move(content));
  link->stamp_ = stamp;
  link->read_ = absolute;
  link->following_ = true;
  return link;
}

std::string FileTitle(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace md::ole
