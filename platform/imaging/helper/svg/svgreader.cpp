#include "platform/imaging/helper/svg/svgreader.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace md::imaging::detail::svg {
namespace {

constexpr auto npos = std::string_view::npos;

// The value of a base64 character; -1 for another character.
int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool Reader::Next(Piece* piece) {
  if (!error_.empty() || at_ >= svg_.size()) return false;
  const std::size_t start = at_;
  piece->attributes.clear();
  piece->name = {};
  piece->empty = false;
  const auto closed = [&](Piece::Kind kind, std::size_t end, std::size_t length) {
    if (end == npos) {
      error_ = "a tag is not closed";
      return false;
    }
    at_ = end + length;
    piece->kind = kind;
    piece->text = svg_.substr(start, at_ - start);
    return true;
  };
  if (svg_[at_] != '<') return closed(Piece::Kind::Text, std::min(svg_.find('<', at_), svg_.size()), 0);
  if (svg_.compare(at_, 2, "<?") == 0) return closed(Piece::Kind::Instruction, svg_.find("?>", at_ + 2), 2);
  if (svg_.compare(at_, 2, "<!") == 0) return closed(Piece::Kind::Markup, svg_.find('>', at_ + 2), 1);
  const bool end = svg_.compare(at_, 2, "</") == 0;
  const std::size_t nameStart = at_ + (end ? 2 : 1);
  const std::size_t nameEnd = svg_.find_first_of(" \t\r\n/><", nameStart);
  if (nameEnd == npos) return closed(Piece::Kind::Start, npos, 0);
  piece->name = svg_.substr(nameStart, nameEnd - nameStart);
  if (end) return closed(Piece::Kind::End, svg_.find('>', nameEnd), 1);
  // The attributes, up to the end of the tag.
  for (std::size_t at = nameEnd;;) {
    at = svg_.find_first_not_of(kBlanks, at);
    if (at != npos && (svg_[at] == '>' || svg_.compare(at, 2, "/>") == 0)) {
      piece->empty = svg_[at] == '/';
      return closed(Piece::Kind::Start, at, piece->empty ? 2 : 1);
    }
    const std::size_t nameEnd2 = at == npos ? npos : svg_.find_first_of(" \t\r\n=/><", at);
    if (nameEnd2 == npos || nameEnd2 == at) return closed(Piece::Kind::Start, npos, 0);
    const std::string_view name = svg_.substr(at, nameEnd2 - at);
    std::size_t value = svg_.find_first_not_of(kBlanks, nameEnd2);
    if (value != npos && svg_[value] == '=') value = svg_.find_first_not_of(kBlanks, value + 1);
    const std::size_t valueEnd = value == npos || (svg_[value] != '"' && svg_[value] != '\'')
                                     ? npos
                                     : svg_.find(svg_[value], value + 1);
    if (valueEnd == npos) {
      error_ = "its <" + std::string(piece->name) + "> holds the attribute " + std::string(name) +
               " without a value";
      return false;
    }
    piece->attributes.push_back({name, svg_.substr(value + 1, valueEnd - value - 1)});
    at = valueEnd + 1;
  }
}

bool PaintedByReference(std::string_view element) {
  for (const std::string_view name :
       {"defs", "symbol", "clipPath", "mask", "pattern", "linearGradient", "radialGradient", "filter"})
    if (element == name) return true;
  return false;
}

std::string_view AttributeOf(const Piece& tag, std::string_view name) {
  for (const Attribute& a : tag.attributes)
    if (a.name == name) return a.value;
  return {};
}

bool Numbers::Next(double* v) {
  at_ = std::min(text_.find_first_not_of(" \t\r\n,", at_), text_.size());
  std::size_t start = at_;
  if (start < text_.size() && text_[start] == '+') ++start;
  const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + text_.size(), *v);
  if (error != std::errc() || !std::isfinite(*v)) return false;
  at_ = static_cast<std::size_t>(end - text_.data());
  return true;
}

double Number(std::string_view text, double otherwise) {
  double v = 0;
  return Numbers(text).Next(&v) ? v : otherwise;
}

