// Linked objects: an object of one of this process's classes whose content
// lives in a file, its source. The link keeps the source's path (its class is
// the storage's class) and the source's content as last read, its cached
// presentation, so that it still shows something when the source is gone.
// Stored form: the class's content stream plus the "Link" record (FORMAT.md).
//
// A link read from a storage reads no file on its own: it shows its cached
// presentation until Update is called, and its source is written only after
// an update read it. A link made from a file (CreateLinkToFile) or updated
// once follows its source (IsFollowing): its holder updates it whenever it
// draws, measures or stores it.
//
// A source is taken whole or not at all. Its stamp (device, inode, size,
// modification and change times) must be the same before and after the
// read, and an update takes it only once it has settled
// (platform/files/settling.h): its last change a second behind, counted from
// the latest moment its times allow (they lie up to 0.1 s behind a change on
// a file system that keeps fine times, up to 2 s on one that keeps whole
// seconds, where a link waits 3 s). Until then it may be between two writes
// of a writer that writes in pieces, and is refused (the link keeps what it
// shows; the reason says how long until the file settles, and the first
// update after that reads it). That holds whatever the file's inode: an
// editor's save renames the old file away and writes a new one in its place
// in pieces, so a new inode does not tell a file renamed into place whole
// from one still being written, and both wait. A source whose size or
// content changed while its times stayed those of the version the link
// shows is being rewritten in place (a truncation shows before its times
// do), and is refused the same way until it has looked so for that long;
// so is a source read empty, whatever its times (a truncation may show under
// times the link never saw), which is taken empty once it has stayed so that
// long. A fresh file holding exactly what the link shows is taken, as taking
// it changes nothing shown. A time further ahead of the clock than that comes
// from another clock and does not count as recent. A link made from a file
// takes the file as it is: its maker chose it, and the link, following its
// source, takes the file's next version once that has settled.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/filestore.h"
#include "platform/ole/objectclass.h"

namespace md::ole {

class LinkedObject final : public EmbeddedObject {
 public:
  // A link to the source at the absolute path showing the given content (of
  // the source's class).
  LinkedObject(std::string sourcePath, std::unique_ptr<EmbeddedObject> content);

  const ObjectClass& Class() const override { return content_->Class(); }
  bool Load(const Storage& storage, std::string* pError) override;
  void Save(Storage* pStorage) const override;
  bool GetExtent(SIZE* pSize) const override { return content_->GetExtent(pSize); }
  bool Draw(HDC hdc, const RECT& bounds) const override { return content_->Draw(hdc, bounds); }
  std::vector<std::uint8_t> Content() const override { return content_->Content(); }
  LinkedObject* AsLink() override { return this; }

  // The path an update looks at first: beside or below the page's file by
  // the relative path, when there is one and the page's file is known, else
  // the absolute path.
  std::string SourcePath() const;
  const std::string& AbsolutePath() const { return absolute_; }
  // The source's path from the page's folder; empty when the source does not
  // lie beside or below the page's file, or the page's file is unknown.
  const std::string& RelativePath() const { return relative_; }

  // The page file the link belongs to (a path; "" changes nothing). The
  // relative path is kept against that file's folder. When the page moves
  // to another file, the source keeps its real place: where the relative
  // path finds a file, that place becomes the absolute path (the one stored
  // may be stale: the page may have been moved with its source), else the
  // absolute path is kept; the relative path is then made again from that
  // place for the new file's folder, or dropped when the place is not beside
  // or below the new file. Finding the place takes a look at the path (no
  // file is read). A relative path read while the page's file was unknown is
  // taken as the new file's.
  void SetPageFile(const std::string& pageFile);

