// The compound element: members by feature ID, and every element operation
// applied to the members in member order.
#include "layout/graphicelement/compound/cgis_compoundelement.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/element/userinterface.h"
#include "platform/imaging/metafilelimits.h"

namespace {

constexpr const char* kClass = "CGIS_CompoundElement";

// Compounds may nest, and stored data could hold member lists made
// elsewhere: a cycle of compounds, or the same compound listed many times
// at many levels. Every walk over members therefore stops at a compound
// already being walked, below a nesting depth, and after a total number of
// member visits per outermost call, so that no stored data can make it
// recurse forever or run for an exponential time. A copy makes an element
// at each visit, which costs far more time and memory than a visit: it
// stops after a smaller number of member copies. Tests lower both budgets
// on their thread (md::layout::detail::CompoundWalkBudget).
constexpr int kMaxDepth = 256;
constexpr long kMaxVisits = 250000;
constexpr long kMaxCopies = 10000;

struct WalkBudget {
  long nVisits = kMaxVisits;
  long nCopies = kMaxCopies;
};
thread_local WalkBudget t_budget;

// A compound by its page and ID.
using WalkKey = std::pair<const IGIS_FeatureSet*, int>;

// The host's call on a compound with every call it leads to on compounds
// below it. A walk cut short says so in one record under the host's call,
// whichever nested walk met the cause first: the same cause met again by
// another walk of the call (ScaleShape asks GetHVScaleRatio first, then
// scales) is not told twice. Each thread has its own: pages are drawn and
// edited on several threads at once, and IDs are only unique in a page.
struct WalkState {
  std::vector<WalkKey> walking;  // the compounds being walked, outermost first
  int nDepth = 0;                // nested walks, a compound's calls to its own operations included
  long nVisits = 0;
  long nCopies = 0;
  int nCalls = 0;                // nested calls, walks or not
  int nCalled = 0;               // the compound the host called
  const char* szOperation = "";  // the host's call, which every record names
  const char* szDone = "";       // what that call does to members, for the records
  std::set<std::string> told;
};
thread_local WalkState t_walk;

// Writes one record under the host's call, unless the call told it already.
void Tell(const std::string& text) {
  if (t_walk.told.insert(text).second)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, (std::string(kClass) + "::" + t_walk.szOperation).c_str(), "%s",
            text.c_str());
}

std::string Compound(int id) { return "compound " + std::to_string(id) + ": "; }

// A call on a compound, and what it does to the members it reaches
// ("drawn", "moved", ...), which its records name.
class CallScope {
 public:
  CallScope(const char* szOperation, const char* szDone, int id) {
    if (t_walk.nCalls++ != 0) return;
    t_walk.nCalled = id;
    t_walk.szOperation = szOperation;
    t_walk.szDone = szDone;
    t_walk.told.clear();
  }
  ~CallScope() { --t_walk.nCalls; }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;
};

class WalkGuard {
 public:
  // A compound may call its own operations while walking (ScaleShape asks
  // GetHVScaleRatio); reaching it again through a member is a cycle, which
  // the walk further out covers (the feature set refuses cycles, so this
  // is a second line).
  WalkGuard(const char* szOperation, const char* szDone, const IGIS_FeatureSet* pPage, int id)
      : m_call(szOperation, szDone, id) {
    if (t_walk.nDepth == 0) t_walk.nVisits = t_walk.nCopies = 0;
    ++t_walk.nDepth;
    const WalkKey key(pPage, id);
    std::vector<WalkKey>& walking = t_walk.walking;
    const bool again = !walking.empty() && walking.back() == key;
    m_bCycle = !again && std::find(walking.begin(), walking.end(), key) != walking.end();
    m_bOk = t_walk.nDepth <= kMaxDepth && !m_bCycle;
    m_bPushed = m_bOk && !again;
    if (m_bPushed) walking.push_back(key);
    if (!m_bCycle && !m_bOk)
      Tell(Compound(t_walk.nCalled) + "members nested deeper than " + std::to_string(kMaxDepth) +
           " compounds not " + t_walk.szDone);
  }
  ~WalkGuard() {
    if (m_bPushed) t_walk.walking.pop_back();
    --t_walk.nDepth;
  }
  WalkGuard(const WalkGuard&) = delete;
  WalkGuard& operator=(const WalkGuard&) = delete;
  bool ok() const { return m_bOk; }
  // The compound is being walked already, further out.
  bool cycle() const { return m_bCycle; }
  // Counts one member visit; false, told once, when the budget of the
  // outermost call is spent.
  static bool Visit() { return Spend(&t_walk.nVisits, t_budget.nVisits, " member visits not "); }
  // Counts one member copy, the same way.
  static bool Copy() { return Spend(&t_walk.nCopies, t_budget.nCopies, " member copies not "); }

