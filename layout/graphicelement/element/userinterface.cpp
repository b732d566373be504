// The models' way to the user interface.
#include "layout/graphicelement/element/userinterface.h"

#include <atomic>

namespace md::layout {
namespace {

std::atomic<IUserInterface*> g_interface{nullptr};

}  // namespace

IUserInterface* SetUserInterface(IUserInterface* pInterface) { return g_interface.exchange(pInterface); }

int HostMessageBox(const char* szText, UINT nType) {
  IUserInterface* pInterface = g_interface.load();
  return pInterface != nullptr ? pInterface->HostMessageBox(szText, nType) : 0;
}

}  // namespace md::layout
