// Dialog templates, the string table and combo-box lists, read from the
// plain-text resource files (*.dlg beside the dialogs that use them; format:
// resources/FORMAT.md).
// The files are compiled into the program or library that embeds them
// (md_embed_resources in CMake), which registers their text at load; they
// are parsed on first use, so no file is needed at run time.
#pragma once

#include <string>
#include <vector>

#include "platform/win/wintypes.h"

namespace md::ui {

enum class ControlKind {
  Static,
  Button,
  Edit,
  ComboBox,
  ListBox,
  ListView,
  Spin,
};

struct ControlTemplate {
  int id = -1;
  ControlKind kind = ControlKind::Static;
  std::string className;  // "Static", "Button", "Edit", "ComboBox", ...
  std::string text;
  DWORD style = 0;  // WS_* plus the class's own styles
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::vector<std::string> items;    // combo and list box entries, in file order
  int line = 0;                      // line of the resource file
};

struct DialogTemplate {
  UINT id = 0;
  std::string caption;
  int cx = 0, cy = 0;  // dialog units
  int fontPoints = 9;
  std::string fontFace = "宋体";
  DWORD style = 0;
  std::vector<ControlTemplate> controls;  // template order
  std::string source;                     // resource file name
};

// Registers the text of one resource file; `name` is used in error messages.
// Called by the code that md_embed_resources generates.
void RegisterResourceText(const char* name, const char* text, std::size_t size);

// Parses one resource text into `templates` and `strings`; answers false and
// fills `errors` ("name:line: message") on any mistake. Never throws.
struct ParsedResources {
  std::vector<DialogTemplate> dialogs;
  std::vector<std::pair<UINT, std::string>> strings;
};
bool ParseResourceText(const std::string& name, const std::string& text, ParsedResources* out,
                       std::vector<std::string>* errors);

// Lookup among every registered file (parsed on first use). Null when absent.
const DialogTemplate* FindDialogTemplate(UINT id);
const std::string* FindResourceString(UINT id);
// Errors found in the registered files (syntax, duplicate IDs).
std::vector<std::string> ResourceErrors();
// IDs of every registered dialog template, ascending.
std::vector<UINT> DialogTemplateIds();

// Dialog units to pixels for a template's font: the base units are the
// font's pixel height (points at 96 dpi) and half of it for the width.
SIZE DialogBaseUnits(const DialogTemplate& tmpl);
RECT DialogUnitsToPixels(const DialogTemplate& tmpl, int x, int y, int cx, int cy);

}  // namespace md::ui
