// Number edit filters and spin set-up for the library's property pages.
#include <strings.h>
#include <string>
#include <vector>

#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

namespace {

bool IsLiveControl(CWnd* pWnd, const char* szClass, const char* szOtherName = nullptr) {
  if (pWnd == nullptr || !pWnd->IsWindow()) return false;
  const std::string name = pWnd->GetClassName();
  return strcasecmp(name.c_str(), szClass) == 0 ||
         (szOtherName != nullptr && strcasecmp(name.c_str(), szOtherName) == 0);
}

// Byte length of the UTF-8 character that starts with c (1 for stray bytes).
std::size_t CharLength(unsigned char c) {
  if (c >= 0xF0 && c <= 0xF7) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

void FilterEdit(CEdit* pEdit, const char* szAllowed) {
  if (!IsLiveControl(pEdit, "Edit")) return;
  const std::string text = pEdit->GetWindowText();
  // Split into whole characters, so that a typed Chinese character goes as
  // one piece and never leaves half a character behind.
  std::vector<std::pair<std::size_t, std::size_t>> chars;  // (byte offset, length)
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = CharLength(static_cast<unsigned char>(text[i]));
    if (i + n > text.size()) n = text.size() - i;
    chars.emplace_back(i, n);
    i += n;
  }
  auto allowed = [&](const std::string& ch) {
    return ch.size() == 1 && ch[0] != '\0' && std::string(szAllowed).find(ch[0]) != std::string::npos;
  };
  std::size_t found = chars.size();
  for (std::size_t k = chars.size(); k-- > 0;) {
    if (!allowed(text.substr(chars[k].first, chars[k].second))) {
      found = k;
      break;
    }
  }
  if (found == chars.size()) return;
  const std::string bad = text.substr(chars[found].first, chars[found].second);
  std::string clean;
  for (std::size_t k = 0; k < chars.size(); ++k) {
    const std::string ch = text.substr(chars[k].first, chars[k].second);
    if (ch != bad) clean += ch;
  }
  pEdit->SetWindowText(clean.c_str());
  // The caret goes to the character index at which the bad character was
  // found (the edit keeps it within the shorter text).
  const int caret = static_cast<int>(found);
  pEdit->SetSel(caret, caret);
}

}  // namespace

void FilterSignedIntegerEdit(CEdit* pEdit) { FilterEdit(pEdit, "0123456789+-"); }
void FilterSignedDecimalEdit(CEdit* pEdit) { FilterEdit(pEdit, "0123456789+-."); }
void FilterUnsignedIntegerEdit(CEdit* pEdit) { FilterEdit(pEdit, "0123456789+"); }
void FilterUnsignedDecimalEdit(CEdit* pEdit) { FilterEdit(pEdit, "0123456789+."); }

void InitSpinButton(CEdit* pEdit, CSpinButtonCtrl* pSpin, int nLower, int nUpper, int nBase) {
  if (!IsLiveControl(pEdit, "Edit") || !IsLiveControl(pSpin, "msctls_updown32", "Spin")) return;
  pSpin->SetBuddy(pEdit);
  pSpin->SetBase(nBase);
  pSpin->SetRange32(nLower, nUpper);
}

void MapEditFilter(CDialog* pDialog, int nId, void (*pfnFilter)(CEdit*)) {
  pDialog->MapCommand(EN_UPDATE, static_cast<UINT>(nId), [pDialog, nId, pfnFilter] {
    if (!pDialog->IsExchangingData()) pfnFilter(static_cast<CEdit*>(pDialog->GetDlgItem(nId)));
  });
}
