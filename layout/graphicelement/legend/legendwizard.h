// The seam between the legend element and its creation wizard, which lives
// with the user interface: the dialogs library installs a runner; without
// one the legend's RunWizard changes nothing and answers FALSE.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"

class IGIS_LegendElement;
class IGIS_LegendFormat;
class IGIS_LegendItem;
class IGIS_Symbol;

namespace md::layout {

// What a finished wizard hands to the legend; the legend copies what it
// keeps, and the result releases its own objects.
struct SGIS_LegendWizardResult {
  md::basilo::ReleasePtr<IGIS_LegendFormat> format;
  md::basilo::ReleasePtr<IGIS_Symbol> titleSymbol;
  std::string title;
  std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>> items;
};

// Runs the wizard for the legend (no parent window); TRUE when the user
// finished it, with the result filled in.
using LegendWizardRunner = bool (*)(IGIS_LegendElement* pLegend, SGIS_LegendWizardResult* pResult);

// Installs the runner (NULL removes it); returns the one it replaces.
LegendWizardRunner SetLegendWizardRunner(LegendWizardRunner runner);
LegendWizardRunner GetLegendWizardRunner();

}  // namespace md::layout