 private:
  static bool Spend(long* pSpent, long nBudget, const char* szWhat) {
    if (++*pSpent <= nBudget) return true;
    Tell(Compound(t_walk.nCalled) + "members past " + std::to_string(nBudget) + szWhat + t_walk.szDone);
    return false;
  }

  CallScope m_call;
  bool m_bOk = false;
  bool m_bPushed = false;
  bool m_bCycle = false;
};

SGIS_ElementBindOptions CompoundBinding() {
  SGIS_ElementBindOptions o;
  o.szType = GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND;
  o.nKind = GIS_FEATURE_KIND_COMPOUND;
  o.nCanConvert = 0;
  o.bRewriteType = true;
  o.bRewriteCanConvert = true;
  o.nRequiredKind = GIS_FEATURE_KIND_COMPOUND;
  return o;
}

}  // namespace

namespace md::layout::detail {

CompoundWalkBudget::CompoundWalkBudget(long nVisits, long nCopies)
    : m_nVisits(t_budget.nVisits), m_nCopies(t_budget.nCopies) {
  t_budget.nVisits = std::min(m_nVisits, nVisits);
  t_budget.nCopies = std::min(m_nCopies, nCopies);
}

CompoundWalkBudget::~CompoundWalkBudget() { t_budget = {m_nVisits, m_nCopies}; }

}  // namespace md::layout::detail

CGIS_CompoundElement::CGIS_CompoundElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl("CGIS_CompoundElement", "复合整饰单元") {
  m_core.Bind(pOwner, pFeature, CompoundBinding());
}

const char* CGIS_CompoundElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND; }

IGIS_Feature* CGIS_CompoundElement::GetFeaturePtr() { return m_core.FetchFeature(GIS_FEATURE_KIND_COMPOUND); }

CGIS_CompoundElement::Member CGIS_CompoundElement::FindMember(IGIS_Feature* pFeature, int nIndex) {
  // The member at the index, looked up by its ID in the owner (as a set of
  // the members would find it), without building such a set for each look.
  Member member;
  if (nIndex < 0 || nIndex >= pFeature->GetMemberCount()) return member;
  member.nFeatureID = pFeature->GetMemberID(nIndex);
  IGIS_Feature* pMember = m_core.m_pFeatureSet->GetFeature(member.nFeatureID);
  if (pMember == nullptr) return member;
  member.bFeature = true;
  IGIS_FeatureAttributes* pAttr = pMember->GetAttributes();
  // The handle of an element that was released resolves to nothing.
  member.pElement = GIS_ResolveElement(pAttr != nullptr ? pAttr->GetInt("InterfacePtr") : 0);
  return member;
}

IGIS_Element* CGIS_CompoundElement::GetElementPtrByIndex(int nIndex) {
  IGIS_Feature* pFeature = m_core.RequireFeature("GetElementPtrByIndex");
  if (pFeature == nullptr) return nullptr;
  const Member member = FindMember(pFeature, nIndex);
  if (member.pElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("GetElementPtrByIndex").c_str(), "%s",
            member.bFeature ? "pElement == NULL" : "pFeature == NULL");
  }
  return member.pElement;
}

IGIS_Element* CGIS_CompoundElement::WalkMember(int nIndex) {
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) return nullptr;
  const Member member = FindMember(pFeature, nIndex);
  if (member.pElement == nullptr) {
    Tell(Compound(GetID()) + "member feature " + std::to_string(member.nFeatureID) +
         (member.bFeature ? " has no element" : " is not on the page") + ", not " + t_walk.szDone);
  }
  return member.pElement;
}

