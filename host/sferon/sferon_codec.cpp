#include "host/sferon/sferon_codec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/basilo/recentring.h"
#include "platform/bytes/bytestream.h"

namespace md::sferon::detail {

namespace {

using bytes::ByteReader;
using bytes::ByteWriter;

// A text cut to the stored limit at a character boundary.
void PutText(ByteWriter& w, const std::string& s) {
  std::size_t n = std::min(s.size(), kMaxStoredText);
  while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  w.Blob(s.data(), n);
}

void PutUnit(ByteWriter& w, const UnitDef& u) {
  PutText(w, u.name);
  PutText(w, u.description);
  w.F64(u.factor);
  w.U8(u.angular ? 1 : 0);
}

void PutGeographic(ByteWriter& w, const GeographicDef& g) {
  PutText(w, g.name);
  PutText(w, g.description);
  PutText(w, g.datum.name);
  PutText(w, g.datum.description);
  const EllipsoidDef& e = g.datum.ellipsoid;
  PutText(w, e.name);
  PutText(w, e.description);
  w.F64(e.a);
  w.F64(e.b);
  for (double v : e.shift) w.F64(v);
  for (double v : e.rotation) w.F64(v);
  w.F64(e.scale);
  PutText(w, g.primeMeridian.name);
  PutText(w, g.primeMeridian.description);
  w.F64(g.primeMeridian.value);
  PutUnit(w, g.unit);
}

// Reading: every getter returns false once the reader failed or a value was
// refused, so the callers test once at the end.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : r_(data, size) {}

  bool Text(std::string* s) {
    const std::uint8_t* p = nullptr;
    std::size_t n = 0;
    if (!r_.Blob(kMaxStoredText, &p, &n)) return Refuse("text too long or cut short");
    s->assign(reinterpret_cast<const char*>(p), n);
    return true;
  }
  bool Finite(double* v) {
    if (!r_.F64(v)) return Refuse("cut short");
    if (!std::isfinite(*v)) return Refuse("value not finite");
    return true;
  }
  bool Positive(double* v) {
    if (!Finite(v)) return false;
    if (*v <= 0.0) return Refuse("factor or axis not above 0");
    return true;
  }
  bool Flag(bool* b) {
    std::uint8_t v = 0;
    if (!r_.U8(&v)) return Refuse("cut short");
    if (v > 1) return Refuse("flag neither 0 nor 1");
    *b = v != 0;
    return true;
  }
  bool Unit(UnitDef* u) {
    return Text(&u->name) && Text(&u->description) && Positive(&u->factor) && Flag(&u->angular);
  }
  bool Geographic(GeographicDef* g) {
    EllipsoidDef& e = g->datum.ellipsoid;
    bool ok = Text(&g->name) && Text(&g->description) && Text(&g->datum.name) &&
              Text(&g->datum.description) && Text(&e.name) && Text(&e.description) && Positive(&e.a) &&
              Positive(&e.b);
    for (double& v : e.shift) ok = ok && Finite(&v);
    for (double& v : e.rotation) ok = ok && Finite(&v);
    ok = ok && Finite(&e.scale) && Text(&g->primeMeridian.name) && Text(&g->primeMeridian.description) &&
         Finite(&g->primeMeridian.value) && Unit(&g->unit);
    if (ok && e.b > e.a) return Refuse("semi-minor axis above the semi-major axis");
    if (ok && !g->unit.angular) return Refuse("geographic system in a linear unit");
    return ok;
  }
  ByteReader& raw() { return r_; }
  bool Refuse(const char* why) {
    if (why_.empty()) why_ = why;
    r_.Fail();
    return false;
  }
  const std::string& why() const { return why_; }

 private:
  ByteReader r_;
  std::string why_;
};

}  // namespace

