// Subjects and observers: a subject hands each message to its attached
// observers' Update, synchronously and in attach order.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_Element;  // the layout library's element interface

class IGIS_Observer {
 public:
  virtual void Update(const char* message, int argument, IGIS_Element* sender) = 0;
  virtual ~IGIS_Observer() = default;
};

class IGIS_Subject {
 public:
  // An observer is attached once; attaching it again changes nothing (FALSE).
  // The second argument is the caller's context and is not used.
  virtual BOOL Attach(IGIS_Observer* observer, int option) = 0;
  virtual BOOL Detach(IGIS_Observer* observer, int option) = 0;
  virtual void DetachAll() = 0;
  // Calls Update of every attached observer before returning. Observers may
  // attach, detach (themselves or others) and release the subject inside
  // Update: a detached observer that was not yet reached is skipped, one
  // attached during Notify hears the next message.
  virtual void Notify(const char* message, int argument, IGIS_Element* sender) = 0;

 protected:
  virtual ~IGIS_Subject() = default;
};

extern "C" {
IGIS_Subject* GIS_CreateSubjectObject();
void GIS_ReleaseSubjectObject(IGIS_Subject* subject);
}