int CGIS_CompoundElement::GetElementCount() {
  IGIS_Feature* pFeature = m_core.RequireFeature("GetElementCount");
  if (pFeature == nullptr) return 0;
  if (pFeature->GetAttributes() == nullptr) return 0;
  return pFeature->GetMemberCount();
}

bool CGIS_CompoundElement::IsMember(IGIS_Feature* pFeature, IGIS_Element* pElement) {
  return pFeature->HasMember(pElement->GetID()) != FALSE;
}

bool CGIS_CompoundElement::WouldNest(IGIS_Element* pElement) {
  if (pElement == this || pElement->GetID() == GetID()) return true;
  // An element without members (every plain one) holds nothing.
  IGIS_Feature* pTop = m_core.m_pFeatureSet->GetFeature(pElement->GetID());
  if (pTop == nullptr || pTop->GetKind() != GIS_FEATURE_KIND_COMPOUND || pTop->GetMemberCount() == 0)
    return false;
  // Walk the member lists below the element's feature; reaching this
  // compound's ID would make it contain itself.
  std::set<int> seen;
  std::vector<int> pending{pElement->GetID()};
  while (!pending.empty() && seen.size() < 100000) {
    const int id = pending.back();
    pending.pop_back();
    if (!seen.insert(id).second) continue;
    IGIS_Feature* pFeature = m_core.m_pFeatureSet->GetFeature(id);
    if (pFeature == nullptr || pFeature->GetKind() != GIS_FEATURE_KIND_COMPOUND) continue;
    const int n = pFeature->GetMemberCount();
    for (int i = 0; i < n; ++i) {
      const int member = pFeature->GetMemberID(i);
      if (member == GetID()) return true;
      pending.push_back(member);
    }
  }
  return false;
}

BOOL CGIS_CompoundElement::AddElement(IGIS_Element* pElement) {
  IGIS_Feature* pFeature = m_core.RequireFeature("AddElement");
  if (pFeature == nullptr) return FALSE;
  if (pElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("AddElement").c_str(), "pElement == NULL");
    return FALSE;
  }
  if (pElement->GetFeatureSetPtr() != m_core.m_pFeatureSet) return FALSE;
  if (WouldNest(pElement)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("AddElement").c_str(), "pElement contains this compound");
    return FALSE;
  }
  // A member listed twice would be moved and scaled twice.
  if (IsMember(pFeature, pElement)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("AddElement").c_str(), "pElement is a member already");
    return FALSE;
  }
  pElement->SetOrder(-10);
  return pFeature->AddMember(pElement->GetID()) ? TRUE : FALSE;
}

BOOL CGIS_CompoundElement::AddElementSet(IGIS_ElementSet* pElementSet) {
  if (pElementSet == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("AddElementSet").c_str(), "pElementSet == NULL");
    return FALSE;
  }
  IGIS_Feature* pFeature = m_core.RequireFeature("AddElementSet");
  if (pFeature == nullptr) return FALSE;
  const int n = pElementSet->GetCount();
  for (int i = 0; i < n; ++i) {
    IGIS_Element* pElement = pElementSet->GetElementPtr(i);
    if (pElement == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("AddElementSet").c_str(), "pElement == NULL");
      continue;
    }
    if (WouldNest(pElement)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("AddElementSet").c_str(), "pElement contains this compound");
      continue;
    }
    if (IsMember(pFeature, pElement)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("AddElementSet").c_str(), "pElement is a member already");
      continue;
    }
    pFeature->AddMember(pElement->GetID());
  }
  return TRUE;
}

bool CGIS_CompoundElement::RemoveElement(IGIS_Element* pElement) {
  if (pElement == nullptr) return false;
  IGIS_Feature* pFeature = m_core.RequireFeature("RemoveElement");
  if (pFeature == nullptr) return false;
  return IsMember(pFeature, pElement) && pFeature->RemoveMember(pElement->GetID()) != FALSE;
}