std::vector<std::uint8_t> EncodeReference(const ReferenceDef& def) {
  ByteWriter w;
  // Room for a usual reference, so that the bytes are not moved as they grow.
  w.bytes().reserve(1024);
  w.Bytes(kReferenceMagic, sizeof kReferenceMagic);
  w.U16(kReferenceVersion);
  w.U8(static_cast<std::uint8_t>(def.kind));
  w.U8(0);
  PutText(w, def.name);
  PutText(w, def.description);
  w.F64(def.unitFactor);
  for (double v : def.origin) w.F64(v);
  PutUnit(w, def.linearUnit);
  if (def.kind == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    PutGeographic(w, def.geographic);
  } else if (def.kind == GIS_SPATIALREFERENCE_PROJECTED) {
    const ProjectedDef& p = def.projected;
    PutText(w, p.name);
    PutText(w, p.description);
    PutGeographic(w, p.geographic);
    PutText(w, p.projection.name);
    PutText(w, p.projection.description);
    PutText(w, p.projection.model);
    w.U32(static_cast<std::uint32_t>(p.projection.params.size()));
    for (double v : p.projection.params) w.F64(v);
    PutUnit(w, p.unit);
  }
  return std::move(w.bytes());
}

bool DecodeReference(const std::uint8_t* data, std::size_t size, ReferenceDef* out, std::string* why) {
  Reader r(data, size);
  const std::uint8_t* magic = nullptr;
  std::uint16_t version = 0;
  std::uint8_t kind = 0, reserved = 0;
  if (!r.raw().Span(sizeof kReferenceMagic, &magic) ||
      std::memcmp(magic, kReferenceMagic, sizeof kReferenceMagic) != 0) {
    *why = "not a stored spatial reference";
    return false;
  }
  if (!r.raw().U16(&version) || version != kReferenceVersion) {
    *why = "unknown version";
    return false;
  }
  if (!r.raw().U8(&kind) || !r.raw().U8(&reserved) || kind > GIS_SPATIALREFERENCE_PROJECTED ||
      reserved != 0) {
    *why = "unknown kind or reserved byte set";
    return false;
  }
  ReferenceDef d;
  d.kind = kind;
  bool ok = r.Text(&d.name) && r.Text(&d.description) && r.Positive(&d.unitFactor);
  for (double& v : d.origin) ok = ok && r.Finite(&v);
  ok = ok && r.Unit(&d.linearUnit);
  if (ok && d.linearUnit.angular) ok = r.Refuse("linear unit marked angular");
  if (ok && kind == GIS_SPATIALREFERENCE_GEOGRAPHIC) ok = r.Geographic(&d.geographic);
  if (ok && kind == GIS_SPATIALREFERENCE_PROJECTED) {
    ProjectedDef& p = d.projected;
    std::uint32_t count = 0;
    ok = r.Text(&p.name) && r.Text(&p.description) && r.Geographic(&p.geographic) &&
         r.Text(&p.projection.name) && r.Text(&p.projection.description) && r.Text(&p.projection.model);
    if (ok && (!r.raw().U32(&count) || count != p.projection.params.size()))
      ok = r.Refuse("wrong projection parameter count");
    for (double& v : p.projection.params) ok = ok && r.Finite(&v);
    ok = ok && r.Unit(&p.unit);
    if (ok && p.unit.angular) ok = r.Refuse("projected system in an angular unit");
  }
  if (ok && r.raw().remaining() != 0) ok = r.Refuse("bytes after the reference");
  if (!ok) {
    *why = r.why().empty() ? "cut short" : r.why();
    return false;
  }
  *out = std::move(d);
  return true;
}

bool Storable(const ReferenceDef& def, std::string* why) {
  const std::vector<std::uint8_t> bytes = EncodeReference(def);
  ReferenceDef read;
  return DecodeReference(bytes.data(), bytes.size(), &read, why);
}

namespace {

// References decoded last on this thread, by their exact bytes; the oldest
// gives way. Large references are not kept.
class DecodeMemo {
 public:
  static constexpr std::size_t kEntries = 4;
  static constexpr std::size_t kMaxBytes = 64 * 1024;

