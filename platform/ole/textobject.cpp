// The embedded text document: plain UTF-8 text kept in the stream
// "Contents", drawn line by line on a white page with the text engine.
#include <algorithm>
#include <cmath>

#include "platform/ole/objectclass.h"
#include "platform/ole/objectclassmaker.h"
#include "platform/win/wingdi.h"

namespace md::ole {
namespace {

constexpr const char* kStream = "Contents";
constexpr std::size_t kMaxTextBytes = 1u << 20;
constexpr int kMaxLines = 1000;
// Layout in ems: a narrow character is half an em wide, a wide (CJK) one a
// whole em; lines are 1.25 em apart; a quarter em of margin on each side.
constexpr double kEmHimetric = 500.0;
constexpr double kLineEms = 1.25;
constexpr double kMarginEms = 0.25;

// Strict UTF-8 check (no overlong forms, no surrogates, at most U+10FFFF).
bool ValidUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int n = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (int k = 1; k <= n; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    static const std::uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(line);
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  if (lines.size() > static_cast<std::size_t>(kMaxLines)) lines.resize(kMaxLines);
  return lines;
}

// Width of a line in ems.
double LineEms(const std::string& line) {
  double w = 0;
  for (std::size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    const int n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
    w += c < 0xE1 ? 0.5 : 1.0;  // three- and four-byte forms from U+1000 on are wide
    i += n;
  }
  return w;
}

std::vector<std::uint8_t> DefaultText() {
  const std::string text = "文本文档";
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

class TextDocumentObject final : public EmbeddedObject {
 public:
  const ObjectClass& Class() const override { return TextDocumentClass(); }

  bool SetContent(const std::vector<std::uint8_t>& bytes, std::string* pError) {
    return SetText(std::string(bytes.begin(), bytes.end()), pError);
  }

  bool SetText(std::string text, std::string* pError) {
    if (text.size() > kMaxTextBytes || !ValidUtf8(text)) {
      *pError = "not UTF-8 text of at most 1 MiB";
      return false;
    }
    text_ = std::move(text);
    lines_ = SplitLines(text_);
    return true;
  }

  bool Load(const Storage& storage, std::string* pError) override {
    auto it = storage.streams.find(kStream);
    if (it == storage.streams.end()) {
      *pError = "no text stream";
      return false;
    }
    return SetText(std::string(it->second.begin(), it->second.end()), pError);
  }

  void Save(Storage* pStorage) const override {
    pStorage->clsid = Class().clsid;
    pStorage->streams[kStream].assign(text_.begin(), text_.end());
  }

  double WidthEms() const {
    double w = 0;
    for (const std::string& l : lines_) w = std::max(w, LineEms(l));
    return std::max(w, 1.0) + 2 * kMarginEms;
  }
  double HeightEms() const { return lines_.size() * kLineEms + 2 * kMarginEms; }

  bool GetExtent(SIZE* pSize) const override {
    pSize->cx = static_cast<LONG>(std::lround(WidthEms() * kEmHimetric));
    pSize->cy = static_cast<LONG>(std::lround(HeightEms() * kEmHimetric));
    return true;
  }

  bool Draw(HDC hdc, const RECT& bounds) const override {
    const int w = std::abs(bounds.right - bounds.left), h = std::abs(bounds.bottom - bounds.top);
    if (w < 1 || h < 1) return false;
    // Down the page is toward bounds.bottom, whichever way the mapping runs.
    const int down = bounds.bottom >= bounds.top ? 1 : -1;
    const int left = std::min(bounds.left, bounds.right);
    const RECT page{left, bounds.top, left + w, bounds.bottom};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(hdc, &page, white);
    DeleteObject(white);
    // One em in logical units: the text fills the rectangle without spilling.
    const double em = std::min(w / WidthEms(), h / HeightEms());
    const int fontHeight = std::max(1, static_cast<int>(em));
    HFONT font =
        CreateFont(-fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Noto Sans CJK SC");
    HGDIOBJ old = SelectObject(hdc, font);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, RGB(0, 0, 0));
    const UINT oldAlign = SetTextAlign(hdc, TA_LEFT | TA_TOP);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string& l = lines_[i];
      const int x = left + static_cast<int>(kMarginEms * em);
      const int y = bounds.top + down * static_cast<int>((kMarginEms + i * kLineEms) * em);
      if (!l.empty()) TextOut(hdc, x, y, l.c_str(), static_cast<int>(l.size()));
    }
    SetTextAlign(hdc, oldAlign);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, old);
    DeleteObject(font);
    return true;
  }

 private:
  std::string text_;
  std::vector<std::string> lines_;
};

}  // namespace

const ObjectClass& TextDocumentClass() {
  static const ObjectClass c = detail::MakeStreamObjectClass<TextDocumentObject>(
      {0x6d, 0x64, 0x6f, 0x6c, 0x65, 0x74, 0x78, 0x74, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02},
      "Mapdeck.TextDocument", "文本文档", "*.txt", kMaxTextBytes, &DefaultText);
  return c;
}

}  // namespace md::ole
