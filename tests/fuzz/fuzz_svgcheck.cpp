// Fuzzes the check a metafile's SVG passes before it is painted. A
// document it lets through is read again here the way an XML parser reads
// it (comments dropped, CDATA sections' text kept, tags taken apart into
// names and attribute values), and nothing the parser hands on may refer
// outside the document: no declaration, no instruction but the XML
// declaration, no other encoding, no entity or escape, no base, no import in
// a style element's text (all of it, whatever markup splits it), and no
// reference or url() but to the document's own parts or to PNG data. And
// what the document draws is measured, whatever it holds; what is read is
// written as a draw list within its room that the library's reader takes, or
// answered with a code.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/imaging/drawlistread.h"
#include "platform/imaging/helper/listwriter.h"
#include "platform/imaging/helper/svg/svgcheck.h"
#include "platform/imaging/helper/svg/svgmeasure.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

constexpr auto npos = std::string_view::npos;
constexpr std::string_view kBlanks = " \t\r\n";

std::string Lower(std::string_view s) {
  std::string lower(s);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Whether the reference `value` opens with (past blanks and quotes), if
// any, is to the document's own parts or to PNG data.
bool Own(std::string_view value) {
  const std::size_t v = value.find_first_not_of(" \t\r\n\f\"'");
  if (v == npos) return true;
  value.remove_prefix(v);
  return value[0] == '#' ||
         (Lower(value.substr(0, 22)) == "data:image/png;base64," && value.substr(22, 10) == "iVBORw0KGg");
}

bool NameStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':' || (c & 0x80) != 0;
}

// Whether style text refers outside: an import, an escape, or a url() of
// something else.
bool StyleRefersOutside(std::string_view css) {
  const std::string lower = Lower(css);
  if (lower.find("@import") != npos || lower.find('\\') != npos) return true;
  for (std::size_t at = lower.find("url("); at != npos; at = lower.find("url(", at + 1))
    if (!Own(css.substr(at + 4))) return true;
  return false;
}

// Whether what a parser hands on of the document refers outside it.
bool RefersOutside(std::string_view svg) {
  const std::string lower = Lower(svg);
  if (svg.find('\0') != npos) return true;
  for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFE\xFF", "\xFF\xFE"})
    if (svg.starts_with(mark)) return true;
  bool outside = false;
  std::string sheet;  // the text of the style element open now
  int styles = 0;     // open style elements
  std::string open;   // for each open element, whether it is a style ('s')
  const auto text = [&](std::string_view t, bool expanded) {
    outside = outside || (expanded && t.find('&') != npos);
    if (styles > 0) sheet.append(t);
  };
  std::size_t at = 0;
  while (at < svg.size() && !outside) {
    std::size_t end = svg.find('<', at);
    if (end != at) {
      text(svg.substr(at, end - at), true);
      at = end;
    } else if (lower.compare(at, 4, "<!--") == 0) {
      end = svg.find("-->", at + 4);
      at = end == npos ? svg.size() : end + 3;
    } else if (lower.compare(at, 9, "<![cdata[") == 0) {
      end = svg.find("]]>", at + 9);
      if (end == npos) break;  // the parser stops here
      text(svg.substr(at + 9, end - at - 9), false);
      at = end + 3;
    } else if (svg.compare(at, 2, "<!") == 0) {
      return true;  // a document type or an entity, which may load files
    } else if (svg.compare(at, 2, "<?") == 0) {
      end = lower.find("?>", at);
      const std::string_view declaration = std::string_view(lower).substr(at, end - at);
      if (at != 0 || declaration.size() < 6 || !declaration.starts_with("<?xml") ||
          kBlanks.find(declaration[5]) == npos)
        return true;
      const std::size_t encoding = declaration.find("encoding");
      if (encoding != npos && declaration.find("utf-8", encoding) == npos) return true;
      at = end == npos ? svg.size() : end + 2;
    } else if (svg.compare(at, 2, "</") == 0) {
      if (!open.empty()) {
        const bool style = open.back() == 's';
        open.pop_back();
        if (style && --styles == 0 && StyleRefersOutside(sheet)) return true;
      }
      end = svg.find('>', at);
      at = end == npos ? svg.size() : end + 1;
    } else {
      // A start tag: its name, then its attributes one by one. The parser
      // stops at the first thing out of place, and so does the reading here.
      const std::size_t nameEnd = lower.find_first_of(" \t\r\n/>\"'<=", at + 1);
      if (!NameStart(lower[at + 1]) || nameEnd == npos ||
          std::string_view(" \t\r\n/>").find(lower[nameEnd]) == npos)
        break;
      std::string_view name = std::string_view(lower).substr(at + 1, nameEnd - at - 1);
      if (const std::size_t colon = name.rfind(':'); colon != npos) name.remove_prefix(colon + 1);
      std::size_t p = nameEnd;
      bool closed = false, empty = false;
      for (;;) {
        const std::size_t q = lower.find_first_not_of(kBlanks, p);
        if (q == npos) break;
        if (lower[q] == '>' || lower.compare(q, 2, "/>") == 0) {
          empty = lower[q] == '/';
          p = q + (empty ? 2 : 1);
          closed = true;
          break;
        }
        if (q == p || !NameStart(lower[q])) break;  // an attribute after a blank
        const std::size_t attributeEnd = lower.find_first_of(" \t\r\n=/>\"'<", q);
        const std::string_view attribute = std::string_view(lower).substr(q, attributeEnd - q);
        p = lower.find_first_not_of(kBlanks, attributeEnd);
        if (p == npos || lower[p] != '=') break;
        p = lower.find_first_not_of(kBlanks, p + 1);
        if (p == npos || (svg[p] != '"' && svg[p] != '\'')) break;
        const std::size_t valueEnd = svg.find(svg[p], p + 1);
        if (valueEnd == npos) break;
        const std::string_view value = svg.substr(p + 1, valueEnd - p - 1);
        if (value.find('<') != npos) break;
        const bool reference = attribute == "href" || attribute.ends_with(":href");
        if (value.find('&') != npos || attribute == "xml:base" || (reference && !Own(value)) ||
            StyleRefersOutside(value))
          return true;
        p = valueEnd + 1;
      }
      if (!closed) break;
      if (!empty) {
        if (name == "style" && styles++ == 0) sheet.clear();
        open.push_back(name == "style" ? 's' : 'e');
      }
      at = p;
    }
  }
  return outside || (styles > 0 && StyleRefersOutside(sheet));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace i = md::imaging::detail;
  const std::string_view svg(reinterpret_cast<const char*>(data), size);
  if (i::SvgRefersOnlyToItself(svg)) md::test::fuzz::Check(!RefersOutside(svg));
  i::MeasureSvg(svg);  // measures whatever it is given, within its bounds
  static std::vector<std::uint64_t> room(std::size_t{1} << 17);
  auto* list = reinterpret_cast<std::uint8_t*>(room.data());
  const i::ListAnswer a = i::WriteDrawList(svg, {16, 16, 0, 0, std::size_t{64} << 20}, list, room.size() * 8);
  // A list written is one the library's reader takes.
  std::string why;
  if (a.vectors == i::VectorsAnswer::List)
    md::test::fuzz::Check(a.bytes <= room.size() * 8 &&
                          md::imaging::ReadDrawList(list, a.bytes, &why) != nullptr);
  return 0;
}
