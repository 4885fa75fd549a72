#pragma once
// The pictures of the main window: nodes, rows, status panels, tray states and
// commands. Freedesktop theme names first, the style's own pictures as fallback.
#include <QIcon>
#include <QString>

namespace qm {

enum class NodeIcon { Root, Account, Folder, Mailbox, Inbox, Unsent, Unfinished, SentItems, Trash };
enum class RowIcon { Unread, Answered, Html, Read };
enum class TrayState { Normal, TasksRunning, NewMail, Errors };

QIcon NodePicture(NodeIcon which);
QIcon RowPicture(RowIcon which);
QIcon TrayPicture(TrayState which);
QIcon TasksRunningPicture();
QIcon OnlinePicture(bool offline);
QIcon AttachmentPicture();
QIcon ContactPicture();
QIcon ContactGroupPicture(bool main_book);
// A command's picture by its theme name, with a style fallback.
QIcon CommandPicture(const QString& theme_name);

}  // namespace qm
