// The seam between objects and their servers: the windows in which a user
// opens an object to edit it. The servers are windows of the dialog
// framework and live apart (platform/oleserver), which installs them here by
// class; this library only keeps which class has which, so that what draws
// and stores objects never depends on a user interface.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ole/objectclass.h"

namespace md::ole {

struct ServerRequest {
  const EmbeddedObject* pObject = nullptr;  // the object as it is now
  std::string title;                        // the document's name the window shows
};

struct ServerResult {
  bool bStarted = false;    // the server's window opened (and has closed again)
  bool bConfirmed = false;  // the user closed it with OK (Cancel: false)
  // The object as the user saved it, of the request's class; NULL when the
  // window closed without a change.
  std::unique_ptr<EmbeddedObject> pSaved;
};

// Opens the object in the server's window until the user closes it.
using ObjectServer = std::function<ServerResult(const ServerRequest&)>;

// Installs the server of a class (an empty function removes it); answers the
// one installed before.
ObjectServer SetObjectServer(const ClassId& clsid, ObjectServer server);
// The server of a class; empty when it has none.
ObjectServer FindObjectServer(const ClassId& clsid);

}  // namespace md::ole
