// Stored image of a feature set, and its files. Layout: FORMAT.md.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "host/basilo/falseonwant.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/propertyset_codec.h"
#include "host/featra/featra_impl.h"
#include "host/featra/featureset_image.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/pagehold.h"
#include "platform/bytes/bytestream.h"
#include "platform/files/filestore.h"

namespace md::featra {

using bytes::ByteReader;
using bytes::ByteWriter;
using bytes::Crc32;
using bytes::Crc32Combine;
using bytes::Crc32More;

namespace {

constexpr char kMagic[4] = {'M', 'D', 'F', 'S'};
constexpr std::size_t kHeaderSize = 12;  // magic, version, flags, payload length
constexpr std::size_t kTrailerSize = 4;  // CRC-32
constexpr std::size_t kMaxNameBytes = 65535;
constexpr std::size_t kMaxSymbolBytes = 64u << 20;
constexpr std::uint32_t kMaxFeatures = 100000;
constexpr std::size_t kMinFeatureRecord = 18;  // id, kind, order, empty geometry, no symbol, empty fields
constexpr long long kMaxFileBytes = 256LL << 20;
constexpr long long kMaxNextId = 1LL << 31;

// ---- writing --------------------------------------------------------------

// `bytes` is scratch space the caller keeps across features.
bool EncodeFeature(CGIS_Feature* f, ByteWriter* w, std::vector<std::uint8_t>& bytes, std::string* error) {
  w->I32(f->GetID());
  w->U32(static_cast<std::uint32_t>(f->GetKind()));
  w->U8(f->GetOrder());
  CGIS_Geometry& g = f->geometry();
  if (f->GetKind() == GIS_FEATURE_KIND_ELLIPSE) {
    w->U8(g.hasEllipse() ? 1 : 0);
    w->I32(g.ellipse().left);
    w->I32(g.ellipse().right);
    w->I32(g.ellipse().top);
    w->I32(g.ellipse().bottom);
  } else if (f->GetKind() == GIS_FEATURE_KIND_COMPOUND) {
    w->U32(static_cast<std::uint32_t>(f->members().size()));
    for (int id : f->members()) w->I32(id);
  } else {
    w->U32(static_cast<std::uint32_t>(g.points().size()));
    for (const SGIS_Point& p : g.points()) {
      w->I32(p.x);
      w->I32(p.y);
      w->I32(p.z);
    }
  }
  bytes.clear();
  if (f->HasSymbol()) {
    if (!f->SymbolBytes(&bytes)) {
      *error = "symbol of feature " + std::to_string(f->GetID()) + " cannot be stored";
      return false;
    }
    if (bytes.size() > kMaxSymbolBytes) {
      *error = "symbol of feature " + std::to_string(f->GetID()) + " is too large";
      return false;
    }
  }
  if (bytes.empty()) {
    w->U8(0);
  } else {
    w->U8(1);
    w->Blob(bytes.data(), bytes.size());
  }
  // The fields' bytes go from the encoder straight into the image.
  try {
    md::basilo::PropertySetEncoder encoder;
    std::span<const std::uint8_t> image;
    if (f->attributes().WriteImage(&encoder, &image)) {
      w->Blob(image.data(), image.size());
      return true;
    }
  } catch (const std::bad_alloc&) {
  }
  *error = "fields of feature " + std::to_string(f->GetID()) + " cannot be stored";
  return false;
}

// Where an encoded image goes: its bytes in order, then the final header in
// place of the first kHeaderSize bytes.
class ImageSink {
 public:
  virtual ~ImageSink() = default;
  virtual bool Put(const std::uint8_t* data, std::size_t size) = 0;
  virtual bool PutHeader(const std::uint8_t* header) = 0;
  // Why a Put or PutHeader failed, as the system said it; empty when it did not say.
  virtual std::string Why() const { return std::string(); }
};

class VectorSink final : public ImageSink {
 public:
  explicit VectorSink(std::vector<std::uint8_t>* out) : out_(out) { out_->clear(); }
  bool Put(const std::uint8_t* data, std::size_t size) override {
    out_->insert(out_->end(), data, data + size);
    return true;
  }
  bool PutHeader(const std::uint8_t* header) override {
    std::memcpy(out_->data(), header, kHeaderSize);
    return true;
  }

