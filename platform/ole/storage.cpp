// Compound files through libgsf: the reader walks the whole tree under the
// limits of storage.h, the writer makes a new file from a tree in memory.
#include "platform/ole/storage.h"

#include "platform/ole/validate.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <cstring>
#include <deque>
#include <mutex>

namespace md::ole {
namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

void InitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
}

// Drops a GObject reference at scope end.
template <class T>
struct Ref {
  T* p = nullptr;
  explicit Ref(T* q) : p(q) {}
  ~Ref() {
    if (p != nullptr) g_object_unref(p);
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
};

struct ReadState {
  std::size_t fileSize = 0;
  std::size_t budget = 0;  // bytes of stream data still allowed
  int entries = 0;
  std::string error;
};

bool ReadTree(GsfInfile* dir, int depth, ReadState& st, Storage& out) {
  if (depth > kMaxDepth) {
    st.error = "storages nested too deep";
    return false;
  }
  const int n = gsf_infile_num_children(dir);
  if (n < 0) return true;
  for (int i = 0; i < n; ++i) {
    if (++st.entries > kMaxEntries) {
      st.error = "too many entries";
      return false;
    }
    const char* szName = gsf_infile_name_by_index(dir, i);
    GError* err = nullptr;
    Ref<GsfInput> child(gsf_infile_child_by_index(dir, i));
    if (child.p == nullptr || szName == nullptr) {
      st.error = "unreadable entry";
      if (err != nullptr) g_error_free(err);
      return false;
    }
    const std::string name = szName;
    if (out.streams.count(name) != 0 || out.storages.count(name) != 0) {
      st.error = "duplicate entry name";
      return false;
    }
    if (GSF_IS_INFILE(child.p) && gsf_infile_num_children(GSF_INFILE(child.p)) >= 0) {
      Storage sub;
      if (GSF_IS_INFILE_MSOLE(child.p))
        gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(child.p), sub.clsid.data());
      if (!ReadTree(GSF_INFILE(child.p), depth + 1, st, sub)) return false;
      out.storages.emplace(name, std::move(sub));
      continue;
    }
    const gsf_off_t size = gsf_input_size(child.p);
    if (size < 0 || static_cast<std::uint64_t>(size) > st.fileSize ||
        static_cast<std::size_t>(size) > st.budget) {
      st.error = "stream larger than the file";
      return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && gsf_input_read(child.p, static_cast<size_t>(size), bytes.data()) == nullptr) {
      st.error = "stream chain broken";
      return false;
    }
    st.budget -= bytes.size();
    out.streams.emplace(name, std::move(bytes));
  }
  return true;
}

bool ValidName(const std::string& name) {
  if (name.empty() || !g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr)) return false;
  if (g_utf8_strlen(name.c_str(), -1) > 31) return false;
  return name.find_first_of("/\\:!") == std::string::npos;
}

bool WriteTree(GsfOutfile* dir, const Storage& st, std::string* pError) {
  for (const auto& [name, sub] : st.storages) {
    if (!ValidName(name)) {
      *pError = "bad storage name";
      return false;
    }
    Ref<GsfOutput> child(gsf_outfile_new_child(dir, name.c_str(), TRUE));
    if (child.p == nullptr) {
      *pError = "cannot make storage";
      return false;
    }
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(child.p), sub.clsid.data());
    const bool ok = WriteTree(GSF_OUTFILE(child.p), sub, pError);
    gsf_output_close(child.p);
    if (!ok) return false;
  }
  for (const auto& [name, bytes] : st.streams) {
    if (!ValidName(name)) {
      *pError = "bad stream name";
      return false;
    }
    Ref<GsfOutput> child(gsf_outfile_new_child(dir, name.c_str(), FALSE));
    if (child.p == nullptr) {
      *pError = "cannot make stream";
      return false;
    }
    const bool ok = bytes.empty() || gsf_output_write(child.p, bytes.size(), bytes.data());
    gsf_output_close(child.p);
    if (!ok) {
      *pError = "cannot write stream";
      return false;
    }
  }
  return true;
}

}  // namespace

