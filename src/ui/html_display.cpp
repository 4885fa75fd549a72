#include "ui/html_display.h"

#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QUrl>

#include "platform/file_system.h"
#include "shell/text_utils.h"
#include "ui/qt_text.h"

namespace qm {

THtmlDisplay::THtmlDisplay(QWidget* parent) : QTextBrowser(parent) {
  setFrameShape(QFrame::NoFrame);
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setUndoRedoEnabled(false);
  setTextInteractionFlags(Qt::TextBrowserInteraction);
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    // anchorClicked only fires on a real click (or Enter on a focused link).
    emit LinkClicked(url.toString());
  });
}

void THtmlDisplay::SetAttachmentFiles(const StringList& files) { attachments_ = files; }

std::string THtmlDisplay::FindContentIdFile(const std::string& cid, const StringList& files) {
  if (cid.empty()) return "";
  std::string before_at = cid.substr(0, cid.find('@'));
  for (const std::string& file : files) {
    std::string name = ExtractFileName(file);
    if (SameTextAscii(name, cid) || (!before_at.empty() && SameTextAscii(name, before_at))) return file;
  }
  return "";
}

QVariant THtmlDisplay::loadResource(int type, const QUrl& name) {
  QString scheme = name.scheme().toLower();
  if (scheme == "cid" && type == QTextDocument::ImageResource) {
    std::string cid = S(QUrl::fromPercentEncoding(name.path().toUtf8()));
    std::string file = FindContentIdFile(cid, attachments_);
    if (!file.empty()) {
      QImage image(Q(file));
      if (!image.isNull()) return image;
    }
    ++refused_;
    return QVariant();
  }
  if (scheme == "data") return QTextBrowser::loadResource(type, name);
  // http, https, ftp, file, relative names and everything else: nothing.
  ++refused_;
  return QVariant();
}

void THtmlDisplay::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
    return;
  }
  if (event->matches(QKeySequence::Copy)) {
    copy();
    return;
  }
  QTextBrowser::keyPressEvent(event);
}

}  // namespace qm