 private:
  std::vector<std::uint8_t>* out_;
};

class FileSink final : public ImageSink {
 public:
  explicit FileSink(md::files::FileReplacement* file) : file_(file) {}
  bool Put(const std::uint8_t* data, std::size_t size) override { return file_->Write(data, size); }
  bool PutHeader(const std::uint8_t* header) override { return file_->WriteAt(0, header, kHeaderSize); }
  std::string Why() const override { return file_->WriteError(); }

 private:
  md::files::FileReplacement* file_;
};

// Encodes the set into the sink a block at a time, so a large image is
// never held whole and each block is written while it is still in cache.
// The header's payload length and the CRC over the whole image are known
// only at the end: the header goes last, its CRC joined to the rest's.
bool Encode(CGIS_FeatureSet* set, ImageSink* sink, std::string* error) {
  constexpr std::size_t kBlock = 1u << 20;
  CGIS_FeatureClass& cls = set->featureClass();
  std::uint8_t header[kHeaderSize] = {};
  std::memcpy(header, kMagic, sizeof kMagic);
  header[4] = static_cast<std::uint8_t>(kFeatureSetImageVersion);
  header[5] = static_cast<std::uint8_t>(kFeatureSetImageVersion >> 8);
  const auto cannotWrite = [&] {
    const std::string why = sink->Why();
    *error = why.empty() ? "cannot write the image" : "cannot write the image: " + why;
    return false;
  };
  if (!sink->Put(header, kHeaderSize)) return cannotWrite();
  std::uint64_t payload = 0;
  std::uint32_t payloadCrc = 0;
  ByteWriter w;
  w.bytes().reserve(kBlock + kBlock / 4);
  const auto flush = [&]() {
    std::vector<std::uint8_t>& bytes = w.bytes();
    payload += bytes.size();
    if (payload > static_cast<std::uint64_t>(kMaxFileBytes)) {
      *error = "image too large";
      return false;
    }
    payloadCrc = Crc32More(payloadCrc, bytes.data(), bytes.size());
    if (!sink->Put(bytes.data(), bytes.size())) return cannotWrite();
    bytes.clear();
    return true;
  };
  std::string name = set->GetName();
  if (name.size() > kMaxNameBytes) {
    // Cut at a character boundary: drop UTF-8 continuation bytes at the cut.
    std::size_t cut = kMaxNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  w.String(name);
  w.F64(cls.unitRatio());
  w.U32(static_cast<std::uint32_t>(cls.nextId()));
  if (cls.ids().size() > kMaxFeatures) {
    *error = "more than " + std::to_string(kMaxFeatures) + " features";
    return false;
  }
  w.U32(static_cast<std::uint32_t>(cls.ids().size()));
  std::vector<std::uint8_t> scratch;
  const int count = static_cast<int>(cls.ids().size());
  for (int i = 0; i < count; ++i) {
    if (!EncodeFeature(cls.At(i), &w, scratch, error)) return false;
    if (w.bytes().size() >= kBlock && !flush()) return false;
  }
  if (!flush()) return false;
  for (int i = 0; i < 4; ++i) header[8 + i] = static_cast<std::uint8_t>(payload >> (8 * i));
  const std::uint32_t crc = Crc32Combine(Crc32(header, kHeaderSize), payloadCrc, payload);
  w.U32(crc);
  if (!sink->Put(w.bytes().data(), w.bytes().size()) || !sink->PutHeader(header)) return cannotWrite();
  return true;
}

bool Encode(CGIS_FeatureSet* set, std::vector<std::uint8_t>* out, std::string* error) {
  VectorSink sink(out);
  return Encode(set, &sink, error);
}

// ---- reading --------------------------------------------------------------

bool DecodeFeature(ByteReader* r, long long nextId, int previousId, std::unique_ptr<CGIS_Feature>* out,
                   std::string* error) {
  std::int32_t id;
  std::uint32_t kind;
  std::uint8_t order;
  if (!r->I32(&id) || !r->U32(&kind) || !r->U8(&order)) return false;
  if (id <= previousId || id < 1 || id >= nextId) {
    *error = "feature ID " + std::to_string(id) + " out of order or out of range";
    return false;
  }
  if (!IsKnownKind(static_cast<int>(kind))) {
    *error = "feature " + std::to_string(id) + " has unknown kind " + std::to_string(kind);
    return false;
  }
  auto f = std::make_unique<CGIS_Feature>(nullptr, id, static_cast<int>(kind));
  if (f->GetAttributes() == nullptr) {
    *error = "no memory for fields";
    return false;
  }
  f->SetOrder(order);
  CGIS_Geometry& g = f->geometry();
  if (kind == GIS_FEATURE_KIND_ELLIPSE) {
    std::uint8_t has;
    SGIS_Rect rect;
    if (!r->U8(&has) || !r->I32(&rect.left) || !r->I32(&rect.right) || !r->I32(&rect.top) ||
        !r->I32(&rect.bottom))
      return false;
    if (has > 1) {
      *error = "feature " + std::to_string(id) + " has a bad ellipse flag";
      return false;
    }
    rect.Normalize();
    g.SetEllipseRaw(has == 1, rect);
  } else if (kind == GIS_FEATURE_KIND_COMPOUND) {
    std::uint32_t count;
    if (!r->U32(&count)) return false;
    if (count > r->remaining() / 4) {
      *error = "member list of feature " + std::to_string(id) + " runs past the end";
      return false;
    }
    std::vector<int>& members = f->members();
    members.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) r->I32(&members[i]);
  } else {
    std::uint32_t count;
    if (!r->U32(&count)) return false;
    if (count > static_cast<std::uint32_t>(g.MaxPoints()) || count > r->remaining() / 12) {
      *error = "point list of feature " + std::to_string(id) + " is too long";
      return false;
    }
    std::vector<SGIS_Point>& points = g.points();
    points.resize(count);
    for (SGIS_Point& p : points) {
      r->I32(&p.x);
      r->I32(&p.y);
      r->I32(&p.z);
    }
  }
  std::uint8_t hasSymbol;
  if (!r->U8(&hasSymbol)) return false;
  if (hasSymbol > 1) {
    *error = "feature " + std::to_string(id) + " has a bad symbol flag";
    return false;
  }
  if (hasSymbol == 1) {
    const std::uint8_t* data;
    std::size_t size;
    if (!r->Blob(kMaxSymbolBytes, &data, &size)) return false;
    if (size == 0) {
      *error = "feature " + std::to_string(id) + " has an empty symbol";
      return false;
    }
    f->SetSymbolData(data, static_cast<int>(size));
  }
  const std::uint8_t* fields;
  std::size_t fieldBytes;
  if (!r->Blob(r->remaining(), &fields, &fieldBytes)) return false;
  if (!f->attributes().ReadImage(fields, fieldBytes)) {
    *error = "fields of feature " + std::to_string(id) + " are damaged";
    return false;
  }
  // A stored element handle belongs to the process that wrote the file; here
  // it would name no element or an unrelated one. The element bound to the
  // feature writes its own.
  if (f->attributes().GetFieldType("InterfacePtr") != 0) f->attributes().SetInt("InterfacePtr", 0);
  *out = std::move(f);
  return true;
}

// Members must name other features of the image, once each, without cycles.
// `compounds` lists the indices of the features that have members (only
// those are walked: a leaf is not touched again).
bool CheckMembers(FeatureClassContent& content, const std::vector<std::size_t>& compounds,
                  std::string* error) {
  std::unordered_set<int> seen;
  for (std::size_t i : compounds) {
    const std::vector<int>& members = content.features[i]->members();
    const int owner = content.ids[i];
    seen.clear();
    for (int id : members) {
      if (id == owner || content.IndexOf(id) < 0 || !seen.insert(id).second) {
        *error = "compound " + std::to_string(owner) + " has a bad member " + std::to_string(id);
        return false;
      }
    }
  }
  // Depth-first walk with an explicit stack; 1 = on the path, 2 = done.
  // A finished feature knows its height: 1 for a leaf, else 1 + the highest
  // member. A stack deeper than the limit is refused before it grows further.
  std::unordered_map<int, int> state;
  std::unordered_map<int, int> height;
  // Leaves (no members) need no walk: their height is 1, which a missing
  // entry of `height` gives too.
  for (std::size_t i : compounds) {
    const int first = content.ids[i];
    if (state[first] != 0) continue;
    std::vector<std::pair<int, std::size_t>> stack{{first, 0}};
    state[first] = 1;
    while (!stack.empty()) {
      const int id = stack.back().first;
      const std::vector<int>& members =
          content.features[static_cast<std::size_t>(content.IndexOf(id))]->members();
      if (stack.back().second == members.size()) {
        int h = 1;
        for (int member : members) h = std::max(h, 1 + height[member]);
        if (h > kMaxCompoundDepth) {
          *error = "compounds nested deeper than " + std::to_string(kMaxCompoundDepth) + " levels";
          return false;
        }
        height[id] = h;
        state[id] = 2;
        stack.pop_back();
        continue;
      }
      const int child = members[stack.back().second++];
      int& s = state[child];
      if (s == 1) {
        *error = "compound " + std::to_string(child) + " contains itself";
        return false;
      }
      if (s == 0) {
        if (stack.size() >= static_cast<std::size_t>(kMaxCompoundDepth)) {
          *error = "compounds nested deeper than " + std::to_string(kMaxCompoundDepth) + " levels";
          return false;
        }
        s = 1;
        stack.emplace_back(child, 0);
      }
    }
  }
  return true;
}

// An image's bytes in order, handed out in contiguous runs: from memory, or
// read from a file a block at a time, so a large file is never held whole
// and each record is decoded while its bytes are still in cache.
class ImageSource {
 public:
  virtual ~ImageSource() = default;
  // The next n unconsumed bytes, contiguous; NULL when the image has fewer.
  virtual const std::uint8_t* Peek(std::size_t n) = 0;
  virtual void Consume(std::size_t n) = 0;
  // Whether the CRC-32 of all bytes but the last four is what those four
  // hold; the rest of the image is read for it. False with *error set when
  // a read failed.
  virtual bool ChecksumMatches(std::string* error) = 0;
  // The reason a Peek failed other than the end of the image, or "".
  virtual std::string ReadError() const { return std::string(); }
};

std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

class MemorySource final : public ImageSource {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  const std::uint8_t* Peek(std::size_t n) override { return n <= size_ - pos_ ? data_ + pos_ : nullptr; }
  void Consume(std::size_t n) override { pos_ += n; }
  bool ChecksumMatches(std::string*) override {
    return LittleEndian32(data_ + size_ - kTrailerSize) == Crc32(data_, size_ - kTrailerSize);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

class FileSource final : public ImageSource {
 public:
  explicit FileSource(md::files::FileReader* file) : file_(file), size_(file->size()) {}

  const std::uint8_t* Peek(std::size_t n) override {
    if (end_ - pos_ >= n && buffer_ != nullptr) return buffer_.get() + pos_;
    if (n > (end_ - pos_) + (size_ - read_)) return nullptr;
    // Keep the unconsumed bytes, then read at least a block more.
    if (pos_ > 0) std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
    if (capacity_ < n || capacity_ < kBlock) Grow(std::max(n, kBlock));
    while (end_ < n) {
      if (!Fill()) return nullptr;
    }
    return buffer_.get();
  }
  void Consume(std::size_t n) override { pos_ += n; }

  bool ChecksumMatches(std::string* error) override {
    pos_ = end_ = 0;
    if (capacity_ < kBlock) Grow(kBlock);
    while (read_ < size_) {
      end_ = 0;
      if (!Fill()) {
        *error = error_.empty() ? "truncated while read" : "cannot read: " + error_;
        return false;
      }
    }
    return LittleEndian32(trailer_) == crc_;
  }
  std::string ReadError() const override { return error_.empty() ? error_ : "cannot read: " + error_; }

 private:
  static constexpr std::size_t kBlock = 1u << 20;

  // Reads more bytes after end_ (no further than the length the file had
  // when opened), adding those before the trailer to the CRC and keeping
  // the trailer's. False when the file ended early or a read failed.
  bool Fill() {
    const std::size_t room =
        static_cast<std::size_t>(std::min<std::uint64_t>(capacity_ - end_, size_ - read_));
    std::size_t got = 0;
    if (room == 0 || !file_->Read(buffer_.get() + end_, room, &got, &error_) || got == 0) return false;
    const std::uint8_t* bytes = buffer_.get() + end_;
    const std::uint64_t checked = size_ - kTrailerSize;
    if (read_ < checked)
      crc_ = Crc32More(crc_, bytes, static_cast<std::size_t>(std::min<std::uint64_t>(got, checked - read_)));
    for (std::uint64_t at = std::max(read_, checked); at < read_ + got; ++at)
      trailer_[at - checked] = bytes[at - read_];
    read_ += got;
    end_ += got;
    return true;
  }

  // A larger buffer keeping the unconsumed bytes; the rest is filled by reads,
  // so it is not cleared first.
  void Grow(std::size_t capacity) {
    std::unique_ptr<std::uint8_t[]> larger(new std::uint8_t[capacity]);
    if (end_ > 0) std::memcpy(larger.get(), buffer_.get(), end_);
    buffer_ = std::move(larger);
    capacity_ = capacity;
  }

  md::files::FileReader* file_;
  std::uint64_t size_;
  std::uint64_t read_ = 0;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint32_t crc_ = 0;
  std::uint8_t trailer_[kTrailerSize] = {};
  std::string error_;
};

// How many bytes the next feature record spans, found from its length
// fields alone. A record whose fields say it runs past the payload's `left`
// bytes, or that cannot be measured, is given all of them, so that decoding
// it reports what is wrong as it would over the whole payload.
std::size_t RecordExtent(ImageSource* source, std::size_t left) {
  const auto word = [&](std::uint64_t at) -> const std::uint8_t* {
    const std::uint8_t* p = at + 4 <= left ? source->Peek(static_cast<std::size_t>(at + 4)) : nullptr;
    return p != nullptr ? p + at : nullptr;
  };
  std::uint64_t length = 9;  // ID, kind, order
  const std::uint8_t* p = word(4);
  if (p == nullptr) return left;
  const std::uint32_t kind = LittleEndian32(p);
  if (kind == GIS_FEATURE_KIND_ELLIPSE) {
    length += 17;
  } else if (kind == GIS_FEATURE_KIND_COMPOUND || IsPointListKind(static_cast<int>(kind))) {
    if ((p = word(length)) == nullptr) return left;
    length +=
        4 + static_cast<std::uint64_t>(LittleEndian32(p)) * (kind == GIS_FEATURE_KIND_COMPOUND ? 4 : 12);
  } else {
    return std::min<std::size_t>(static_cast<std::size_t>(length), left);  // refused by its kind
  }
  if (length + 1 > left || (p = source->Peek(static_cast<std::size_t>(length + 1))) == nullptr) return left;
  const std::uint8_t hasSymbol = p[length];
  length += 1;
  if (hasSymbol > 1) return static_cast<std::size_t>(length);  // refused by its flag
  if (hasSymbol == 1) {
    if ((p = word(length)) == nullptr) return left;
    length += 4 + LittleEndian32(p);
  }
  if ((p = word(length)) == nullptr) return left;
  length += 4 + LittleEndian32(p);
  return length <= left ? static_cast<std::size_t>(length) : left;
}

// The records after the header, `payload` bytes.
bool DecodeRecords(ImageSource* source, std::uint32_t payload, FeatureClassContent* content,
                   std::string* error) {
  std::size_t left = payload;
  const auto take = [&](std::size_t n) -> const std::uint8_t* {
    const std::uint8_t* p = n <= left ? source->Peek(n) : nullptr;
    return p;
  };
  const std::uint8_t* p = take(4);
  const std::size_t nameSize = p != nullptr ? LittleEndian32(p) : 0;
  if (p == nullptr || nameSize > kMaxNameBytes || (p = take(4 + nameSize + 16)) == nullptr) {
    *error = "header records truncated";
    return false;
  }
  ByteReader r(p, 4 + nameSize + 16);
  const std::uint8_t* name = nullptr;
  std::size_t ignored = 0;
  double ratio = 0.0;
  std::uint32_t nextId = 0, count = 0;
  r.Blob(kMaxNameBytes, &name, &ignored);
  r.F64(&ratio);
  r.U32(&nextId);
  r.U32(&count);
  if (!std::isfinite(ratio) || ratio <= 0.0) {
    *error = "bad unit ratio";
    return false;
  }
  if (nextId < 1 || nextId > kMaxNextId) {
    *error = "bad next feature ID";
    return false;
  }
  left -= 4 + nameSize + 16;
  if (count > kMaxFeatures || count > left / kMinFeatureRecord) {
    *error = "feature count " + std::to_string(count) + " too large";
    return false;
  }
  content->name.assign(reinterpret_cast<const char*>(name), nameSize);
  content->unitRatio = ratio;
  content->nextId = nextId;
  source->Consume(4 + nameSize + 16);
  int previousId = 0;
  content->features.reserve(count);
  content->ids.reserve(count);
  std::vector<std::size_t> compounds;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t extent = RecordExtent(source, left);
    const std::uint8_t* record = source->Peek(extent);
    std::unique_ptr<CGIS_Feature> f;
    ByteReader recordReader(record, record != nullptr ? extent : 0);
    if (!DecodeFeature(&recordReader, nextId, previousId, &f, error)) {
      if (error->empty()) *error = "feature record " + std::to_string(i) + " truncated";
      return false;
    }
    const std::size_t used = extent - recordReader.remaining();
    source->Consume(used);
    left -= used;
    previousId = f->GetID();
    content->features.push_back(std::move(f));
    content->ids.push_back(previousId);
    if (!content->features.back()->members().empty()) compounds.push_back(i);
  }
  if (left != 0) {
    *error = "unexpected bytes after the last feature";
    return false;
  }
  return CheckMembers(*content, compounds, error);
}

// Decodes an image of `size` bytes; with verifyChecksum, a checksum that
// differs is what is reported, whatever else is wrong past the header.
bool Decode(ImageSource* source, std::uint64_t size, bool verifyChecksum, FeatureClassContent* content,
            std::string* error) {
  const std::uint8_t* data = size >= kHeaderSize + kTrailerSize ? source->Peek(kHeaderSize) : nullptr;
  if (data == nullptr) {
    *error = "too short to be a feature set file";
    return false;
  }
  if (std::memcmp(data, kMagic, sizeof kMagic) != 0) {
    *error = "not a feature set file";
    return false;
  }
  ByteReader header(data + 4, kHeaderSize - 4);
  std::uint16_t version, flags;
  std::uint32_t payload;
  header.U16(&version);
  header.U16(&flags);
  header.U32(&payload);
  if (version != kFeatureSetImageVersion) {
    *error = "unsupported version " + std::to_string(version);
    return false;
  }
  if (flags != 0) {
    *error = "unknown header flags";
    return false;
  }
  if (payload != size - kHeaderSize - kTrailerSize) {
    *error = "truncated or padded (length " + std::to_string(size) + ", expected " +
             std::to_string(static_cast<std::uint64_t>(payload) + kHeaderSize + kTrailerSize) + ")";
    return false;
  }
  source->Consume(kHeaderSize);
  const bool decoded = DecodeRecords(source, payload, content, error);
  if (!decoded && !source->ReadError().empty()) {
    *error = source->ReadError();
    return false;
  }
  if (verifyChecksum) {
    std::string readError;
    if (!source->ChecksumMatches(&readError)) {
      *error = readError.empty() ? "checksum mismatch (damaged)" : readError;
      return false;
    }
  }
  return decoded;
}

bool Decode(const std::uint8_t* data, std::size_t size, bool verifyChecksum, FeatureClassContent* content,
            std::string* error) {
  if (data == nullptr) {
    *error = "too short to be a feature set file";
    return false;
  }
  MemorySource source(data, size);
  return Decode(&source, size, verifyChecksum, content, error);
}

// Decodes the file at path a block at a time; false with *error set when it
// cannot be read or is damaged. *unreadable tells which.
bool DecodeFile(const char* path, FeatureClassContent* content, std::string* error, bool* unreadable) {
  md::files::FileReader file;
  *unreadable = !file.Open(path, static_cast<std::size_t>(kMaxFileBytes), error);
  if (*unreadable) return false;
  FileSource source(&file);
  return Decode(&source, file.size(), true, content, error);
}

CGIS_FeatureSet* OwnSet(IGIS_FeatureSet* set) { return dynamic_cast<CGIS_FeatureSet*>(set); }

bool Install(CGIS_FeatureSet* set, const std::uint8_t* data, std::size_t size, bool verifyChecksum,
             const char* method, const char* source) {
  FeatureClassContent content;
  std::string error;
  if (!Decode(data, size, verifyChecksum, &content, &error)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, method, "%s: %s; the feature set is unchanged", source, error.c_str());
    return false;
  }
  set->featureClass().Replace(&content);
  set->setName(content.name);
  set->ForgetMembers();
  return true;
}

// The feature of the ID, looked for first at the index it had in a list of
// the class's IDs taken earlier (it is still there unless features were
// deleted before it).
CGIS_Feature* FeatureOf(CGIS_FeatureClass& cls, std::size_t index, int id) {
  CGIS_Feature* at = cls.At(static_cast<int>(index));
  return at != nullptr && at->GetID() == id ? at : cls.Find(id);
}

// A page's later passes find its features cold again: each asks for the
// features a few places ahead, the feature object first and its fields once
// that has come in, so that their misses overlap the work on this one.
void Prefetch(CGIS_FeatureClass& cls, std::size_t index) {
  constexpr std::size_t kFields = 4, kFeature = 8;
  if (CGIS_Feature* f = cls.At(static_cast<int>(index + kFeature))) {
    __builtin_prefetch(f);
    __builtin_prefetch(&f->attributes());
  }
  if (CGIS_Feature* f = cls.At(static_cast<int>(index + kFields))) f->attributes().PrefetchFields();
}

// The stored "TYPE" of a feature, or "".
const char* TypeOf(CGIS_Feature* feature) {
  const char* type = feature != nullptr ? feature->attributes().GetString("TYPE") : nullptr;
  return type != nullptr ? type : "";
}

// Every live element bound to a feature of the set's class writes its state
// into its feature; false, naming the feature, when one cannot.
bool StoreElements(CGIS_FeatureSet* set, std::string* error) {
  SGIS_ElementHooks hooks;
  if (!CurrentElementHooks(&hooks) || hooks.archive == nullptr) return true;
  // The IDs first: storing may add or drop features.
  const std::vector<int> ids = set->featureClass().ids();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const int id = ids[i];
    CGIS_Feature* feature = FeatureOf(set->featureClass(), i, id);
    // No handle field reads as 0, which names no element.
    IGIS_Element* element =
        feature != nullptr ? GIS_ResolveElement(feature->attributes().GetInt("InterfacePtr")) : nullptr;
    if (element == nullptr) continue;
    if (!hooks.archive(element, 0)) {
      *error = "the element of feature " + std::to_string(id) + " (" + TypeOf(feature) + ") cannot be stored";
      return false;
    }
  }
  return true;
}

}  // namespace

