// The stored form of an element, for comparing it before and after an edit:
// the element archives itself, then its feature's kind, order, geometry,
// symbol bytes and named fields (names, types, values, buffer bytes; not the
// element's run-time handle) are written into one byte string, so that an
// element and its copy read back from a file compare.
#pragma once

#include <string>

class IGIS_Element;
class IGIS_FrameProperty;

namespace md::test {

std::string StoredForm(IGIS_Element* pElement);
// The bytes a frame property saves.
std::string StoredForm(IGIS_FrameProperty* pFrame);

}  // namespace md::test
