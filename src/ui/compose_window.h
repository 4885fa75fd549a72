#pragma once
// TfrmCompose, "Message Composition": writes a new message, a reply or a
// forward, or continues a stored one; stores it in the account's Unfinished
// or Unsent mailbox and hands it to a send task for "Send now". Several can
// be open at once; each deletes itself when closed.
#include <QKeySequence>
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "store/mail_message.h"
#include "ui/window_entry_points.h"

class QAction;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSplitter;
class QTextEdit;
class QTimer;
class QUrl;
class QToolBar;

namespace qm {

class TSpellChecker;

class TfrmCompose : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmCompose(QWidget* parent = nullptr);
  ~TfrmCompose() override;

  // The open compose windows, oldest first.
  static const std::vector<TfrmCompose*>& OpenWindows();

  // --- Set-up -------------------------------------------------------------
  // Prepares the window and shows it; false (window not shown) when the
  // source message cannot be read. `selection` is the text to quote when
  // setup.selection_only is set.
  bool SetupMessage(const ComposeSetup& setup, const std::string& subject = "",
                    const std::string& selection = "");
  bool OpenStoredMessage(const std::string& message_ref, bool as_new);
  void NewMessageWithAttachment(const std::string& to, const std::string& subject, const std::string& path);

  // --- Building and storing -------------------------------------------------
  bool ValidateMessage();
  void BuildMessage();
  // target: "Unfinished" or "Unsent".
  bool SaveMessage(const std::string& target, bool move);
  const cMailMessage& Message() const { return msg_; }
  bool HasStoredCopy() const { return stored_; }
  const std::string& StoredPath() const { return stored_path_; }
  const std::string& StoredKey() const { return stored_key_; }
  bool Modified() const { return modified_; }

  // --- Editing aids ---------------------------------------------------------
  void AddAttachmentFile(const std::string& path);
  // Files dropped on the window: each local file is attached.
  void AddDroppedFiles(const QList<QUrl>& urls);
  void InsertSignature(const std::string& name);
  void RebuildSignaturesMenu();
  // The editor text with "\n" line breaks.
  std::string EditorText() const;
  // The auto-complete list built at creation.
  const StringList& AutoCompleteList() const { return autocomplete_list_; }
  bool SpellCheckAvailable() const;
  TSpellChecker& SpellChecker() { return *spell_; }
  // The text panel of the status bar.
  QString StatusText() const;

  // Controls (names as the designers named them).
  QLabel* lblFrom;
  QLabel* lblAccount;
  QLabel* lblTo;
  QLabel* lblCC;
  QLabel* lblBCC;
  QLabel* lblSubject;
  QLineEdit* edtFrom;
  QComboBox* ServersList;
  QLineEdit* edtTo;
  QLineEdit* edtCC;
  QLineEdit* edtBCC;
  QLineEdit* edtSubject;
  QTextEdit* RichEdit;
  QListWidget* lstAttachments;
  QSplitter* AttachsSplitter;
  QToolBar* tbMain;
  QMenu* popSignatures;
  QMenu* popContactsBrowser;
  QMenu* popAttachments;
  QTimer* AutoCompleteTimer;
  QLabel* pnlCaps;
  QLabel* pnlNum;
  QLabel* pnlInsert;
  QLabel* pnlScroll;
  QLabel* pnlText;

  // The menu commands and toolbar buttons by object name ("mnuSendNow").
  QAction* Command(const char* name) const;

  // --- Event handlers -------------------------------------------------------
  void ServersListClick();
  void mnuSendNowClick();
  void mnuSendLaterClick();
  void mnuFinishLaterClick();
  void mnuSaveClick();
  void mnuInsertAttachmentClick();
  void popRemoveAttachmentClick();
  void mnuInsertTextFileClick();
  void mnuInsertDateClick();
  void mnuInsertTimeClick();
  void mnuInsertDateTimeClick();
  void mnuComputerInfoClick();
  void mnuInsertSignatureClick();
  void tbSignatureClick();
  void mnuManageSignaturesClick();
  void mnuPasteQuotedClick();
  void mnuRewrapClick();
  void mnuSpellCheckClick();
  void mnuSpellOptionsClick();
  void AutoCompleteTimerTimer();
  // Contacts menus of the address labels (0 To, 1 CC, 2 BCC).
  void AddressLabelRightClick(int field, const QPoint& global_pos);
  void AddressLabelClick(int field);
  void RichEditSelectionChange();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  void ApplyFonts();
  void LoadViewSettings();
  void SaveViewSettings();
  void ApplyView();
  void SetModified() {
    if (!suppress_modified_) modified_ = true;
  }
  void UpdateCaption();
  QLineEdit* AddressField(int field) const;
  void AppendEditorLines(const StringList& lines);
  void InsertAtCaret(const std::string& text);
  void SetEditorBody(const StringList& lines, const std::vector<int>& levels, size_t caret);
  bool SelectAccount(const std::string& account);
  void FocusField(QWidget* w);
  QAction* AddCommand(QMenu* menu, const char* name, const QString& text, void (TfrmCompose::*slot)(),
                      const QKeySequence& shortcut = {});

  cMailMessage msg_;
  bool stored_ = false;
  std::string stored_path_;
  std::string stored_key_;
  bool modified_ = false;
  bool suppress_modified_ = false;
  bool closing_ = false;
  QWidget* focus_after_show_ = nullptr;
  StringList autocomplete_list_;
  std::unique_ptr<TSpellChecker> spell_;
  bool caps_on_ = false, num_on_ = false, scroll_on_ = false;
  std::vector<QWidget*> from_row_, cc_row_, bcc_row_;
};

}  // namespace qm
