// One temporary file per kept picture content.
#include "layout/graphicelement/picture/keptpicture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

#include "layout/graphicelement/picture/picturefile.h"
#include "platform/files/filestore.h"
#include "platform/files/processfolder.h"
#include "platform/imaging/loader.h"

namespace md::layout {

namespace {

// A 64-bit hash of the bytes, eight at a time.
std::uint64_t HashOf(const void* pData, std::size_t nSize) {
  const auto* p = static_cast<const std::uint8_t*>(pData);
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ nSize;
  std::size_t i = 0;
  for (; i + 8 <= nSize; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, p + i, nSize - i);
  h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 32);
}

}  // namespace

namespace {

// The registry is open from its first use until the library's static objects
// end (unload or exit); a kept file ended after that has nothing to leave.
std::atomic<bool> g_registryOpen{false};

}  // namespace

// The kept files alive, by hash. When the library is unloaded (or the
// process ends) the files it still lists are removed.
class KeptPictureRegistry {
 public:
  static KeptPictureRegistry& Shared() {
    static KeptPictureRegistry registry;
    return registry;
  }
  ~KeptPictureRegistry() {
    g_registryOpen = false;
    for (const std::string& path : TakePaths()) ::unlink(path.c_str());
    // The folders go with the files in them.
  }

  // This process's own folder inside `parent`, which the kept files are
  // written into: what a killed process left there is removed by the next
  // one. "" with *pError when it cannot be made.
  std::string FolderIn(const std::string& parent, std::string* pError) {
    md::files::ProcessFolder* folder;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      auto& slot = m_folders[parent];
      if (slot == nullptr) slot = std::make_unique<md::files::ProcessFolder>(parent, "kept.");
      folder = slot.get();
    }
    return folder->Path(pError);
  }

  KeptPicturePtr Find(std::uint64_t hash, const void* pData, std::size_t nSize,
                      const std::string& extension) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto [first, last] = m_files.equal_range(hash);
    for (auto it = first; it != last; ++it) {
      KeptPicturePtr file = it->second.weak.lock();
      if (file != nullptr && file->Holds(pData, nSize, extension) && file->Intact()) return file;
    }
    return nullptr;
  }
  void Add(const std::shared_ptr<KeptPictureFile>& file) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files.emplace(file->m_hash, Entry{file.get(), file});
  }
  void Remove(const KeptPictureFile* file) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto [first, last] = m_files.equal_range(file->m_hash);
    for (auto it = first; it != last; ++it) {
      if (it->second.file == file) {
        m_files.erase(it);
        return;
      }
    }
  }
  std::size_t Count() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files.size();
  }
  // The paths of the files alive; the registry forgets them.
  std::vector<std::string> TakePaths() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> paths;
    for (auto& [hash, entry] : m_files) paths.push_back(entry.file->m_path);
    m_files.clear();
    return paths;
  }

 private:
  KeptPictureRegistry() { g_registryOpen = true; }
  // The file (for its identity while it is being ended) and its holders' count.
  struct Entry {
    const KeptPictureFile* file;
    std::weak_ptr<const KeptPictureFile> weak;
  };
  std::mutex m_mutex;
  std::unordered_multimap<std::uint64_t, Entry> m_files;
  std::map<std::string, std::unique_ptr<md::files::ProcessFolder>> m_folders;
};

KeptPictureFile::KeptPictureFile(std::string path, std::vector<std::uint8_t> bytes, std::uint64_t hash,
                                 std::string extension)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_hash(hash), m_extension(std::move(extension)) {
  m_stamp = md::files::StampOf(m_path);
}

bool KeptPictureFile::Intact() const {
  const md::files::FileStamp now = md::files::StampOf(m_path);
  return now.known && now == m_stamp;
}

KeptPictureFile::~KeptPictureFile() {
  if (g_registryOpen) KeptPictureRegistry::Shared().Remove(this);
  ::unlink(m_path.c_str());
  md::imaging::ImageCache::Shared().Forget(m_path);
}

bool KeptPictureFile::Holds(const void* pData, std::size_t nSize, const std::string& extension) const {
  return nSize == m_bytes.size() && extension == m_extension &&
         (nSize == 0 || std::memcmp(pData, m_bytes.data(), nSize) == 0);
}

KeptPicturePtr KeepPicture(const std::string& folder, const void* pData, std::size_t nSize,
                           const std::string& extension, std::string* pAttempted) {
  const std::uint64_t hash = HashOf(pData, nSize);
  if (KeptPicturePtr file = KeptPictureRegistry::Shared().Find(hash, pData, nSize, extension)) return file;
  std::string why;
  const std::string own = KeptPictureRegistry::Shared().FolderIn(folder, &why);
  if (own.empty()) {
    *pAttempted = why;
    return nullptr;
  }
  char name[32];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
  const std::string path = WriteNewFile(own, name, extension, pData, nSize, pAttempted);
  if (path.empty()) return nullptr;
  const auto* p = static_cast<const std::uint8_t*>(pData);
  auto file =
      std::make_shared<KeptPictureFile>(path, std::vector<std::uint8_t>(p, p + nSize), hash, extension);
  KeptPictureRegistry::Shared().Add(file);
  return file;
}

std::size_t KeptPictureCount() { return g_registryOpen ? KeptPictureRegistry::Shared().Count() : 0; }

}  // namespace md::layout