  const ReferenceDef* Decode(const std::uint8_t* data, std::size_t size, std::string* why) {
    const Decoded* d = Kept(data, size, why);
    return d != nullptr ? &d->def : nullptr;
  }
  // As Decode; *canonical: encoding the definition gives these bytes.
  const ReferenceDef* DecodeCanonical(const std::uint8_t* data, std::size_t size, bool* canonical,
                                      std::string* why) {
    const Decoded* d = Kept(data, size, why);
    if (d == nullptr) return nullptr;
    if (d->canonical < 0) {
      const std::vector<std::uint8_t> bytes = EncodeReference(d->def);
      d->canonical = bytes.size() == size && std::memcmp(bytes.data(), data, size) == 0 ? 1 : 0;
    }
    *canonical = d->canonical == 1;
    return &d->def;
  }

 private:
  struct Decoded {
    ReferenceDef def;
    mutable int canonical = -1;  // not yet known
  };
  const Decoded* Kept(const std::uint8_t* data, std::size_t size, std::string* why) {
    if (auto* e = entries_.Find([data, size](const std::vector<std::uint8_t>& bytes) {
          return bytes.size() == size && std::memcmp(bytes.data(), data, size) == 0;
        }))
      return &e->value;
    ReferenceDef def;
    if (!DecodeReference(data, size, &def, why)) return nullptr;
    if (size > kMaxBytes) {
      scratch_ = {std::move(def), -1};
      return &scratch_;
    }
    auto& e = entries_.Renew();
    e.key.assign(data, data + size);
    e.value = {std::move(def), -1};
    return &e.value;
  }

  // The bytes of each reference and its definition.
  md::basilo::RecentRing<std::vector<std::uint8_t>, Decoded, kEntries> entries_;
  Decoded scratch_;
};

DecodeMemo& Memo() {
  thread_local DecodeMemo memo;
  return memo;
}

}  // namespace

const ReferenceDef* DecodeReferenceCanonical(const std::uint8_t* data, std::size_t size, bool* canonical,
                                             std::string* why) {
  *canonical = false;
  return Memo().DecodeCanonical(data, size, canonical, why);
}

namespace {

// Definitions stored last on this thread and their bytes, each checked to
// read back; large ones are not kept.
class EncodeMemo {
 public:
  static constexpr std::size_t kEntries = 4;
  static constexpr std::size_t kMaxBytes = 64 * 1024;

  const std::vector<std::uint8_t>* Encode(const ReferenceDef& def, std::string* why) {
    const auto* e = entries_.FindNewest([&def](const ReferenceDef& kept) { return Identical(kept, def); });
    if (e != nullptr) return &e->value;
    std::vector<std::uint8_t> bytes = EncodeReference(def);
    if (!ReferenceReadable(bytes.data(), bytes.size(), why)) return nullptr;
    if (bytes.size() > kMaxBytes) {
      scratch_ = std::move(bytes);
      return &scratch_;
    }
    auto& kept = entries_.Renew();
    kept.key = def;
    kept.value = std::move(bytes);
    return &kept.value;
  }

 private:
  md::basilo::RecentRing<ReferenceDef, std::vector<std::uint8_t>, kEntries> entries_;
  std::vector<std::uint8_t> scratch_;
};

}  // namespace

const std::vector<std::uint8_t>* EncodeReferenceKept(const ReferenceDef& def, std::string* why) {
  thread_local EncodeMemo memo;
  return memo.Encode(def, why);
}

const ReferenceDef* DecodeReferenceKept(const std::uint8_t* data, std::size_t size, std::string* why) {
  return Memo().Decode(data, size, why);
}

bool ReferenceReadable(const std::uint8_t* data, std::size_t size, std::string* why) {
  return Memo().Decode(data, size, why) != nullptr;
}

}  // namespace md::sferon::detail
