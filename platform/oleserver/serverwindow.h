// What the servers' windows share: the object opened, the caption naming its
// class and document, the object kept on OK, and the run that answers the
// container.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ole/server.h"
#include "platform/ui/dialog.h"

namespace md::oleserver {

class CServerWindow : public CDialog {
 public:
  CServerWindow(UINT templateId, const md::ole::ServerRequest& request);

  // The caption: the class's name and the document's.
  BOOL OnInitDialog() override;
  // Runs the window; started unless its template is missing, the kept
  // object given back after OK.
  md::ole::ServerResult Run();

 protected:
  const md::ole::EmbeddedObject& Object() const { return *m_request.pObject; }
  // Makes the object to give back from content of the class; false, with
  // the framework's prompt, when the class refuses the content.
  bool Keep(std::vector<std::uint8_t> content);
  // Keeps an object made elsewhere (of the class).
  void Keep(std::unique_ptr<md::ole::EmbeddedObject> object) { m_pKept = std::move(object); }
  const md::ole::EmbeddedObject* Kept() const { return m_pKept.get(); }

 private:
  md::ole::ServerRequest m_request;
  std::unique_ptr<md::ole::EmbeddedObject> m_pKept;
};

md::ole::ServerResult RunTextDocumentServer(const md::ole::ServerRequest& request);
md::ole::ServerResult RunPictureServer(const md::ole::ServerRequest& request);

}  // namespace md::oleserver
