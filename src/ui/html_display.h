#pragma once
// The viewer's HTML display. Received mail is untrusted: nothing is ever
// fetched from the network (remote images, style sheets, frames), no script
// runs, and links are only reported, never followed by the display itself.
#include <QTextBrowser>
#include <string>

#include "platform/text_lines.h"

namespace qm {

class THtmlDisplay : public QTextBrowser {
  Q_OBJECT
 public:
  explicit THtmlDisplay(QWidget* parent = nullptr);

  // Files of the shown message; "cid:" images are looked up among them.
  void SetAttachmentFiles(const StringList& files);

  // Resources asked for that were refused (remote or unknown), for diagnosis.
  int refused_resources() const { return refused_; }

  // The attachment file that a "cid:" reference names, or "" when none does:
  // the part before "@" or the whole id, compared with the file names
  // case-insensitively.
  static std::string FindContentIdFile(const std::string& cid, const StringList& files);

  QVariant loadResource(int type, const QUrl& name) override;

 signals:
  void LinkClicked(const QString& link);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  StringList attachments_;
  int refused_ = 0;
};

}  // namespace qm
