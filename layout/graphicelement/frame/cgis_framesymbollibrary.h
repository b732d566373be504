// A frame symbol library: named second-kind symbols for a frame's border,
// background or shadow, kept in one file per kind in the host's
// configuration folder (FORMAT.md). Entries whose symbol cannot be rebuilt
// are kept as they were stored and written back unchanged.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/glyphor2/igis_symbolv2.h"

// Largest number of bytes of an entry's name.
constexpr std::size_t GIS_FRAME_SYMBOL_NAME_MAX = 999;

// One library entry.
struct SGIS_FrameSymbolItem {
  md::basilo::ReleasePtr<IGIS_SymbolV2> pSymbol;  // NULL: the stored field is carried
  std::string strName = "未命名";
  // The stored field of an entry whose symbol could not be rebuilt.
  int nStoredType = 0;
  std::vector<unsigned char> storedBytes;  // a buffer field's bytes
  std::string strStored;                   // a string field's text
  int nStored = 0;
  double dStored = 0.0;
  bool bStored = false;
};

// Modes of a library: which part of a frame its symbols are for.
enum {
  GIS_FRAME_LIBRARY_BORDER = 0,
  GIS_FRAME_LIBRARY_BACKGROUND = 1,
  GIS_FRAME_LIBRARY_SHADOW = 2,
};

class CGIS_FrameSymbolLibrary {
 public:
  enum class FileState {
    None,        // nothing loaded
    Missing,     // there was no file: it was created empty
    Read,        // the file was read
    Unreadable,  // the file could not be read or is not a library: never written unless changed
  };

  // The file of a mode: the configuration folder and the mode's file name
  // (its global key registered with the default name when missing). Empty
  // for another mode or without a folder.
  static std::string PathForMode(int nMode);

  // Replaces the entries with those of the file.
  FileState Load(const std::string& path);
  // Writes the entries to the file loaded (through a temporary file and a
  // rename) when it was read, created or changed since; a file that could
  // not be read and was not changed is left alone. FALSE when a write failed.
  bool SaveIfAllowed();
  // Writes the entries to the path.
  bool Save(const std::string& path);

  FileState GetFileState() const { return m_state; }
  bool IsChanged() const { return m_bChanged; }
  const std::string& GetPath() const { return m_path; }

  // Entries with a symbol, in file order (what the user sees).
  int GetSymbolCount() const;
  SGIS_FrameSymbolItem* GetSymbolEntry(int nIndex);
  // Every entry, also those carried as stored.
  int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
  const SGIS_FrameSymbolItem& GetEntry(int nIndex) const {
    return m_entries[static_cast<std::size_t>(nIndex)];
  }

  // Whether an entry has the name, letter case aside.
  bool HasName(const char* szName) const;
  // Appends a copy of the symbol under the name (cut to 999 bytes at a
  // character); FALSE when no copy can be made.
  bool Add(IGIS_SymbolV2* pSymbol, const char* szName);
  // Removes the entry at a position of GetSymbolEntry; FALSE when none.
  bool RemoveSymbolEntry(int nIndex);

 private:
  int EntryOfSymbol(int nIndex) const;

  std::vector<SGIS_FrameSymbolItem> m_entries;
  std::string m_path;
  FileState m_state = FileState::None;
  bool m_bChanged = false;
};