bool WriteFeatureSetImage(IGIS_FeatureSet* set, std::vector<std::uint8_t>* out) {
  CGIS_FeatureSet* own = OwnSet(set);
  if (own == nullptr || out == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "WriteFeatureSetImage", "pFeatureSet == NULL");
    return false;
  }
  std::string error;
  if (!Encode(own, out, &error)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, "WriteFeatureSetImage", "%s", error.c_str());
    return false;
  }
  return true;
}

bool ReadFeatureSetImage(IGIS_FeatureSet* set, const std::uint8_t* data, std::size_t size,
                         bool verifyChecksum) {
  CGIS_FeatureSet* own = OwnSet(set);
  if (own == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "ReadFeatureSetImage", "pFeatureSet == NULL");
    return false;
  }
  return Install(own, data, size, verifyChecksum, "ReadFeatureSetImage", "image");
}

namespace {

// The path of a file to store into or read from is given; false, with a
// record, for NULL or "".
bool PathGiven(const char* path, const char* method) {
  if (path != nullptr && path[0] != '\0') return true;
  GIS_LOG(GIS_LOG_LEVEL_STORAGE, method, path == nullptr ? "szPath == NULL" : "szPath is empty");
  return false;
}

}  // namespace

BOOL CGIS_FeatureSet::SaveToFile(const char* path) {
  constexpr const char* kMethod = "CGIS_FeatureSet::SaveToFile";
  return md::basilo::FalseOnWant(kMethod, [&]() -> BOOL {
    if (!PathGiven(path, kMethod)) return FALSE;
    const PageHold hold(this, kMethod);
    if (!hold) return FALSE;
    // The elements store what they keep relative to the file they go into; a
    // failed save leaves the set with the file it had.
    std::string previousPath = ExchangeFilePath(path);
    if (StoreAndWrite(path)) return TRUE;
    ExchangeFilePath(std::move(previousPath));
    return FALSE;
  });
}

