#include "ui/open_link.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "shell/app_paths.h"
#include "ui/qt_text.h"

namespace qm {

bool OpenLinkWithBrowser(const std::string& link) {
  if (link.empty()) return false;
  bool custom = OptionsIni && OptionsIni->ReadBool("Browser", "UseCustom", false);
  if (custom) {
    std::string program = ExpandAppDir(OptionsIni->ReadString("Browser", "Path", ""));
    if (program.empty()) return false;
    return QProcess::startDetached(Q(program), {Q(link)});
  }
  return QDesktopServices::openUrl(QUrl::fromUserInput(Q(link)));
}

void OpenLink(const std::string& link) { OpenLinkWithBrowser(link); }

bool OpenWithShell(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

}  // namespace qm