  // Reads the source, at the relative path first and the absolute one
  // second (the first that exists is the source), when it changed since it
  // was last read (always the first time after loading); from then on the
  // link follows its source. True when the object shows the source's
  // current content; false, with the reason, when the source is gone, is
  // not a regular file on an ordinary file system (sourcefile.h), is over
  // its class's size limit, is no longer of the link's class, changed while
  // it was read or has not settled (above; the reason then says how long
  // until it has): the object then keeps what it showed, and the next call
  // tries again.
  bool Update(std::string* pError);
  // Whether the link follows its source: made from the file, or updated
  // since it was read.
  bool IsFollowing() const { return following_; }
  // Replaces the source file the last update read with the content (of the
  // link's class) and shows it; false, with the reason, when the source was
  // not read since the link was read from a storage (or its last update
  // failed) or the file cannot be written: nothing changed then.
  bool WriteSource(const EmbeddedObject& content, std::string* pError);

  // The link a storage holds; NULL, with the reason (naming the fault of a
  // damaged "Link" record), when its "Link" record or its content is damaged.
  static std::unique_ptr<LinkedObject> FromStorage(const Storage& storage, std::string* pError);

 private:
  friend std::unique_ptr<LinkedObject> CreateLinkToFile(const std::string& path, std::string* pError);

  // What identifies one version of the source file.
  using Stamp = md::files::FileStamp;
  // The object a reader makes of the file at the path, taken only when the
  // file's stamp is the same before and after the read (*pStamp): a file
  // rewritten meanwhile is refused, never taken half-written.
  template <class TRead>
  static std::unique_ptr<EmbeddedObject> ReadUnchanged(const std::string& path, const TRead& read,
                                                       Stamp* pStamp, std::string* pError);
  // How long until the source at the path, read showing the stamp and other
  // content than the link shows, may be taken, and (*pWhy, after the path)
  // why; 0 once it may.
  std::int64_t Unsettled(const std::string& path, const Stamp& stamp, std::string* pWhy);
  // The places an update looks at, in order.
  std::vector<std::string> Candidates() const;

  std::string absolute_;
  std::string relative_;
  std::string page_;  // the page file relative_ is kept against; "" unknown
  std::unique_ptr<EmbeddedObject> content_;
  Stamp stamp_;           // of the file the content was last read from
  std::string read_;      // that file's path; "" none, or gone since
  bool current_ = false;  // the content is read_'s and the last update took it
  // A version of a source with other content than shown, empty or with
  // stamp_'s times, and when an update first saw it (ns,
  // md::files::FileClockNow).
  Stamp unsettled_;
  std::int64_t unsettledSince_ = 0;
  bool following_ = false;
};

// The name of the "Link" record's stream and the longest path it keeps.
inline constexpr const char* kLinkStream = "Link";
inline constexpr std::size_t kMaxLinkPath = 4096;

// What a storage holding a link that cannot be read (its "Link" record
// damaged) still shows: the cached presentation in its content stream, as a
// static object of its class. NULL, with the reason, when the storage holds
// no "Link" stream or its content stream cannot be read either.
std::unique_ptr<EmbeddedObject> LoadLinkPresentation(const Storage& storage, std::string* pError);

// A link to the file, which must be one of this process's classes reads (a
// PNG picture, a UTF-8 text); the path is kept absolute. NULL, with the
// reason, for a file that cannot be read, that no class takes (files of
// other programs cannot be linked here) or that changed while it was read.
std::unique_ptr<LinkedObject> CreateLinkToFile(const std::string& path, std::string* pError);

// The last part of a path, the file's name without its folders.
std::string FileTitle(const std::string& path);

namespace detail {
// Called with the path after a source was read and before its stamp is taken
// again, so that a test can change the file at that moment; NULL: nothing.
using SourceReadHook = void (*)(const std::string& path);
SourceReadHook SetSourceReadHook(SourceReadHook hook);
// Called with each stamp an update or a new link takes of a source, so that a
// test can show the file as it looks for a moment (new bytes under old
// times); NULL: nothing.
using SourceStampHook = void (*)(const std::string& path, md::files::FileStamp* stamp);
SourceStampHook SetSourceStampHook(SourceStampHook hook);
// A source's age is judged by md::files::FileClockNow, whose clock a test
// sets with md::files::detail::SetFileClock.
}  // namespace detail

}  // namespace md::ole