void ReadPath(std::string_view d, PathSink* sink) {
  Numbers numbers(d);
  char command = 0;
  double x = 0, y = 0, startX = 0, startY = 0, controlX = 0, controlY = 0;
  bool started = false;
  for (;;) {
    const std::size_t at = std::min(d.find_first_not_of(" \t\r\n,", numbers.At()), d.size());
    if (at == d.size()) break;
    const char c = d[at];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      command = c;
      numbers.SkipTo(at + 1);
      if ((c | 0x20) == 'z') {
        if (started) sink->Close();
        x = startX, y = startY;
        controlX = x, controlY = y;
        continue;
      }
    }
    const bool relative = command >= 'a';
    const double ox = relative ? x : 0, oy = relative ? y : 0;
    double v[7];
    const int arity = command == 0 ? -1 : PathArity(command);
    if (arity <= 0) return;  // numbers before a command, or an unknown command
    for (int k = 0; k < arity; ++k)
      if (!numbers.Next(&v[k])) return;
    const auto curve = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
      if (!started) sink->Move(x, y);
      sink->Curve(x1, y1, x2, y2, x3, y3);
      controlX = x2, controlY = y2;
      x = x3, y = y3;
      started = true;
    };
    const auto line = [&](double tx, double ty) {
      if (!started) sink->Move(x, y);
      sink->Line(tx, ty);
      x = controlX = tx, y = controlY = ty;
      started = true;
    };
    switch (command | 0x20) {
      case 'm':
        x = startX = controlX = ox + v[0], y = startY = controlY = oy + v[1];
        sink->Move(x, y);
        started = true;
        command = relative ? 'l' : 'L';  // the pairs after a move are lines
        break;
      case 'l':
        line(ox + v[0], oy + v[1]);
        break;
      case 'h':
        line(ox + v[0], y);
        break;
      case 'v':
        line(x, oy + v[0]);
        break;
      case 'c':
        curve(ox + v[0], oy + v[1], ox + v[2], oy + v[3], ox + v[4], oy + v[5]);
        break;
      case 's':
        curve(2 * x - controlX, 2 * y - controlY, ox + v[0], oy + v[1], ox + v[2], oy + v[3]);
        break;
      case 'q':
      case 't': {
        const double qx = (command | 0x20) == 'q' ? ox + v[0] : 2 * x - controlX;
        const double qy = (command | 0x20) == 'q' ? oy + v[1] : 2 * y - controlY;
        const double ex = (command | 0x20) == 'q' ? ox + v[2] : ox + v[0];
        const double ey = (command | 0x20) == 'q' ? oy + v[3] : oy + v[1];
        curve(x + 2.0 / 3 * (qx - x), y + 2.0 / 3 * (qy - y), ex + 2.0 / 3 * (qx - ex),
              ey + 2.0 / 3 * (qy - ey), ex, ey);
        controlX = qx, controlY = qy;
        break;
      }
      case 'a':
        line(ox + v[5], oy + v[6]);
        break;
    }
  }
}

int PathArity(char command) {
  switch (command | 0x20) {
    case 'z':
      return 0;
    case 'h':
    case 'v':
      return 1;
    case 'm':
    case 'l':
    case 't':
      return 2;
    case 's':
    case 'q':
      return 4;
    case 'c':
      return 6;
    case 'a':
      return 7;
    default:
      return -1;
  }
}

std::vector<std::uint8_t> Base64Bytes(std::string_view data, std::size_t count, bool blanks,
                                      std::size_t* stop) {
  std::vector<std::uint8_t> bytes;
  std::uint32_t bits = 0;
  int held = 0;
  std::size_t at = 0;
  for (; at < data.size() && bytes.size() < count; ++at) {
    const int v = Base64Value(data[at]);
    if (v < 0 && blanks && kBlanks.find(data[at]) != npos) continue;
    if (v < 0) break;
    bits = (bits << 6) | static_cast<std::uint32_t>(v);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes.push_back(static_cast<std::uint8_t>(bits >> held));
    }
  }
  if (stop != nullptr) *stop = at;
  return bytes;
}

}  // namespace md::imaging::detail::svg
