// The process-wide element registry and the element hooks of feature sets.
//
// A feature keeps the element bound to it in its 32-bit integer field
// "InterfacePtr". On a 64-bit platform a pointer does not fit, so elements
// register themselves here and store the handle instead. A handle is never
// reused within a process; once its element is unregistered it resolves to
// NULL, so a stale field can never reach a destroyed or unrelated element.
//
// Feature sets create and delete elements through hooks that the layout
// library installs when it is loaded (its element factory's table); a set
// that finds none loads that library once (igis_feature.h says how), and
// without them IGIS_FeatureSet::CreateElement answers NULL and
// DeleteElement FALSE.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_Element;
class IGIS_FeatureSet;

extern "C" {

// Registers an element and returns its handle (> 0). Registering an element
// that is already registered returns its existing handle. NULL, or a process
// that has used up every handle, returns 0.
int GIS_RegisterElement(IGIS_Element* element);

// The live element of a handle, or NULL for 0, an unknown handle or the
// handle of an unregistered element.
IGIS_Element* GIS_ResolveElement(int handle);

// The handle of a registered element, or 0.
int GIS_GetElementHandle(IGIS_Element* element);

// Forgets an element (call it from the element's destructor). Its handle
// resolves to NULL from then on. Unknown elements are ignored.
void GIS_UnregisterElement(IGIS_Element* element);

// Number of registered elements (diagnostics and tests).
int GIS_GetRegisteredElementCount();

// How many elements were unregistered so far: while it has not changed, a
// handle that resolved to an element still resolves to it (without the
// registry's lock).
unsigned long long GIS_GetElementUnregisterCount();

class IGIS_Feature;

// How a feature set makes, ends, stores and rebuilds elements. The first
// three are needed; without `archive` and `bind` a set saves its features as
// they are and loads no elements.
struct SGIS_ElementHooks {
  // A new element of the type identifier on a new feature of the owner, or NULL.
  IGIS_Element* (*create)(const char* typeIdentifier, IGIS_FeatureSet* owner);
  // Ends the element object (its Release).
  void (*release)(IGIS_Element* element);
  // The ID of the feature the element is bound to (-1 when unbound).
  int (*featureId)(IGIS_Element* element);
  // The element's Archive(mode, 0): 0 writes its state into its feature, 1
  // reads it back. FALSE when the element refuses.
  BOOL (*archive)(IGIS_Element* element, int mode);
  // A new element of the type bound to an existing feature of the owner, or NULL.
  IGIS_Element* (*bind)(const char* typeIdentifier, IGIS_FeatureSet* owner, IGIS_Feature* feature);
};

// Installs the hooks (copied); NULL, or a record with a missing function,
// removes them.
void GIS_SetElementHooks(const SGIS_ElementHooks* hooks);

// TRUE while hooks are installed.
BOOL GIS_HasElementHooks();

}  // extern "C"
