// The demo host's layout page: an A4 landscape feature set of plain elements
// made through the library's element factory, stored into its features and
// read back into a fresh feature set, as a host's layout view does it.
//
// Everything here reaches the library only through its exported functions and
// the element interfaces.
#pragma once

#include <memory>
#include <string>
#include <vector>

class IGIS_Element;
class IGIS_ElementFactory;
class IGIS_FeatureSet;
class IGIS_MapLayer;
class IGIS_OleElement;
class IGIS_PictureElement;
struct SGIS_LogRecord;
struct SGIS_Rect;

namespace md::ole {
struct Storage;
}
class IGIS_SpatialReference;

namespace md::demo {

// A4 landscape in page units of 0.01 mm.
constexpr int kPageWidth = 29700;
constexpr int kPageHeight = 21000;

// A feature set with the elements bound to its features. The page owns its
// factory, feature set, page reference and elements and ends them all.
class Page {
 public:
  Page();
  ~Page();
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  // False when the factory, feature set or reference could not be made.
  bool ok() const { return factory_ != nullptr && set_ != nullptr && reference_ != nullptr; }

  // The paper, in page units (A4 landscape unless set otherwise). A page
  // read back from a file takes the paper its caller gives it.
  int width() const { return width_; }
  int height() const { return height_; }
  // Ignored unless both sides are positive.
  void SetPaper(int width, int height);

  IGIS_ElementFactory* factory() { return factory_; }
  IGIS_FeatureSet* featureSet() { return set_; }
  // Every element of the page, in feature order (members of compounds too).
  const std::vector<IGIS_Element*>& elements() const { return elements_; }
  // The elements the host draws itself: those no compound holds, in feature
  // order. A compound draws its members.
  std::vector<IGIS_Element*> TopLevel();

  // A new element of the type on a new feature, kept by the page; NULL when
  // the factory builds no element of that type.
  IGIS_Element* Create(const char* szType);
  // Binds an element to an existing feature; NULL when it cannot be built.
  IGIS_Element* Bind(const char* szType, int featureIndex);
  // Lists the elements the feature set rebuilt in LoadPageFromFile, which
  // the set ends; false when a feature has none.
  bool TakeLoadedElements();

 private:
  IGIS_ElementFactory* factory_ = nullptr;
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* reference_ = nullptr;
  std::vector<IGIS_Element*> elements_;
  // The feature set owns the elements (they were rebuilt by its load).
  bool setOwnsElements_ = false;
  int width_ = kPageWidth;
  int height_ = kPageHeight;
};

// What building a page left out: element types the factory does not build
// (yet), and the pictures, embedded objects and links the page was meant to
// hold that could not be made, each as "<its name>: <why>". Empty when the
// page is complete.
struct BuildReport {
  std::vector<std::string> missingTypes;
  std::vector<std::string> failures;
  // The links the page holds: a run updates each once the page is read back.
  int links = 0;
};

// Notes in the report (which may be NULL) that the page's `what` could not be
// made, and why.
void ReportFailure(BuildReport* report, const std::string& what, const std::string& why);

// Whether the host log record comes from the code that makes, stores, reads
// or draws pictures and embedded or linked objects (the picture and object
// elements and the objects' client items; what the metafile helper refuses
// reaches the log through the picture's records): each such record says that
// a picture, object or link was not made or drawn as the page meant it.
bool IsPictureOrObjectRecord(const SGIS_LogRecord& record);

// What kept a page from holding or showing what it was meant to: the
// report's failures, then every picture or object record among `records`
// ("[level] Class::Method: text"), one line each; empty when nothing was
// left out.
std::vector<std::string> LeftOut(const BuildReport& report, const std::vector<SGIS_LogRecord>& records);

// A picture element on a new feature of the page, read from the file that
// `write` answers (WriteSampleLogo, WriteSampleMark); NULL, noted in the
// report under `what`, when the file, the element or its picture cannot be
// made (the picture's own record then says why).
IGIS_PictureElement* AddPicture(Page& page, BuildReport* report, const std::string& what,
                                std::string (*write)(std::string* error));

// The sample page: every plain element kind with varied symbols, framed,
// turned and anchored Chinese and Latin texts, a compound, a framed text in
// draft mode and a map frame with an index grid in continuous tabs. NULL only when the factory or feature set
// cannot be made.
std::unique_ptr<Page> BuildSamplePage(BuildReport* report);
// Adds the sample page's elements to a page (again), at the same places.
void AddSampleElements(Page& page, BuildReport* report);

// Hands the object's compound file to the element through its stored
// "OLEDATA", as a host restoring a stored page does, and sizes it to the
// rectangle's width (its height follows the object). False, noted in the
// report (which may be NULL) under `what`, when the object cannot be written
// or the element refuses it.
bool EmbedObject(IGIS_OleElement* e, const md::ole::Storage& object, SGIS_Rect rect,
                 BuildReport* report = nullptr, const std::string& what = "an embedded object");

// Writes every element's state into its feature (Archive with 0); false when
// an element refuses. Saving does it too.
bool StoreElements(Page& page, std::string* error);

// Saves the page's feature set to a file, every element stored first; false
// with a message on failure.
bool SavePage(Page& page, const std::string& path, std::string* error);

// A fresh factory and feature set loaded from the file with LoadPageFromFile,
// which rebuilds every feature's element from its "TYPE". NULL with a
// message when the file cannot be read or an element cannot be rebuilt.
// With a map layer, the fresh feature set shows it before the elements are
// read, so that map frames find their maps.
std::unique_ptr<Page> LoadPage(const std::string& path, std::string* error,
                               IGIS_MapLayer* mapLayer = nullptr);

// What a host does once a page is read, when its user agrees: every linked
// object reads its source now (found beside the page first); a page read
// from a file reads no source on its own. The number of links that show
// their source's content; a link that cannot read it keeps the presentation
// stored with it.
int UpdateLinks(Page& page);

}  // namespace md::demo
