// The spatial-reference chooser: a modal dialog of the dialog framework that
// lists the references the spatial-reference library makes; the installed
// modal driver plays its user, and with no driver it is cancelled.
//
// Template 31021 (spatialreference.dlg): list 31022, the current
// reference's name 31023, OK (1) and Cancel (2).
#pragma once

#include <string>
#include <vector>

#include "host/sferon/igis_spatialreference.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

enum {
  IDD_GIS_SPATIALREFERENCE = 31021,
  IDC_GIS_SR_LIST = 31022,
  IDC_GIS_SR_CURRENT = 31023,
};

class CGIS_SpatialReferenceDlg : public CDialog {
 public:
  // entries: the names listed; selected: the entry selected when the window
  // opens (-1: none); current: the text naming the current reference.
  CGIS_SpatialReferenceDlg(const std::vector<std::string>& entries, int selected, const std::string& current);

  // After OK: the entry selected (-1: none).
  int GetChosen() const { return chosen_; }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  std::vector<std::string> entries_;
  int selected_;
  std::string current_;
  int chosen_ = -1;
  CListBox list_;
};

// Runs the chooser starting at the entry named like current (may be NULL):
// the reference chosen, owned by the caller, or NULL when the user
// cancelled or chose nothing.
IGIS_SpatialReference* GIS_ChooseSpatialReference(IGIS_SpatialReference* current);
