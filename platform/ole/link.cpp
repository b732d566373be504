// Linked objects: the "Link" record, the source's paths, following the
// source file, and links made from files.
#include "platform/ole/link.h"

#include <atomic>
#include <cstdio>
#include <string_view>
#include <utility>

#include "platform/files/filestore.h"
#include "platform/files/pagepaths.h"
#include "platform/files/settling.h"
#include "platform/ole/record.h"
#include "platform/ole/sourcefile.h"

namespace md::ole {
namespace {

// 1: the absolute path; 2: the absolute path and the relative one.
constexpr std::uint32_t kLinkVersion = 2;

// How long a source's last change must lie behind before an update takes it.
constexpr std::int64_t kQuietNanoseconds = 1000000000;

std::atomic<detail::SourceReadHook> g_readHook{nullptr};
std::atomic<detail::SourceStampHook> g_stampHook{nullptr};

md::files::FileStamp SourceStamp(const std::string& path) {
  md::files::FileStamp stamp = md::files::StampOf(path);
  if (const detail::SourceStampHook hook = g_stampHook.load()) hook(path, &stamp);
  return stamp;
}

// How long until a file showing the stamp has settled; 0 once it has. A
// time of another clock is not counted.
std::int64_t TimeToSettle(const md::files::FileStamp& stamp) {
  return md::files::SettlingOf(stamp, md::files::FileClockNow(), kQuietNanoseconds).wait;
}

// Whether the stamps are of one file with the same times (its size aside).
bool SameTimes(const md::files::FileStamp& a, const md::files::FileStamp& b) {
  return a.known && b.known && a.device == b.device && a.inode == b.inode && a.modified == b.modified &&
         a.changed == b.changed;
}

// A delay in seconds, rounded up to the hundredth: "0.67 s".
std::string Seconds(std::int64_t ns) {
  const std::int64_t hundredths = (ns + 9999999) / 10000000;
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%02lld s", static_cast<long long>(hundredths / 100),
                static_cast<long long>(hundredths % 100));
  return text;
}

// What is wrong with a path a "Link" record keeps; empty when nothing is.
std::string PathFault(const std::string& path) {
  if (path.empty()) return "an empty path";
  if (path.size() > kMaxLinkPath) return "a path over " + std::to_string(kMaxLinkPath) + " bytes";
  if (path.find('\0') != std::string::npos) return "a NUL in a path";
  if (!detail::IsValidUtf8(path)) return "a path that is not UTF-8";
  return std::string();
}

bool CleanPath(const std::string& path) { return PathFault(path).empty(); }

// What keeps a path from lying below a folder (see IsPathBelowFolder);
// empty when nothing does.
std::string RelativeFault(const std::string& path) {
  if (std::string fault = PathFault(path); !fault.empty()) return fault;
  if (md::files::IsPathBelowFolder(path)) return std::string();
  if (path.front() == '/') return "a relative path that starts with \"/\"";
  if (("/" + path + "/").find("/../") != std::string::npos) return "a relative path that climbs with \"..\"";
  return "a relative path with an empty or \".\" name";
}

bool CleanRelative(const std::string& path) { return RelativeFault(path).empty(); }

// Reads the paths of a "Link" record after its version (version 1 keeps the
// absolute path only); what is wrong with the record, empty when nothing is.
std::string RecordFault(detail::RecordReader* r, std::uint32_t version, std::string* path,
                        std::string* relative) {
  if (!r->Text(path, kMaxLinkPath) || (version != 1 && !r->Text(relative, kMaxLinkPath)))
    return "cut short, or a path over " + std::to_string(kMaxLinkPath) + " bytes";
  if (!r->AtEnd()) return "bytes after its end";
  if (std::string fault = PathFault(*path); !fault.empty()) return fault;
  if (path->front() != '/') return "a source path that is not absolute";
  return relative->empty() ? std::string() : RelativeFault(*relative);
}

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
detail::SourceStampHook detail::SetSourceStampHook(SourceStampHook hook) {
  return g_stampHook.exchange(hook);
}

LinkedObject::LinkedObject(std::string sourcePath, std::unique_ptr<EmbeddedObject> content)
    : absolute_(std::move(sourcePath)), content_(std::move(content)) {}

template <class TRead>
std::unique_ptr<EmbeddedObject> LinkedObject::ReadUnchanged(const std::string& path, const TRead& read,
                                                            Stamp* pStamp, std::string* pError) {
  const Stamp before = SourceStamp(path);
  std::unique_ptr<EmbeddedObject> object = read(pError);
  if (const detail::SourceReadHook hook = g_readHook.load()) hook(path);
  if (!before.known || !(SourceStamp(path) == before)) {
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
  // The source's real place, as an update would find it: through the
  // relative path first, at the absolute path second.
  std::string source = SourcePath();
  if (!relative_.empty()) {
    if (md::files::StampOf(source).known)
      absolute_ = source;
    else if (md::files::StampOf(absolute_).known)
      source = absolute_;
  }
  relative_ = RelativeTo(source, page);
  page_ = page;
}

std::int64_t LinkedObject::Unsettled(const std::string& path, const Stamp& stamp, std::string* pWhy) {
  // A file written in pieces may be between two of them, whatever its
  // inode: an editor's save renames the old file away and writes a new one.
  std::int64_t wait = TimeToSettle(stamp);
  *pWhy = " may have changed less than a second ago and still be being written";
  // One rewritten in place shows its new size before its new times (a
  // truncation for some milliseconds): other content under the times the
  // link shows, or an empty file under times it may never have seen. Either
  // settles from when an update first saw it so.
  const bool inPlace = path == read_ && SameTimes(stamp, stamp_);
  if (!inPlace && stamp.size != 0) return wait;
  const std::int64_t now = md::files::FileClockNow();
  if (!(unsettled_ == stamp)) {
    unsettled_ = stamp;
    unsettledSince_ = now;
  }
  if (const std::int64_t seen = unsettledSince_ + md::files::SettleTime(stamp, kQuietNanoseconds) - now;
      seen > wait) {
    wait = seen;
    *pWhy = inPlace ? " changed while its times did not and may still be being written"
                    : " is empty and may still be being written";
  }
  return wait;
}

bool LinkedObject::Update(std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  following_ = true;
  for (const std::string& path : Candidates()) {
    const Stamp now = SourceStamp(path);
    if (!now.known) continue;
    if (path == read_ && now == stamp_) {
      current_ = true;
      unsettled_ = Stamp{};
      return true;
    }
    const ObjectClass& c = Class();
    Stamp stamp;
    std::unique_ptr<EmbeddedObject> fresh = ReadUnchanged(
        path, [&](std::string* pWhy) { return c.createFromFile ? c.createFromFile(path, pWhy) : nullptr; },
        &stamp, &error);
    // Kept as it was shown; nothing is written until an update succeeds.
    current_ = false;
    if (fresh == nullptr) {
      if (error.empty()) error = "the source " + path + " is not a " + c.userType;
      return false;
    }
    if (fresh->Content() != content_->Content()) {
      std::string why;
      if (const std::int64_t wait = Unsettled(path, stamp, &why); wait > 0) {
        error = "the source " + path + why + "; try again in " + Seconds(wait);
        return false;
      }
    }
    content_ = std::move(fresh);
    stamp_ = stamp;
    unsettled_ = Stamp{};
    read_ = path;
    current_ = true;
    absolute_ = path;
    relative_ = RelativeTo(path, page_);
    return true;
  }
  // A file that appears there next is judged by its age alone: a writer
  // may be writing it in place.
  stamp_ = Stamp{};
  read_.clear();
  current_ = false;
  error = "the source " + SourcePath() + " is gone";
  return false;
}

bool LinkedObject::WriteSource(const EmbeddedObject& content, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  const ObjectClass& c = Class();
  if (read_.empty() || !current_) {
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
  stamp_ = SourceStamp(read_);
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
  const std::string fault = RecordFault(&r, version, &path, &relative);
  if (!fault.empty()) {
    error = "damaged link record: " + fault;
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
  if (!IsSourceFile(absolute, &why)) {
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
  link->current_ = true;
  link->following_ = true;
  return link;
}

std::unique_ptr<EmbeddedObject> LoadLinkPresentation(const Storage& storage, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  if (storage.streams.count(kLinkStream) == 0) {
    error = "not a link";
    return nullptr;
  }
  // The content stream alone: an object of the class holding the presentation.
  Storage content = storage;
  content.streams.erase(kLinkStream);
  std::unique_ptr<EmbeddedObject> shown = LoadObject(content, &error);
  return shown != nullptr ? CreateStaticFromObject(*shown, &error) : nullptr;
}

std::string FileTitle(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace md::ole
