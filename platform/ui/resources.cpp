// Reading the plain-text resource files and looking templates up.
#include "platform/ui/resources.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/ui/uidefs.h"

namespace md::ui {
namespace {

constexpr size_t kMaxTextBytes = 4096;
constexpr size_t kMaxControls = 1000;
constexpr size_t kMaxItems = 10000;

struct Token {
  std::string text;
  bool quoted = false;
};

bool ValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0)) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0xC0) != 0x80) return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

// Splits one line into words and quoted strings; false on a bad string.
bool Tokenize(const std::string& line, std::vector<Token>* out, std::string* error) {
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    Token t;
    if (c == '"') {
      t.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\') {
          if (i >= line.size()) break;
          char e = line[i++];
          switch (e) {
            case 'n':
              t.text.push_back('\n');
              break;
            case 't':
              t.text.push_back('\t');
              break;
            case 'r':
              t.text.push_back('\r');
              break;
            case '\\':
              t.text.push_back('\\');
              break;
            case '"':
              t.text.push_back('"');
              break;
            default:
              *error = std::string("unknown escape \\") + e;
              return false;
          }
        } else {
          t.text.push_back(d);
        }
        if (t.text.size() > kMaxTextBytes) {
          *error = "string longer than 4096 bytes";
          return false;
        }
      }
      if (!closed) {
        *error = "unterminated string";
        return false;
      }
      if (!ValidUtf8(t.text)) {
        *error = "string is not UTF-8";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"')
        t.text.push_back(line[i++]);
    }
    out->push_back(std::move(t));
  }
  return true;
}