BOOL CGIS_CompoundElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  if (m_core.RequireFeature("OnDraw") == nullptr) return FALSE;
  WalkGuard guard("OnDraw", "drawn", m_core.m_pFeatureSet, GetID());
  // Reached again through a cycle: the walk further out draws it.
  if (!guard.ok()) return guard.cycle() ? TRUE : FALSE;
  // The members' metafiles share one drawing's budget (the page's, when a
  // print draws the compound).
  const md::imaging::MetafileDrawing drawing;
  bool drawn = true;
  const int n = GetElementCount();
  for (int i = 0; i < n; ++i) {
    if (!WalkGuard::Visit()) return FALSE;
    // A member that is missing or fails to draw (each says why) fails the
    // compound; the others are still drawn.
    IGIS_Element* pElement = WalkMember(i);
    if (pElement == nullptr || !pElement->OnDraw(hdc, bPrint, pDisplay)) drawn = false;
  }
  return drawn ? TRUE : FALSE;
}

BOOL CGIS_CompoundElement::OnOpenPropertyDlg(IGIS_Display*, BOOL) {
  // Shown without the library's module state: the host's caption applies.
  md::layout::HostMessageBox("复合目标，没有属性", MB_OK);
  return TRUE;
}

bool CGIS_CompoundElement::GetHVScaleRatio() {
  WalkGuard guard("GetHVScaleRatio", "consulted", m_core.m_pFeatureSet, GetID());
  if (guard.ok()) {
    const int n = GetElementCount();
    for (int i = 0; i < n; ++i) {
      if (!WalkGuard::Visit()) break;
      IGIS_Element* pElement = WalkMember(i);
      if (pElement != nullptr && pElement->GetHVScaleRatio()) return true;
    }
  }
  return m_core.m_bKeepHVScaleRatio;
}

bool CGIS_CompoundElement::CanConvert() { return false; }

IGIS_Element* CGIS_CompoundElement::ConvertToElement() { return nullptr; }

void CGIS_CompoundElement::SetOrder(int nOrder) {
  IGIS_Feature* pFeature = m_core.RequireFeature("SetOrder");
  if (pFeature == nullptr) return;
  m_core.m_nOrder = nOrder;
  pFeature->SetOrder(static_cast<BYTE>(nOrder & 0xFF));
}

SGIS_Rect CGIS_CompoundElement::GetRect() {
  IGIS_Feature* pFeature = m_core.RequireFeature("GetRect");
  if (pFeature == nullptr) return SGIS_Rect(0, 100, 100, 0);
  // The feature's bound (which goes through every member list below it)
  // when the members cannot say.
  auto bound = [pFeature] {
    SGIS_Rect rect;
    pFeature->GetBound(&rect, 1, 0);
    return rect;
  };
  WalkGuard guard("GetRect", "measured", m_core.m_pFeatureSet, GetID());
  if (!guard.ok()) return bound();
  const int n = GetElementCount();
  if (n <= 0) return SGIS_Rect();
  IGIS_Element* pFirst = WalkMember(0);
  if (pFirst == nullptr) return bound();
  SGIS_Rect rect = pFirst->GetRect();
  for (int i = 1; i < n; ++i) {
    if (!WalkGuard::Visit()) break;
    IGIS_Element* pElement = WalkMember(i);
    if (pElement == nullptr) continue;
    const SGIS_Rect other = pElement->GetRect();
    const SGIS_Rect sofar = rect;
    rect.Union(&sofar, &other);
  }
  return rect;
}

