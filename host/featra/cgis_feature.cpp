// A feature: ID, kind, geometry, named fields, symbol, order and (for a
// compound) its member list.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "host/basilo/igis_log.h"
#include "host/featra/featra_impl.h"

namespace {

std::mutex g_codecLock;
SGIS_FeatureSymbolCodec g_codec{};
bool g_hasCodec = false;

}  // namespace

extern "C" void GIS_SetFeatureSymbolCodec(const SGIS_FeatureSymbolCodec* codec) {
  std::lock_guard<std::mutex> guard(g_codecLock);
  if (codec != nullptr && codec->save != nullptr && codec->load != nullptr && codec->release != nullptr) {
    g_codec = *codec;
    g_hasCodec = true;
  } else {
    g_codec = SGIS_FeatureSymbolCodec{};
    g_hasCodec = false;
  }
}

namespace md::featra {

bool CurrentSymbolCodec(SGIS_FeatureSymbolCodec* out) {
  std::lock_guard<std::mutex> guard(g_codecLock);
  if (!g_hasCodec) return false;
  *out = g_codec;
  return true;
}

CGIS_Feature::CGIS_Feature(CGIS_FeatureClass* owner, int id, int kind)
    : owner_(owner), id_(id), kind_(kind), geometry_(this, kind) {}

CGIS_Feature::~CGIS_Feature() { DropSymbol(); }

void CGIS_Feature::DropSymbol() {
  if (symbol_ != nullptr && symbolCodec_.release != nullptr) symbolCodec_.release(symbol_);
  symbol_ = nullptr;
  symbolCodec_ = SGIS_FeatureSymbolCodec{};
  symbolBytes_.clear();
  hasSymbolBytes_ = false;
}

IGIS_FeatureClass* CGIS_Feature::GetFeatureClass() { return owner_; }

bool CGIS_Feature::ComputeBound(SGIS_Rect* rect) {
  *rect = SGIS_Rect();
  if (kind_ != GIS_FEATURE_KIND_COMPOUND) return geometry_.OwnBound(rect);
  if (owner_ == nullptr) return false;
  // Union of the bounds of every feature reached through member lists; each
  // compound is visited once, so a damaged member graph cannot loop.
  bool any = false;
  std::unordered_set<int> seen{id_};
  std::vector<int> pending(members_.rbegin(), members_.rend());
  while (!pending.empty()) {
    const int id = pending.back();
    pending.pop_back();
    if (!seen.insert(id).second) continue;
    CGIS_Feature* member = owner_->Find(id);
    if (member == nullptr) continue;
    if (member->kind_ == GIS_FEATURE_KIND_COMPOUND) {
      pending.insert(pending.end(), member->members_.rbegin(), member->members_.rend());
      continue;
    }
    SGIS_Rect r;
    if (!member->geometry_.OwnBound(&r)) continue;
    if (any) {
      SGIS_Rect u = *rect;
      rect->Union(&u, &r);
    } else {
      *rect = r;
      any = true;
    }
  }
  return any;
}

BOOL CGIS_Feature::GetBound(SGIS_Rect* rect, int, int) {
  if (rect == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::GetBound", "rect == NULL");
    return FALSE;
  }
  return ComputeBound(rect) ? TRUE : FALSE;
}

IGIS_Symbol* CGIS_Feature::GetSymbol() {
  if (symbol_ != nullptr || !hasSymbolBytes_) return symbol_;
  SGIS_FeatureSymbolCodec codec;
  if (!CurrentSymbolCodec(&codec)) return nullptr;  // kept as bytes until a codec exists
  IGIS_Symbol* symbol = codec.load(symbolBytes_.data(), static_cast<int>(symbolBytes_.size()));
  if (symbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::GetSymbol", "stored symbol of feature %d cannot be rebuilt",
            id_);
    return nullptr;
  }
  // From now on the object is the symbol (callers change it in place).
  symbol_ = symbol;
  symbolCodec_ = codec;
  symbolBytes_.clear();
  hasSymbolBytes_ = false;
  return symbol_;
}

