// The modal driver plays the user of modal dialogs: DoModal hands it the
// dialog after OnInitDialog, and it acts through a UiUser until the dialog
// ends. Message boxes and file dialogs ask it for their answer.
//
// ScriptedDriver is the readable form tests use:
//
//   md::ui::ScriptedDriver driver;           // installed until it goes out of scope
//   driver.Then([](md::ui::UiUser& u) {      // the next modal window to open
//     u.Type(1001, "12a3b");
//     u.Click(1002);
//     u.Choose(1003, 3);
//     u.GoToPage(1);
//     u.Apply();
//     u.Ok();
//   });
//   driver.AnswerMessageBox(IDYES);          // the next message box
//   dlg.DoModal();
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/propsheet.h"

namespace md::ui {

// What the user does inside one running modal window. Every action goes
// through the controls as a real user's would (focus changes, notifications
// in the order a real control sends them); an action that a user could not
// do (a disabled or missing control, a disabled button) does nothing,
// answers false and is recorded in Errors().
class UiUser {
 public:
  explicit UiUser(CDialog& window);

  CDialog& Window() const { return window_; }
  CPropertySheet* Sheet() const;
  // The window whose controls the actions address: the active page of a
  // sheet, else the dialog itself.
  CWnd* Surface() const;
  CWnd* Control(int id) const;
  bool Ended() const;

  // Edits (and the edit of a drop-down combo box).
  bool Focus(int id);
  bool Type(int id, const std::string& text);     // at the end of the text
  bool Replace(int id, const std::string& text);  // select all, then type
  bool Clear(int id);                             // select all, delete
  bool Backspace(int id, int count = 1);
  // Buttons, check boxes, radio buttons, static controls with SS_NOTIFY.
  bool Click(int id);
  // Combo boxes, list boxes and list views: item `index`.
  bool Choose(int id, int index);
  bool ChooseText(int id, const std::string& text);
  bool CtrlClick(int id, int index);   // extended list box: toggle
  bool ShiftClick(int id, int index);  // extended list box: range from anchor
  bool DoubleClick(int id, int index);
  // A list view double-click at a point of its client area (maybe empty space).
  bool DoubleClickAt(int id, POINT point);
  // Spin buttons: `steps` presses of the up (positive) or down arrow.
  bool Spin(int id, int steps);

  // Closing and sheet buttons.
  bool Ok();
  bool Cancel();
  bool Apply();
  bool GoToPage(int index);
  bool Next();
  bool Back();
  bool Finish();

  // Reading what the user sees.
  std::string Text(int id) const;
  bool IsEnabled(int id) const;
  bool IsVisible(int id) const;
  int Checked(int id) const;
  int Selection(int id) const;

  // Paints the window as the user sees it now into a PNG file.
  bool Snapshot(const std::string& path) const;

  const std::vector<std::string>& Errors() const { return errors_; }

 private:
  bool Fail(const std::string& what);
  bool UsableControl(int id, CWnd** out, const char* action);
  // A usable control that takes typing: an edit, or a combo box with an edit.
  bool EditableControl(int id, CWnd** out, const char* action);
  // A usable extended-selection list box that has item `index`.
  bool ExtendedListItem(int id, int index, CWnd** out, const char* action);
  bool PressSheetButton(UINT id, const char* name);
  void Settle();

  CDialog& window_;
  std::vector<std::string> errors_;
};

struct FileDialogAnswer {
  bool ok = false;
  std::string path;
  int filterIndex = 1;
};

class ModalDriver {
 public:
  virtual ~ModalDriver() = default;
  // Plays the user of `user.Window()` until it ends (or gives up).
  virtual void Run(UiUser& user) = 0;
  virtual int AnswerMessageBox(const MessageBoxRecord& box) = 0;
  virtual FileDialogAnswer AnswerFileDialog(const CFileDialog& dialog) = 0;
};

// Installs a driver (null: none); answers the previous one.
ModalDriver* SetModalDriver(ModalDriver* driver);
ModalDriver* GetModalDriver();

// Errors of every UiUser since the last ClearDriverErrors (user actions that
// were impossible, dialogs the driver left open).
const std::vector<std::string>& DriverErrors();
void ClearDriverErrors();

// Scenes for the coming modal windows, one per DoModal in the order they
// open (nested ones included). A dialog with no scene left is cancelled; a
// scene that leaves its dialog open has it cancelled too (and recorded).
class ScriptedDriver : public ModalDriver {
 public:
  using Scene = std::function<void(UiUser&)>;
  ScriptedDriver();
  ~ScriptedDriver() override;

  ScriptedDriver& Then(Scene scene);
  // The answer of the next message box; without one a box gets its first
  // button (OK, Yes, Retry, Abort).
  ScriptedDriver& AnswerMessageBox(int answer);
  ScriptedDriver& AnswerFile(const std::string& path, int filterIndex = 1);
  ScriptedDriver& CancelFile();

  void Run(UiUser& user) override;
  int AnswerMessageBox(const MessageBoxRecord& box) override;
  FileDialogAnswer AnswerFileDialog(const CFileDialog& dialog) override;

  int DialogsRun() const { return dialogsRun_; }
  size_t ScenesLeft() const { return scenes_.size(); }
  // Templates of the modal windows run, in order (0 for a sheet).
  const std::vector<UINT>& DialogTemplatesRun() const { return templatesRun_; }
  const std::vector<std::string>& FileDialogFilters() const { return lastFilters_; }

 private:
  ModalDriver* previous_;
  std::deque<Scene> scenes_;
  std::deque<int> boxAnswers_;
  std::deque<FileDialogAnswer> fileAnswers_;
  int dialogsRun_ = 0;
  std::vector<UINT> templatesRun_;
  std::vector<std::string> lastFilters_;
};

// Answer a message box gets without a driver: its cancel-like button.
int DefaultMessageBoxAnswer(UINT type, bool cancelLike);

}  // namespace md::ui