void CGIS_CompoundElement::SetRect(SGIS_Rect rect) {
  const CallScope call("SetRect", "placed", GetID());
  rect.Normalize();
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  const SGIS_Rect r = GetRect();
  if (rect.left != r.left || rect.bottom != r.bottom)
    OffsetAllPoints(rect.left - r.left, rect.bottom - r.bottom);
  if (rect.Width() != r.Width() || rect.Height() != r.Height())
    SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_CompoundElement::SetWidthAndHeight(int nWidth, int nHeight) {
  const CallScope call("SetWidthAndHeight", "resized", GetID());
  if (nWidth <= 0 || nHeight <= 0 || GetElementCount() < 1) return;
  const SGIS_Rect r = GetRect();
  const int cw = r.Width();
  const int ch = r.Height();
  if (nWidth == cw && nHeight == ch) return;
  double sx = cw < 1 ? 1.0 : static_cast<double>(nWidth) / cw;
  double sy = ch < 1 ? 1.0 : static_cast<double>(nHeight) / ch;
  if (GetHVScaleRatio()) sx = sy = std::fmin(sx, sy);
  ScaleShape(SGIS_Point(std::min(r.left, r.right), std::min(r.bottom, r.top), 0), sx, sy);
}

void CGIS_CompoundElement::CommitGeometry(IGIS_Feature* pFeature) {
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  if (pClass != nullptr && pFeature != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

void CGIS_CompoundElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  // Non-finite factors would carry into every member's integer geometry.
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  WalkGuard guard("ScaleShape", "scaled", m_core.m_pFeatureSet, GetID());
  if (!guard.ok()) return;
  if (GetHVScaleRatio()) sx = sy = std::fmin(sx, sy);
  const int n = GetElementCount();
  for (int i = 0; i < n; ++i) {
    if (!WalkGuard::Visit()) break;
    if (IGIS_Element* pElement = WalkMember(i)) pElement->ScaleShape(origin, sx, sy);
  }
  CommitGeometry(pFeature);
}

void CGIS_CompoundElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  const int n = GetElementCount();
  if (n <= 0) return;
  WalkGuard guard("OffsetAllPoints", "moved", m_core.m_pFeatureSet, GetID());
  if (!guard.ok()) return;
  for (int i = 0; i < n; ++i) {
    if (!WalkGuard::Visit()) break;
    if (IGIS_Element* pElement = WalkMember(i)) pElement->OffsetAllPoints(dx, dy);
  }
  CommitGeometry(GetFeaturePtr());
}

void CGIS_CompoundElement::SetLBpoint(SGIS_Point point) {
  IGIS_Feature* pFeature = m_core.RequireFeature("SetLBpoint");
  if (pFeature == nullptr) return;
  WalkGuard guard("SetLBpoint", "moved", m_core.m_pFeatureSet, GetID());
  if (!guard.ok()) return;
  const int n = GetElementCount();
  if (n >= 1) {
    const SGIS_Rect r = GetRect();
    const int dx = point.x - std::min(r.left, r.right);
    const int dy = point.y - std::min(r.bottom, r.top);
    for (int i = 0; i < n; ++i) {
      if (!WalkGuard::Visit()) break;
      if (IGIS_Element* pElement = WalkMember(i)) pElement->OffsetAllPoints(dx, dy);
    }
  }
  CommitGeometry(pFeature);
}

IGIS_Element* CGIS_CompoundElement::Clone() {
  if (m_core.m_pFeatureSet == nullptr) return nullptr;
  WalkGuard guard("Clone", "copied", m_core.m_pFeatureSet, GetID());
  if (!guard.ok()) return nullptr;
  IGIS_Element* pNew = m_core.m_pFeatureSet->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pNew);
  if (pCompound == nullptr) {
    if (pNew != nullptr) m_core.m_pFeatureSet->DeleteElement(pNew);
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Clone").c_str(), "pCompound == NULL");
    return nullptr;
  }
  pCompound->SetLock(m_core.m_bLock);
  // A copy without every member is no copy: it goes again, with the member
  // copies made so far (deleting a compound deletes its members).
  auto fail = [&]() -> IGIS_Element* {
    m_core.m_pFeatureSet->DeleteElement(pCompound);
    return nullptr;
  };
  const int n = GetElementCount();
  for (int i = 0; i < n; ++i) {
    if (!WalkGuard::Visit() || !WalkGuard::Copy()) return fail();
    IGIS_Element* pElement = WalkMember(i);
    if (pElement == nullptr) return fail();
    IGIS_Element* pCopy = pElement->Clone();
    if (pCopy == nullptr) {
      // A compound member says why itself.
      if (dynamic_cast<IGIS_CompoundElement*>(pElement) == nullptr)
        GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Clone").c_str(), "pClone == NULL");
      return fail();
    }
    pCompound->AddElement(pCopy);
  }
  return pCompound;
}

const char* CGIS_CompoundElement::GetDescription() { return "暂时没有定义"; }
