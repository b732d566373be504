// The one reader of the SVG document cairo writes of a metafile's drawing in
// the helper: its tags taken apart into names and attribute values, and its
// style attributes into declarations. The check (svgcheck.h), the measure
// (svgmeasure.h) and the draw list's writer (listwriter.h) all read a
// document through it, so that they see the same elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace md::imaging::detail::svg {

constexpr std::string_view kBlanks = " \t\r\n";
constexpr std::string_view kPngData = "data:image/png;base64,";

struct Attribute {
  std::string_view name, value;  // the value without its quotes
};

// One piece of a document.
struct Piece {
  enum class Kind {
    Text,         // what stands between tags
    Start,        // a start tag, or an empty element's tag ("/>")
    End,          // an end tag
    Markup,       // "<!...>": a comment, a CDATA section, a declaration
    Instruction,  // "<?...?>"
  };
  Kind kind = Kind::Text;
  std::string_view name;              // Start, End
  bool empty = false;                 // Start: the element closes in its tag
  std::vector<Attribute> attributes;  // Start
  std::string_view text;              // the piece as written
};

// The pieces of a document in order. A tag that does not close, or an
// attribute without a quoted value, ends the reading with an error.
class Reader {
 public:
  explicit Reader(std::string_view svg) : svg_(svg) {}
  // The next piece into *piece; false at the end of the document or at an
  // error.
  bool Next(Piece* piece);
  // Why the reading ended early ("" when it did not): "a tag is not closed",
  // or "its <g> holds the attribute x without a value".
  const std::string& error() const { return error_; }

 private:
  std::string_view svg_;
  std::size_t at_ = 0;
  std::string error_;
};

// The value of the attribute of that name; "" when there is none.
std::string_view AttributeOf(const Piece& tag, std::string_view name);

// Calls each(property, value) for each declaration of a style attribute
// ("property: value; ..."), the property without blanks around it.
template <typename Each>
void ForEachDeclaration(std::string_view style, const Each& each) {
  for (std::size_t at = 0; at < style.size();) {
    const std::size_t end = std::min(style.find(';', at), style.size());
    std::string_view declaration = style.substr(at, end - at);
    at = end + 1;
    const std::size_t colon = declaration.find(':');
    std::string_view property = declaration.substr(0, colon);
    property.remove_prefix(std::min(property.find_first_not_of(kBlanks), property.size()));
    property = property.substr(0, property.find_last_not_of(kBlanks) + 1);
    if (property.empty() && colon == std::string_view::npos) continue;
    each(property, colon == std::string_view::npos ? std::string_view() : declaration.substr(colon + 1));
  }
}

// Whether the element is painted only through a reference, never where it
// stands (a definition, a clip path, a mask, a pattern, a gradient, ...).
bool PaintedByReference(std::string_view element);

// The numbers of a list ("1 2,3e1 -4"), each read as far as it is a number.
class Numbers {
 public:
  explicit Numbers(std::string_view text) : text_(text) {}
  // The next number (finite), or false at the end or where none stands.
  bool Next(double* v);
  std::size_t At() const { return at_; }
  void SkipTo(std::size_t at) { at_ = at; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// The first number of the text; `otherwise` when it starts with none.
double Number(std::string_view text, double otherwise = 0);

// What a path's data draws, in absolute coordinates.
class PathSink {
 public:
  virtual ~PathSink() = default;
  virtual void Move(double x, double y) = 0;
  virtual void Line(double x, double y) = 0;
  virtual void Curve(double x1, double y1, double x2, double y2, double x3, double y3) = 0;
  virtual void Close() = 0;
};

// Reads the path data into the sink, up to its end or to what is no
// command or number: quadratic curves as cubic ones, an arc as a line to its
// end (cairo writes neither).
void ReadPath(std::string_view d, PathSink* sink);

// The numbers one segment of a path command takes, in either case (0 for a
// close); -1 for a character that is no command.
int PathArity(char command);

// The bytes of base64 data, at most `count`, up to its first character that
// is not base64 (blanks skipped when `blanks`); *stop, when given, is where
// it stopped.
std::vector<std::uint8_t> Base64Bytes(std::string_view data, std::size_t count, bool blanks,
                                      std::size_t* stop = nullptr);

}  // namespace md::imaging::detail::svg