bool HasCompoundFileSignature(const std::uint8_t* data, std::size_t size) {
  return data != nullptr && size >= sizeof kSignature &&
         std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

namespace {

// Compound files read or written lately, with their trees: the same object
// is stored and read again and again (every save and load of a page, the
// sheets' backups), and the format's tree walk through libgsf costs far more
// than comparing the bytes. A few small files are kept.
class RecentFiles {
 public:
  static RecentFiles& Shared() {
    static RecentFiles recent;
    return recent;
  }
  bool TreeOf(const std::uint8_t* data, std::size_t size, Storage* pOut) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& e : entries_) {
      if (e.bytes.size() == size && std::memcmp(e.bytes.data(), data, size) == 0) {
        if (pOut != nullptr) *pOut = e.tree;
        return true;
      }
    }
    return false;
  }
  bool BytesOf(const Storage& tree, std::vector<std::uint8_t>* pOut) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& e : entries_) {
      if (e.tree == tree) {
        if (pOut != nullptr) *pOut = e.bytes;
        return true;
      }
    }
    return false;
  }
  void Keep(const std::uint8_t* data, std::size_t size, const Storage& tree) {
    if (size > kMaxBytes) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (entries_.size() >= kMaxEntries) entries_.pop_back();
    entries_.push_front(Entry{std::vector<std::uint8_t>(data, data + size), tree});
  }

 private:
  static constexpr std::size_t kMaxEntries = 8;
  static constexpr std::size_t kMaxBytes = 256u << 10;
  struct Entry {
    std::vector<std::uint8_t> bytes;
    Storage tree;
  };
  std::mutex mutex_;
  std::deque<Entry> entries_;
};

}  // namespace

bool ReadCompoundFile(const std::uint8_t* data, std::size_t size, Storage* pOut, std::string* pError) {
  if (data != nullptr && RecentFiles::Shared().TreeOf(data, size, pOut)) return true;
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  // The header alone is 512 bytes; anything shorter cannot be a compound file.
  if (size < 512 || !HasCompoundFileSignature(data, size)) {
    error = "not a compound file";
    return false;
  }
  if (size > kMaxFileSize) {
    error = "file too large";
    return false;
  }
  if (!detail::ValidateCompoundFile(data, size, &error)) return false;
  InitOnce();
  Ref<GsfInput> input(gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE));
  if (input.p == nullptr) {
    error = "out of memory";
    return false;
  }
  GError* err = nullptr;
  Ref<GsfInfile> root(gsf_infile_msole_new(input.p, &err));
  if (root.p == nullptr) {
    error = err != nullptr ? err->message : "damaged compound file";
    if (err != nullptr) g_error_free(err);
    return false;
  }
  ReadState st;
  st.fileSize = size;
  // Streams share the file's sectors: their total cannot exceed it much more
  // than the sectors' rounding; a bigger total means chains that overlap.
  st.budget = size * 2;
  Storage tree;
  gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(root.p), tree.clsid.data());
  if (!ReadTree(root.p, 0, st, tree)) {
    error = st.error;
    return false;
  }
  RecentFiles::Shared().Keep(data, size, tree);
  if (pOut != nullptr) *pOut = std::move(tree);
  return true;
}

bool WriteCompoundFile(const Storage& storage, std::vector<std::uint8_t>* pOut, std::string* pError) {
  if (RecentFiles::Shared().BytesOf(storage, pOut)) return true;
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  InitOnce();
  Ref<GsfOutput> sink(gsf_output_memory_new());
  if (sink.p == nullptr) {
    error = "out of memory";
    return false;
  }
  bool ok = false;
  {
    Ref<GsfOutfile> root(gsf_outfile_msole_new(sink.p));
    if (root.p == nullptr) {
      error = "cannot make compound file";
      return false;
    }
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(root.p), storage.clsid.data());
    ok = WriteTree(root.p, storage, &error);
    if (!gsf_output_close(GSF_OUTPUT(root.p)) && ok) {
      error = "cannot finish compound file";
      ok = false;
    }
  }
  if (!ok) return false;
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.p));
  const gsf_off_t n = gsf_output_size(sink.p);
  if (bytes == nullptr || n <= 0) {
    error = "empty compound file";
    return false;
  }
  RecentFiles::Shared().Keep(bytes, static_cast<std::size_t>(n), storage);
  if (pOut != nullptr) pOut->assign(bytes, bytes + n);
  return true;
}

}  // namespace md::ole