bool CGIS_FeatureSet::StoreAndWrite(const char* path) {
  std::string error;
  if (!StoreElements(this, &error)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, "CGIS_FeatureSet::SaveToFile", "%s: %s; nothing written", path,
            error.c_str());
    return false;
  }
  md::files::FileReplacement file;
  if (!file.Begin(path, &error)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, "CGIS_FeatureSet::SaveToFile", "%s; nothing written", error.c_str());
    return false;
  }
  FileSink sink(&file);
  if (!Encode(this, &sink, &error)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, "CGIS_FeatureSet::SaveToFile", "%s: %s; nothing written", path,
            error.c_str());
    return false;
  }
  if (!file.Commit(&error)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, "CGIS_FeatureSet::SaveToFile", "%s; nothing written", error.c_str());
    return false;
  }
  return true;
}

BOOL CGIS_FeatureSet::LoadFromFile(const char* path) {
  constexpr const char* kMethod = "CGIS_FeatureSet::LoadFromFile";
  return md::basilo::FalseOnWant(kMethod, [&]() -> BOOL {
    if (!PathGiven(path, kMethod)) return FALSE;
    const PageHold hold(this, kMethod);
    if (!hold) return FALSE;
    FeatureClassContent content;
    std::string error;
    bool unreadable = false;
    if (!DecodeFile(path, &content, &error, &unreadable)) {
      if (unreadable)
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "cannot read %s: %s", path, error.c_str());
      else
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "%s: %s; the feature set is unchanged", path, error.c_str());
      return FALSE;
    }
    class_->Replace(&content);
    setName(content.name);
    ForgetMembers();
    ExchangeFilePath(path);
    return TRUE;
  });
}

