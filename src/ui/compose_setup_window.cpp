// TfrmCompose: setting a window up for a new message, a reply, a forward or
// a stored message, and the account change.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "accounts/account_list.h"
#include "accounts/account_settings.h"
#include "contacts/signatures.h"
#include "message/line_wrap.h"
#include "shell/app_paths.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "ui/compose_setup.h"
#include "ui/compose_window.h"
#include "ui/qt_text.h"

namespace qm {

namespace {

std::string Opt(const char* section, const char* key, const char* def) {
  return OptionsIni ? OptionsIni->ReadString(section, key, def) : def;
}
bool OptBool(const char* section, const char* key, bool def) {
  return OptionsIni ? OptionsIni->ReadBool(section, key, def) : def;
}
int OptInt(const char* section, const char* key, int def) {
  return OptionsIni ? OptionsIni->ReadInteger(section, key, def) : def;
}

// 0x00BBGGRR as a colour.
QColor ColourOf(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

// Reads a stored message by reference. `opened` tells whether its mailbox
// could be opened at all.
bool LoadByRef(const std::string& ref, cMailMessage& msg, bool& opened) {
  InitMessage(msg);
  opened = false;
  std::string path, key;
  if (!ParseMessageRef(ref, path, key)) return false;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return false;
  opened = true;
  bool ok = GetMessage(*db, msg, true, key);
  ReleaseQDB(db);
  return ok;
}

}  // namespace

void TfrmCompose::SetEditorBody(const StringList& lines, const std::vector<int>& levels, size_t caret) {
  RichEdit->clear();
  QTextCursor c(RichEdit->document());
  QTextCharFormat normal;
  QColor single = ColourOf(OptInt("Colours", "SingleQuote", 3827653));
  QColor dbl = ColourOf(OptInt("Colours", "DoubleQuote", 10485760));
  for (size_t i = 0; i < lines.size(); ++i) {
    QTextCharFormat f = normal;
    int level = i < levels.size() ? levels[i] : 0;
    if (level == 1) f.setForeground(single);
    if (level == 2) f.setForeground(dbl);
    c.insertText(Q(lines[i]), f);
    c.insertText("\n", normal);
  }
  RichEdit->setCurrentCharFormat(normal);
  QTextCursor at(RichEdit->document());
  at.setPosition(std::min<int>(static_cast<int>(caret), RichEdit->document()->characterCount() - 1));
  RichEdit->setTextCursor(at);
}

bool TfrmCompose::SelectAccount(const std::string& account) {
  int i = ServersList->findText(Q(account));
  ServersList->setCurrentIndex(i);
  return i >= 0;
}

void TfrmCompose::ServersListClick() {
  if (ServersList->currentIndex() < 0) {
    edtFrom->clear();
    return;
  }
  std::string account = S(ServersList->currentText());
  cAccountSettings s = LoadAccount(account);
  msg_.Organization = s.Organization;
  msg_.ReplyTo = s.ReplyAddress;
  std::string email = AccountSenderAddress(account);
  edtFrom->setText(Q(s.Name.empty() ? email : s.Name + " <" + email + ">"));
}

void TfrmCompose::FocusField(QWidget* w) {
  focus_after_show_ = w;
  w->setFocus();
}

bool TfrmCompose::SetupMessage(const ComposeSetup& setup, const std::string& subject, const std::string& selection) {
  suppress_modified_ = true;
  const bool insert_sig = OptBool("Message", "InsertDefSig", true);
  ComposeBodyParams p;
  p.reply_at_bottom = OptBool("Message", "PlaceReplyAtBottom", true);
  const bool insert_date = OptBool("Message", "InsertDateTime", false);
  p.colour_quotes = OptBool("Replying", "ColourQuotedText", true);
  p.quote_prefix = Opt("Message", "MsgQuoteChar", "> ");

  std::string account;
  QWidget* focus = nullptr;
  cMailMessage src;
  InitMessage(src);
  if (setup.kind != ComposeKind::New) {
    bool opened = false;
    if (!LoadByRef(setup.source_ref, src, opened) && opened) {
      FreeMessage(src);
      suppress_modified_ = false;
      return false;
    }
    std::string prefix;
    if (setup.kind == ComposeKind::Reply) {
      p.quoting = OptBool("Message", "QuoteReplies", true);
      prefix = Opt("Replying", "ReplyPrefix", "Re: ");
      edtTo->setText(Q(setup.reply_all ? ReplyAllRecipients(src) : src.FromAddress));
      focus = RichEdit;
    } else {
      p.quoting = OptBool("Message", "QuoteForwards", true);
      prefix = Opt("Replying", "ForwardPrefix", "FW: ");
      if (src.Attachments)
        for (const std::string& path : *src.Attachments) AddAttachmentFile(path);
      focus = edtTo;
    }
    if (setup.quoted) p.quoting = true;
    account = src.Account;
    msg_.SourceRef = setup.source_ref;
    edtSubject->setText(Q(NumberedSubject(src.Subject, prefix, OptBool("Message", "IncrementSubject", true))));
  } else {
    account = setup.account.empty() ? GetDefaultAccount() : setup.account;
    edtTo->setText(Q(setup.to));
    edtSubject->setText(Q(subject));
    focus = setup.to.empty() ? static_cast<QWidget*>(edtTo)
                             : !subject.empty() ? static_cast<QWidget*>(RichEdit) : edtSubject;
  }

  if (insert_sig) {
    std::string sig = setup.signature;
    if (sig.empty() && !account.empty()) sig = LoadAccount(account).Signature;
    if (sig.empty()) sig = GetDefaultSignature();
    if (!sig.empty() && LoadSignature(sig, p.signature)) p.has_signature = true;
  }

  if (p.quoting) {
    std::string text;
    if (setup.selection_only)
      text = selection;
    else if (src.Body)
      text = JoinLines(*src.Body);
    if (IsAutoWrapOn()) text = WrapMessageText(text);
    p.quoted = SplitLines(text);
    p.header = ExpandReplyFormat(Opt("Replying", "ReplyFormat", "$FROM wrote on $DATE:"), src.From, src.To,
                                 FormatDateText(src.Date));
  }
  if (insert_date) p.date_text = FormatDateText(0);
  ComposeBody body = BuildComposeBody(p);
  SetEditorBody(body.lines, body.levels, body.caret);
  FreeMessage(src);

  if (SelectAccount(account)) ServersListClick();
  modified_ = false;
  suppress_modified_ = false;
  show();
  FocusField(focus);
  return true;
}

bool TfrmCompose::OpenStoredMessage(const std::string& message_ref, bool as_new) {
  cMailMessage m;
  bool opened = false;
  if (!LoadByRef(message_ref, m, opened)) {
    FreeMessage(m);
    return false;
  }
  suppress_modified_ = true;
  edtFrom->setText(Q(m.From));
  SelectAccount(m.Account);
  edtTo->setText(Q(m.To));
  edtCC->setText(Q(m.CC));
  edtBCC->setText(Q(m.BCC));
  if (!m.CC.empty()) Command("mnuViewCC")->setChecked(true);
  if (!m.BCC.empty()) Command("mnuViewBCC")->setChecked(true);
  edtSubject->setText(Q(m.Subject));
  std::string text;
  for (const std::string& line : *m.Body) text += line + "\n";
  RichEdit->setPlainText(Q(text));
  msg_.Organization = m.Organization;
  msg_.ReplyTo = m.ReplyTo;
  msg_.SourceRef = m.SourceRef;
  for (const std::string& path : *m.Attachments) AddAttachmentFile(path);
  if (!as_new) {
    std::string key;
    ParseMessageRef(message_ref, stored_path_, key);
    stored_key_ = key;
    stored_ = true;
  }
  FreeMessage(m);
  modified_ = false;
  suppress_modified_ = false;
  show();
  FocusField(RichEdit);
  return true;
}

void TfrmCompose::NewMessageWithAttachment(const std::string& to, const std::string& subject,
                                           const std::string& path) {
  ComposeSetup setup;
  setup.to = to;
  SetupMessage(setup, subject);
  if (!path.empty()) {
    AddAttachmentFile(path);
    modified_ = false;
  }
}

}  // namespace qm