BOOL CGIS_Feature::SetSymbol(IGIS_Symbol* symbol) {
  if (symbol == symbol_ && symbol != nullptr) return TRUE;
  if (symbol == nullptr) {
    DropSymbol();
    return TRUE;
  }
  SGIS_FeatureSymbolCodec codec;
  if (!CurrentSymbolCodec(&codec)) {
    // Without the codec the feature could neither store nor end the object.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::SetSymbol", "no symbol codec installed");
    return FALSE;
  }
  DropSymbol();
  symbol_ = symbol;
  symbolCodec_ = codec;
  return TRUE;
}

bool CGIS_Feature::SymbolBytes(std::vector<std::uint8_t>* out) {
  out->clear();
  if (hasSymbolBytes_) {
    *out = symbolBytes_;
    return true;
  }
  if (symbol_ == nullptr) return false;
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
  if (buffer == nullptr) return false;
  const bool ok = symbolCodec_.save(symbol_, buffer) != FALSE;
  if (ok && buffer->GetSize() > 0) out->assign(buffer->GetData(), buffer->GetData() + buffer->GetSize());
  buffer->Release();
  if (!ok)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::SymbolBytes", "symbol of feature %d cannot be saved", id_);
  return ok;
}

BOOL CGIS_Feature::GetSymbolData(IGIS_DataBuffer* buffer) {
  if (buffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::GetSymbolData", "pBuffer == NULL");
    return FALSE;
  }
  std::vector<std::uint8_t> bytes;
  const bool has = SymbolBytes(&bytes);
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX) || !buffer->SetSize(static_cast<int>(bytes.size())))
    return FALSE;
  if (!bytes.empty()) std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
  return has ? TRUE : FALSE;
}

BOOL CGIS_Feature::SetSymbolData(const void* data, int size) {
  if (size < 0 || (size > 0 && data == nullptr)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::SetSymbolData", "data == NULL || size < 0");
    return FALSE;
  }
  std::vector<std::uint8_t> bytes(static_cast<const std::uint8_t*>(data),
                                  static_cast<const std::uint8_t*>(data) + size);
  DropSymbol();
  if (size > 0) {
    symbolBytes_ = std::move(bytes);
    hasSymbolBytes_ = true;
  }
  return TRUE;
}

int CGIS_Feature::GetMemberID(int index) {
  if (index < 0 || index >= static_cast<int>(members_.size())) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::GetMemberID", "index %d out of range (count %d)", index,
            static_cast<int>(members_.size()));
    return -1;
  }
  return members_[static_cast<std::size_t>(index)];
}

BOOL CGIS_Feature::AddMember(int id) {
  if (kind_ != GIS_FEATURE_KIND_COMPOUND) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::AddMember", "feature %d is no compound", id_);
    return FALSE;
  }
  if (owner_ == nullptr || owner_->Find(id) == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::AddMember", "no feature %d", id);
    return FALSE;
  }
  if (owner_->IsMemberOf(id_, id)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::AddMember", "feature %d is already a member of %d", id, id_);
    return FALSE;
  }
  // A compound that contained itself would make every walk over members endless.
  if (id == id_ || owner_->WouldCycle(id_, id)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::AddMember", "feature %d would contain itself", id_);
    return FALSE;
  }
  std::map<int, int> below, above;
  if (owner_->DepthAbove(id_, &above) + 1 + owner_->HeightBelow(id, &below) > kMaxCompoundDepth) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Feature::AddMember", "compounds would nest deeper than %d levels",
            kMaxCompoundDepth);
    return FALSE;
  }
  members_.push_back(id);
  owner_->NoteMember(id_, id);
  return TRUE;
}

BOOL CGIS_Feature::HasMember(int id) {
  return owner_ != nullptr && owner_->IsMemberOf(id_, id) ? TRUE : FALSE;
}

BOOL CGIS_Feature::RemoveMember(int id) {
  // Searched from the end: members are most often removed last first, and
  // an ID is listed once.
  auto found = std::find(members_.rbegin(), members_.rend(), id);
  if (found == members_.rend()) return FALSE;
  members_.erase(std::next(found).base());
  if (owner_ != nullptr) owner_->ForgetMember(id_, id);
  return TRUE;
}

}  // namespace md::featra
