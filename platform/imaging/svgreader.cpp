#include "platform/imaging/svgreader.h"

namespace md::imaging::svg {
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

std::string_view AttributeOf(const Piece& tag, std::string_view name) {
  for (const Attribute& a : tag.attributes)
    if (a.name == name) return a.value;
  return {};
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

}  // namespace md::imaging::svg
