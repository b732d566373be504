// The border library: stored borders the user picks from, kept in one file
// in the host's configuration folder (one property set whose fields "0",
// "1", ... each hold a border's stored form; FORMAT.md).
#pragma once

#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"

class CGIS_MapBorderLibrary {
 public:
  CGIS_MapBorderLibrary() = default;
  ~CGIS_MapBorderLibrary();
  CGIS_MapBorderLibrary(const CGIS_MapBorderLibrary&) = delete;
  CGIS_MapBorderLibrary& operator=(const CGIS_MapBorderLibrary&) = delete;

  // The library file: the folder of "GLOBAL_GRAPHICELEMENT_CFG_DIR" and the
  // file name of "GLOBAL_GRAPHICELEMENT_CFG_MAPBORDER" (registered with
  // "mapborder.ets" when the host has none). Empty without a folder.
  static std::string GetFilePath();

  // Reads the library file into the list (Load of GetFilePath).
  bool Init();
  // Reads a library file into the list, replacing what it held. No file
  // gives an empty library (TRUE). A file that cannot be read or is not a
  // library gives an empty list and FALSE with a record, and is never
  // written over by this library.
  bool Load(const std::string& path);
  // Writes the list into the file it was read from (or GetFilePath when none
  // was read), through a temporary file renamed over it.
  bool SaveToFile();
  // Writes the list into a file: the borders in list order, then the stored
  // entries that could not be rebuilt, their bytes unchanged. Refused
  // (FALSE, record) for the file that could not be read.
  bool Save(const std::string& path);

  // The borders rebuilt from the file or added since, in order; the library
  // owns them.
  int GetCount() const { return static_cast<int>(m_borders.size()); }
  IGIS_MapBorder* GetMapBorder(int nIndex) const;
  // Appends a copy of the border (the caller keeps its own); FALSE for NULL.
  bool AddMapBorder(IGIS_MapBorder* pBorder);
  // Removes and releases the border at the index; FALSE when there is none.
  bool RemoveMapBorder(int nIndex);
  // Stored entries that could not be rebuilt; written back unchanged.
  int GetKeptCount() const { return static_cast<int>(m_kept.size()); }
  // Whether the file last loaded could not be read (it is then never written).
  bool IsUnreadable() const { return m_bUnreadable; }

 private:
  void Clear();

  std::vector<md::basilo::ReleasePtr<IGIS_MapBorder>> m_borders;
  std::vector<std::vector<unsigned char>> m_kept;
  std::string m_path;          // the file last loaded
  bool m_bUnreadable = false;  // m_path could not be read
};