BOOL CGIS_FeatureSet::LoadPageFromFile(const char* path) {
  constexpr const char* kMethod = "CGIS_FeatureSet::LoadPageFromFile";
  return md::basilo::FalseOnWant(kMethod, [&]() -> BOOL {
    SGIS_ElementHooks hooks;
    if (!CurrentElementHooks(&hooks) || hooks.bind == nullptr || hooks.archive == nullptr) {
      LogNoElementFactory(kMethod);
      return FALSE;
    }
    if (!PathGiven(path, kMethod)) return FALSE;
    const PageHold hold(this, kMethod);
    if (!hold) return FALSE;
    std::vector<std::uint8_t> before;
    FeatureClassContent content;
    std::string error;
    bool unreadable = false;
    if (!DecodeFile(path, &content, &error, &unreadable) || !Encode(this, &before, &error)) {
      GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "%s: %s; the feature set is unchanged", path, error.c_str());
      return FALSE;
    }
    // The elements of an earlier load end while their features are still there.
    ReleaseLoaded();
    class_->Replace(&content);
    setName(content.name);
    ForgetMembers();
    // The elements read what they keep relative to the file they come from.
    std::string previousPath = ExchangeFilePath(path);
    // The IDs first: binding a feature of the wrong kind makes a new one.
    const std::vector<int> ids = class_->ids();
    std::vector<IGIS_Element*> made;
    made.reserve(ids.size());
    loaded_.reserve(ids.size());
    bool ok = true;
    for (std::size_t i = 0; i < ids.size(); ++i) {
      Prefetch(*class_, i);
      const int id = ids[i];
      CGIS_Feature* feature = FeatureOf(*class_, i, id);
      const char* type = feature != nullptr ? feature->attributes().GetString("TYPE") : nullptr;
      IGIS_Element* element = type != nullptr ? hooks.bind(type, this, feature) : nullptr;
      if (element == nullptr) {
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "%s: no element of type \"%s\" can be made for feature %d",
                path, type != nullptr ? type : "", id);
        ok = false;
        break;
      }
      made.push_back(element);
      loaded_.push_back(GIS_GetElementHandle(element));
    }
    for (std::size_t i = 0; ok && i < made.size(); ++i) {
      Prefetch(*class_, i);
      if (i + 4 < made.size()) __builtin_prefetch(made[i + 4]);
      if (!hooks.archive(made[i], 1)) {
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "%s: the element of feature %d (%s) cannot be read", path,
                ids[i], TypeOf(FeatureOf(*class_, i, ids[i])));
        ok = false;
      }
    }
    if (ok) return TRUE;
    ReleaseLoaded();
    Install(this, before.data(), before.size(), false, kMethod, "the features before the load");
    ExchangeFilePath(std::move(previousPath));
    return FALSE;
  });
}

}  // namespace md::featra