bool ParseNumber(const Token& t, long long lo, long long hi, long long* out) {
  if (t.quoted || t.text.empty()) return false;
  const char* s = t.text.c_str();
  char* end = nullptr;
  long long v = (t.text.size() > 2 && t.text[0] == '0' && (t.text[1] == 'x' || t.text[1] == 'X'))
                    ? std::strtoll(s + 2, &end, 16)
                    : std::strtoll(s, &end, 10);
  if (!end || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

// Control kinds of the format: class, kind and default style.
struct KindInfo {
  const char* keyword;
  ControlKind kind;
  const char* className;
  DWORD style;
};

const KindInfo kKinds[] = {
    {"LTEXT", ControlKind::Static, "Static", SS_LEFT},
    {"RTEXT", ControlKind::Static, "Static", SS_RIGHT},
    {"CTEXT", ControlKind::Static, "Static", SS_CENTER},
    {"FRAME", ControlKind::Static, "Static", SS_BLACKFRAME},
    {"GROUPBOX", ControlKind::Button, "Button", BS_GROUPBOX},
    {"PUSHBUTTON", ControlKind::Button, "Button", BS_PUSHBUTTON | WS_TABSTOP},
    {"DEFPUSHBUTTON", ControlKind::Button, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP},
    {"CHECKBOX", ControlKind::Button, "Button", BS_CHECKBOX | WS_TABSTOP},
    {"AUTOCHECKBOX", ControlKind::Button, "Button", BS_AUTOCHECKBOX | WS_TABSTOP},
    {"STATE3", ControlKind::Button, "Button", BS_3STATE | WS_TABSTOP},
    {"AUTO3STATE", ControlKind::Button, "Button", BS_AUTO3STATE | WS_TABSTOP},
    {"RADIOBUTTON", ControlKind::Button, "Button", BS_RADIOBUTTON},
    {"AUTORADIOBUTTON", ControlKind::Button, "Button", BS_AUTORADIOBUTTON},
    {"EDITTEXT", ControlKind::Edit, "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP},
    {"COMBOBOX", ControlKind::ComboBox, "ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL},
    {"LISTBOX", ControlKind::ListBox, "ListBox", WS_BORDER | WS_TABSTOP | WS_VSCROLL},
    {"LISTVIEW", ControlKind::ListView, "SysListView32", LVS_ICON | WS_BORDER | WS_TABSTOP},
    {"SPIN", ControlKind::Spin, "msctls_updown32", 0},
};

enum KindBit : unsigned {
  kStatic = 1,
  kButton = 2,
  kEdit = 4,
  kCombo = 8,
  kList = 16,
  kView = 32,
  kSpin = 64,
  kAny = 127
};

unsigned Bit(ControlKind k) {
  switch (k) {
    case ControlKind::Static:
      return kStatic;
    case ControlKind::Button:
      return kButton;
    case ControlKind::Edit:
      return kEdit;
    case ControlKind::ComboBox:
      return kCombo;
    case ControlKind::ListBox:
      return kList;
    case ControlKind::ListView:
      return kView;
    case ControlKind::Spin:
      return kSpin;
  }
  return 0;
}

struct FlagInfo {
  const char* name;
  unsigned kinds;
  DWORD set;
  DWORD clear;  // bits of the same field that the flag replaces
};

const FlagInfo kFlags[] = {
    {"GROUP", kAny, WS_GROUP, 0},
    {"TABSTOP", kAny, WS_TABSTOP, 0},
    {"NOTABSTOP", kAny, 0, WS_TABSTOP},
    {"DISABLED", kAny, WS_DISABLED, 0},
    {"HIDDEN", kAny, 0, WS_VISIBLE},
    {"BORDER", kAny, WS_BORDER, 0},
    {"NOBORDER", kAny, 0, WS_BORDER},
    {"VSCROLL", kAny, WS_VSCROLL, 0},
    {"HSCROLL", kAny, WS_HSCROLL, 0},
    {"NUMBER", kEdit, ES_NUMBER, 0},
    {"MULTILINE", kEdit, ES_MULTILINE, 0},
    {"READONLY", kEdit, ES_READONLY, 0},
    {"AUTOHSCROLL", kEdit | kCombo, ES_AUTOHSCROLL, 0},
    {"AUTOVSCROLL", kEdit, ES_AUTOVSCROLL, 0},
    {"WANTRETURN", kEdit, ES_WANTRETURN, 0},
    {"PASSWORD", kEdit, ES_PASSWORD, 0},
    {"SORT", kCombo | kList, 0, 0},  // resolved per kind below
    {"DROPDOWN", kCombo, CBS_DROPDOWN, 0x3},
    {"DROPDOWNLIST", kCombo, CBS_DROPDOWNLIST, 0x3},
    {"SIMPLE", kCombo, CBS_SIMPLE, 0x3},
    {"NOTIFY", kList | kStatic | kButton, 0, 0},  // resolved per kind below
    {"EXTENDEDSEL", kList, LBS_EXTENDEDSEL, 0},
    {"MULTIPLESEL", kList, LBS_MULTIPLESEL, 0},
    {"ICONVIEW", kView, LVS_ICON, LVS_TYPEMASK},
    {"REPORT", kView, LVS_REPORT, LVS_TYPEMASK},
    {"LIST", kView, LVS_LIST, LVS_TYPEMASK},
    {"SMALLICON", kView, LVS_SMALLICON, LVS_TYPEMASK},
    {"SINGLESEL", kView, LVS_SINGLESEL, 0},
    {"SHOWSELALWAYS", kView, LVS_SHOWSELALWAYS, 0},
    {"AUTOARRANGE", kView, LVS_AUTOARRANGE, 0},
    {"SETBUDDYINT", kSpin, UDS_SETBUDDYINT, 0},
    {"ALIGNRIGHT", kSpin, UDS_ALIGNRIGHT, 0},
    {"ALIGNLEFT", kSpin, UDS_ALIGNLEFT, 0},
    {"AUTOBUDDY", kSpin, UDS_AUTOBUDDY, 0},
    {"ARROWKEYS", kSpin, UDS_ARROWKEYS, 0},
    {"NOTHOUSANDS", kSpin, UDS_NOTHOUSANDS, 0},
    {"WRAP", kSpin, UDS_WRAP, 0},
    {"HORZ", kSpin, UDS_HORZ, 0},
    {"BLACKFRAME", kStatic, SS_BLACKFRAME, SS_TYPEMASK},
    {"GRAYFRAME", kStatic, SS_GRAYFRAME, SS_TYPEMASK},
    {"ETCHEDFRAME", kStatic, SS_ETCHEDFRAME, SS_TYPEMASK},
    {"SUNKEN", kStatic, SS_SUNKEN, 0},
    {"LEFTTEXT", kButton, BS_LEFTTEXT, 0},
    {"RIGHT", kEdit | kStatic, 0, 0},   // resolved per kind below
    {"CENTER", kEdit | kStatic, 0, 0},  // resolved per kind below
};

bool ApplyControlFlag(const std::string& word, ControlTemplate* c, std::string* error) {
  long long raw = 0;
  if (ParseNumber(Token{word, false}, 0, 0xFFFFFFFFLL, &raw) && word.size() > 2 && word[1] == 'x') {
    c->style |= static_cast<DWORD>(raw);
    return true;
  }
  if (word == "CLIENTEDGE") {
    c->exStyle |= WS_EX_CLIENTEDGE;
    return true;
  }
  for (const FlagInfo& f : kFlags) {
    if (word != f.name) continue;
    if (!(f.kinds & Bit(c->kind))) {
      *error = "flag " + word + " does not apply to this control";
      return false;
    }
    if (word == "SORT") {
      c->style |= c->kind == ControlKind::ListBox ? LBS_SORT : CBS_SORT;
    } else if (word == "NOTIFY") {
      c->style |= c->kind == ControlKind::ListBox  ? LBS_NOTIFY
                  : c->kind == ControlKind::Static ? SS_NOTIFY
                                                   : BS_NOTIFY;
    } else if (word == "RIGHT" || word == "CENTER") {
      bool right = word == "RIGHT";
      if (c->kind == ControlKind::Edit)
        c->style = (c->style & ~0x3u) | (right ? ES_RIGHT : ES_CENTER);
      else
        c->style = (c->style & ~SS_TYPEMASK) | (right ? SS_RIGHT : SS_CENTER);
    } else {
      c->style = (c->style & ~f.clear) | f.set;
    }
    return true;
  }
  *error = "unknown flag " + word;
  return false;
}

bool ApplyDialogFlag(const std::string& word, DialogTemplate* d, std::string* error) {
  static const std::pair<const char*, DWORD> flags[] = {
      {"CHILD", WS_CHILD},       {"POPUP", WS_POPUP},           {"CAPTION", WS_CAPTION},
      {"SYSMENU", WS_SYSMENU},   {"MODALFRAME", DS_MODALFRAME}, {"CONTROL", DS_CONTROL},
      {"DISABLED", WS_DISABLED}, {"VISIBLE", WS_VISIBLE},
  };
  for (const auto& [name, bits] : flags)
    if (word == name) {
      d->style |= bits;
      return true;
    }
  long long raw = 0;
  if (word.size() > 2 && word[1] == 'x' && ParseNumber(Token{word, false}, 0, 0xFFFFFFFFLL, &raw)) {
    d->style |= static_cast<DWORD>(raw);
    return true;
  }
  *error = "unknown dialog style " + word;
  return false;
}

// ---- the registry -------------------------------------------------------------------

struct Registry {
  std::mutex mutex;
  std::vector<std::pair<std::string, std::string>> texts;
  size_t parsed = 0;
  std::map<UINT, DialogTemplate> dialogs;
  std::map<UINT, std::string> strings;
  std::vector<std::string> errors;

  void ParsePending() {
    while (parsed < texts.size()) {
      const auto& [name, text] = texts[parsed++];
      ParsedResources out;
      std::vector<std::string> errs;
      ParseResourceText(name, text, &out, &errs);
      for (std::string& e : errs) errors.push_back(std::move(e));
      for (DialogTemplate& d : out.dialogs) {
        if (dialogs.count(d.id)) {
          errors.push_back(name + ": dialog " + std::to_string(d.id) + " is already defined in " +
                           dialogs[d.id].source);
          continue;
        }
        UINT id = d.id;
        dialogs.emplace(id, std::move(d));
      }
      for (auto& [id, s] : out.strings) {
        if (strings.count(id)) {
          errors.push_back(name + ": string " + std::to_string(id) + " is already defined");
          continue;
        }
        strings.emplace(id, std::move(s));
      }
    }
  }
};

Registry& Reg() {
  static Registry r;
  return r;
}

}  // namespace

bool ParseResourceText(const std::string& name, const std::string& text, ParsedResources* out,
                       std::vector<std::string>* errors) {
  enum class Block { None, Dialog, Strings } block = Block::None;
  DialogTemplate dialog;
  size_t errorsBefore = errors->size();
  auto fail = [&](int line, const std::string& message) {
    errors->push_back(name + ":" + std::to_string(line) + ": " + message);
  };
  int lineNo = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineNo;
    std::vector<Token> tok;
    std::string error;
    if (!Tokenize(line, &tok, &error)) {
      fail(lineNo, error);
      continue;
    }
    if (tok.empty()) {
      if (end == text.size()) break;
      continue;
    }
    const std::string& key = tok[0].quoted ? std::string() : tok[0].text;
    if (block == Block::None) {
      if (key == "DIALOG") {
        long long id = 0, cx = 0, cy = 0;
        if (tok.size() != 5 || !ParseNumber(tok[1], 0, 65535, &id) || !ParseNumber(tok[2], 1, 32767, &cx) ||
            !ParseNumber(tok[3], 1, 32767, &cy) || !tok[4].quoted) {
          fail(lineNo, "expected: DIALOG id width height \"caption\"");
          block = Block::Dialog;  // skip to its END
          dialog = DialogTemplate{};
          dialog.id = 0;
          dialog.source = "";
          continue;
        }
        dialog = DialogTemplate{};
        dialog.id = static_cast<UINT>(id);
        dialog.cx = static_cast<int>(cx);
        dialog.cy = static_cast<int>(cy);
        dialog.caption = tok[4].text;
        dialog.source = name;
        block = Block::Dialog;
      } else if (key == "STRINGTABLE" && tok.size() == 1) {
        block = Block::Strings;
      } else {
        fail(lineNo, "expected DIALOG or STRINGTABLE");
      }
      continue;
    }
    if (key == "END" && tok.size() == 1) {
      if (block == Block::Dialog && !dialog.source.empty()) out->dialogs.push_back(std::move(dialog));
      dialog = DialogTemplate{};
      block = Block::None;
      continue;
    }
    if (block == Block::Strings) {
      long long id = 0;
      if (tok.size() != 2 || !ParseNumber(tok[0], 0, 65535, &id) || !tok[1].quoted) {
        fail(lineNo, "expected: id \"text\"");
        continue;
      }
      out->strings.emplace_back(static_cast<UINT>(id), tok[1].text);
      continue;
    }
    // Inside a dialog.
    if (key == "FONT") {
      long long pt = 0;
      if (tok.size() != 3 || !ParseNumber(tok[1], 1, 72, &pt) || !tok[2].quoted || tok[2].text.empty()) {
        fail(lineNo, "expected: FONT points \"face\"");
        continue;
      }
      dialog.fontPoints = static_cast<int>(pt);
      dialog.fontFace = tok[2].text;
      continue;
    }
    if (key == "STYLE") {
      for (size_t i = 1; i < tok.size(); ++i)
        if (!ApplyDialogFlag(tok[i].text, &dialog, &error)) fail(lineNo, error);
      continue;
    }
    if (key == "ITEM") {
      if (tok.size() != 2 || !tok[1].quoted) {
        fail(lineNo, "expected: ITEM \"text\"");
        continue;
      }
      if (dialog.controls.empty() || (dialog.controls.back().kind != ControlKind::ComboBox &&
                                      dialog.controls.back().kind != ControlKind::ListBox)) {
        fail(lineNo, "ITEM must follow a COMBOBOX or LISTBOX");
        continue;
      }
      if (dialog.controls.back().items.size() >= kMaxItems) {
        fail(lineNo, "too many items");
        continue;
      }
      dialog.controls.back().items.push_back(tok[1].text);
      continue;
    }
    const KindInfo* kind = nullptr;
    for (const KindInfo& k : kKinds)
      if (key == k.keyword) kind = &k;
    if (!kind) {
      fail(lineNo, "unknown keyword " + (tok[0].quoted ? "\"" + tok[0].text + "\"" : key));
      continue;
    }
    // The text is optional: KIND id ["text"] x y width height [flags].
    long long id = 0, x = 0, y = 0, cx = 0, cy = 0;
    size_t at = tok.size() > 2 && tok[2].quoted ? 3 : 2;
    if (tok.size() < at + 4 || !ParseNumber(tok[1], -1, 65535, &id) ||
        !ParseNumber(tok[at], -32768, 32767, &x) || !ParseNumber(tok[at + 1], -32768, 32767, &y) ||
        !ParseNumber(tok[at + 2], 0, 32767, &cx) || !ParseNumber(tok[at + 3], 0, 32767, &cy)) {
      fail(lineNo, std::string("expected: ") + kind->keyword + " id [\"text\"] x y width height [flags]");
      continue;
    }
    if (dialog.controls.size() >= kMaxControls) {
      fail(lineNo, "too many controls");
      continue;
    }
    ControlTemplate c;
    c.id = static_cast<int>(id);
    c.kind = kind->kind;
    c.className = kind->className;
    c.text = at == 3 ? tok[2].text : std::string();
    c.style = kind->style | WS_CHILD | WS_VISIBLE;
    c.x = static_cast<int>(x);
    c.y = static_cast<int>(y);
    c.cx = static_cast<int>(cx);
    c.cy = static_cast<int>(cy);
    c.line = lineNo;
    bool ok = true;
    for (size_t i = at + 4; i < tok.size(); ++i) {
      if (tok[i].quoted || !ApplyControlFlag(tok[i].text, &c, &error)) {
        fail(lineNo, tok[i].quoted ? "unexpected string" : error);
        ok = false;
      }
    }
    if (ok && c.id != -1)
      for (const ControlTemplate& other : dialog.controls)
        if (other.id == c.id) {
          fail(lineNo, "control " + std::to_string(c.id) + " is already in this dialog");
          ok = false;
        }
    if (ok) dialog.controls.push_back(std::move(c));
  }
  if (block != Block::None) fail(lineNo, "missing END");
  return errors->size() == errorsBefore;
}

void RegisterResourceText(const char* name, const char* text, std::size_t size) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.texts.emplace_back(name ? name : "?", std::string(text ? text : "", text ? size : 0));
}

const DialogTemplate* FindDialogTemplate(UINT id) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.ParsePending();
  auto it = r.dialogs.find(id);
  return it == r.dialogs.end() ? nullptr : &it->second;
}

