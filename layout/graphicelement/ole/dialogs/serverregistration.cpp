// The object classes' servers, installed when the dialogs library loads (the
// client items open objects in them) and removed when it unloads.
#include "platform/oleserver/oleservers.h"

namespace {
const struct Registration {
  Registration() { md::oleserver::InstallServers(); }
  ~Registration() { md::oleserver::RemoveServers(); }
} g_registration;
}  // namespace
