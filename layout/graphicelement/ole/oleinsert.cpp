// The installed insert-object dialog.
#include "layout/graphicelement/ole/oleinsert.h"

#include <mutex>
#include <utility>

namespace md::layout {
namespace {
std::mutex g_mutex;
InsertObjectDialog& Installed() {
  static InsertObjectDialog* dialog = new InsertObjectDialog;  // lives until exit
  return *dialog;
}
}  // namespace

InsertObjectDialog SetInsertObjectDialog(InsertObjectDialog dialog) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::exchange(Installed(), std::move(dialog));
}

bool RunInsertObjectDialog(SGIS_OleInsertChoice* pChoice) {
  InsertObjectDialog dialog;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    dialog = Installed();
  }
  return pChoice != nullptr && dialog && dialog(pChoice);
}

}  // namespace md::layout
