#include "ui/main_icons.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QStyle>

namespace qm {

namespace {

// Without a desktop session Qt has no theme; use the one Debian installs.
void EnsureTheme() {
  static bool done = false;
  if (done) return;
  done = true;
  if (!QIcon::hasThemeIcon("mail-unread")) {
    for (const char* name : {"Adwaita", "gnome", "hicolor"}) {
      QIcon::setThemeName(name);
      if (QIcon::hasThemeIcon("mail-unread")) break;
    }
  }
}

QIcon Standard(QStyle::StandardPixmap sp) { return QApplication::style()->standardIcon(sp); }

QIcon Themed(const QString& name, QStyle::StandardPixmap fallback) {
  EnsureTheme();
  QIcon icon = QIcon::fromTheme(name);
  if (icon.isNull() || icon.availableSizes().isEmpty()) icon = Standard(fallback);
  return icon;
}

// A small coloured dot over a base picture: keeps states apart when the theme
// offers one picture for several of them.
QIcon WithDot(const QIcon& base, QColor colour) {
  QPixmap pm = base.pixmap(16, 16);
  if (pm.isNull()) {
    pm = QPixmap(16, 16);
    pm.fill(Qt::transparent);
  }
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(colour);
  p.setPen(Qt::white);
  p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
  return QIcon(pm);
}

}  // namespace

QIcon NodePicture(NodeIcon which) {
  switch (which) {
    case NodeIcon::Root: return Themed("computer", QStyle::SP_ComputerIcon);
    case NodeIcon::Account: return Themed("network-server", QStyle::SP_DriveNetIcon);
    case NodeIcon::Folder: return Themed("folder", QStyle::SP_DirIcon);
    case NodeIcon::Mailbox: return Themed("emblem-mail", QStyle::SP_FileIcon);
    case NodeIcon::Inbox: return Themed("mail-send-receive", QStyle::SP_ArrowDown);
    case NodeIcon::Unsent: return Themed("mail-send", QStyle::SP_ArrowUp);
    case NodeIcon::Unfinished: return Themed("accessories-text-editor", QStyle::SP_FileDialogDetailedView);
    case NodeIcon::SentItems: return Themed("mail-replied", QStyle::SP_DialogApplyButton);
    case NodeIcon::Trash: return Themed("user-trash", QStyle::SP_TrashIcon);
  }
  return {};
}

QIcon RowPicture(RowIcon which) {
  switch (which) {
    case RowIcon::Unread: return Themed("mail-unread", QStyle::SP_MessageBoxInformation);
    case RowIcon::Answered: return Themed("mail-replied", QStyle::SP_DialogApplyButton);
    case RowIcon::Html: return Themed("text-html", QStyle::SP_FileIcon);
    case RowIcon::Read: return Themed("mail-read", QStyle::SP_FileIcon);
  }
  return {};
}

QIcon TrayPicture(TrayState which) {
  static QHash<int, QIcon> cache;
  auto it = cache.find(static_cast<int>(which));
  if (it != cache.end()) return *it;
  QIcon base = Themed("mail-read", QStyle::SP_FileIcon);
  QIcon icon;
  switch (which) {
    case TrayState::Normal: icon = base; break;
    case TrayState::TasksRunning: icon = WithDot(Themed("mail-send-receive", QStyle::SP_BrowserReload), QColor(40, 120, 220)); break;
    case TrayState::NewMail: icon = WithDot(Themed("mail-unread", QStyle::SP_MessageBoxInformation), QColor(30, 160, 60)); break;
    case TrayState::Errors: icon = WithDot(base, QColor(210, 30, 30)); break;
  }
  cache.insert(static_cast<int>(which), icon);
  return icon;
}

QIcon TasksRunningPicture() { return Themed("emblem-synchronizing", QStyle::SP_BrowserReload); }
QIcon OnlinePicture(bool offline) {
  return offline ? Themed("network-offline", QStyle::SP_DialogCancelButton)
                 : Themed("network-idle", QStyle::SP_DriveNetIcon);
}
QIcon AttachmentPicture() { return Themed("mail-attachment", QStyle::SP_FileLinkIcon); }
QIcon ContactPicture() { return Themed("avatar-default", QStyle::SP_DirHomeIcon); }
QIcon ContactGroupPicture(bool main_book) {
  return main_book ? Themed("x-office-address-book", QStyle::SP_DirHomeIcon)
                   : Themed("system-users", QStyle::SP_DirIcon);
}
QIcon CommandPicture(const QString& theme_name) { return Themed(theme_name, QStyle::SP_CommandLink); }

}  // namespace qm
