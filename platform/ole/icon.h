// The icon view of objects: each class's icon drawn above a label, the
// picture an object shows in the icon aspect, and the "View" record that
// keeps an object's drawing aspect and icon in its storage.
#pragma once

#include <optional>
#include <string>

#include "platform/ole/objectclass.h"
#include "platform/ole/storage.h"
#include "platform/win/wintypes.h"

namespace md::ole {

// Drawing aspects: the object's content, or its icon with a label.
inline constexpr int kAspectContent = 1;
inline constexpr int kAspectIcon = 4;

// An icon picture: the icon of a class (a class this process does not have
// gets a plain page) and the label written under it.
struct IconicPicture {
  ClassId clsid{};
  std::string label;
  bool operator==(const IconicPicture&) const = default;
};

// The longest label kept, in bytes (cut at a whole character).
inline constexpr std::size_t kMaxIconLabel = 260;

// The icon of the class with the label; an empty label gives the class's
// name (its user type).
IconicPicture IconOfClass(const ObjectClass& objectClass, const std::string& label);

// The picture's natural size in 0.01 mm: the icon and, below it, one line of
// label, whose width follows the label's characters (a wide character one em,
// others half an em).
SIZE IconicExtent(const IconicPicture& picture);

// Draws the picture over the rectangle, scaled to fit and centred, in the
// logical units of hdc (bounds.top is the edge shown on top).
bool DrawIconicPicture(HDC hdc, const RECT& bounds, const IconicPicture& picture);

// How an object is shown: its drawing aspect and the icon it keeps.
struct ObjectView {
  int drawAspect = kAspectContent;
  std::optional<IconicPicture> icon;
  bool operator==(const ObjectView&) const = default;
};

// Reads the "View" record of a storage; a storage without one shows its
// content. False, with the reason, for a damaged record (*pView untouched).
bool ReadObjectView(const Storage& storage, ObjectView* pView, std::string* pError);
// Writes the view into the storage: no record for content without an icon.
void WriteObjectView(Storage* pStorage, const ObjectView& view);

}  // namespace md::ole
