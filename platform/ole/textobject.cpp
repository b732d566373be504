// The embedded text document: plain UTF-8 text kept in the stream
// "Contents", drawn line by line on a white page with the text engine.
#include <algorithm>
#include <cmath>

#include "platform/ole/objectclass.h"
#include "platform/ole/objectclassmaker.h"
#include "platform/ole/record.h"
#include "platform/ole/textstyle.h"
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
    if (text.size() > kMaxTextBytes || !detail::IsValidUtf8(text)) {
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

  std::vector<std::uint8_t> Content() const override { return {text_.begin(), text_.end()}; }

  double WidthEms() const {
    double w = 0;
    for (const std::string& l : lines_) w = std::max(w, detail::TextEms(l));
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
    const detail::TextStyleScope style(hdc, std::max(1, static_cast<int>(em)), TA_LEFT | TA_TOP);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string& l = lines_[i];
      const int x = left + static_cast<int>(kMarginEms * em);
      const int y = bounds.top + down * static_cast<int>((kMarginEms + i * kLineEms) * em);
      if (!l.empty()) TextOut(hdc, x, y, l.c_str(), static_cast<int>(l.size()));
    }
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
      "Mapdeck.TextDocument", "文本文档", "*.txt", kStream, kMaxTextBytes, &DefaultText);
  return c;
}

}  // namespace md::ole
