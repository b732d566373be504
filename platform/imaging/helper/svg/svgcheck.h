// The check the SVG document cairo wrote of a metafile's drawing passes
// before it is measured and written as a draw list (listwriter.h): it holds
// only what cairo's SVG surface writes, and refers to nothing outside itself.
#pragma once

#include <string>
#include <string_view>

namespace md::imaging::detail {

// Whether an XML reader may read the document without reading anything
// else on its behalf: UTF-8 without a byte-order mark (an XML declaration, if any,
// names no other encoding), with no document type or other declaration, no
// entity or character reference, no processing instruction but the XML
// declaration, no escape, no style sheet import, no markup inside a style
// element (comments, CDATA sections, elements), no base, and no reference
// but to its own parts ("#...") and to PNG data ("data:image/png;base64,"
// whose bytes start with PNG's signature). What cairo writes passes.
bool SvgRefersOnlyToItself(std::string_view svg);

// Why the document may not be written as a list: "" when it passes
// SvgRefersOnlyToItself and holds only what cairo's SVG surface writes of a
// drawing (SVG 1.1): an XML declaration, one svg element holding the other
// elements cairo writes, each with attributes of the ones cairo writes of it,
// style attributes of the properties cairo writes, and blanks between the
// tags. Anything else (another element such as a filter's turbulence, an
// attribute, a property, text, a comment) is named in the answer: an SVG
// renderer can spend minutes on a few kilobytes of effects cairo never
// writes.
std::string SvgRefusal(std::string_view svg);

}  // namespace md::imaging::detail