const std::string* FindResourceString(UINT id) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.ParsePending();
  auto it = r.strings.find(id);
  return it == r.strings.end() ? nullptr : &it->second;
}

std::vector<std::string> ResourceErrors() {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.ParsePending();
  return r.errors;
}

std::vector<UINT> DialogTemplateIds() {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.ParsePending();
  std::vector<UINT> ids;
  for (const auto& [id, d] : r.dialogs) ids.push_back(id);
  return ids;
}

SIZE DialogBaseUnits(const DialogTemplate& t) {
  LONG h = static_cast<LONG>(std::lround(t.fontPoints * 96.0 / 72.0));
  if (h < 1) h = 1;
  return SIZE{std::max<LONG>(1, (h + 1) / 2), h};
}

RECT DialogUnitsToPixels(const DialogTemplate& t, int x, int y, int cx, int cy) {
  SIZE b = DialogBaseUnits(t);
  auto mx = [&](int v) { return static_cast<LONG>(std::lround(v * static_cast<double>(b.cx) / 4.0)); };
  auto my = [&](int v) { return static_cast<LONG>(std::lround(v * static_cast<double>(b.cy) / 8.0)); };
  LONG px = mx(x), py = my(y);
  return RECT{px, py, px + mx(cx), py + my(cy)};
}

}  // namespace md::ui
