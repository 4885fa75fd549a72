#include "ui/startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QUrl>
#include <exception>

#include "platform/app_dir.h"
#include "platform/desktop_integration.h"
#include "platform/file_system.h"
#include "platform/registry_store.h"
#include "shell/app_paths.h"
#include "shell/command_line.h"
#include "shell/default_client.h"
#include "shell/hand_off.h"
#include "shell/password_encoding.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "transport/dialup_hangup.h"
#include "ui/compose_entry.h"
#include "ui/default_client_prompt.h"
#include "ui/error_dialog.h"
#include "ui/generic_prompt_dialog.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/single_instance.h"

namespace qm {

namespace {

// False when the process is to end.
bool AskStartupPassword() {
  if (!OptionsIni->ReadBool("Options", "PromptStartupPwd", false)) return true;
  auto [ok, typed] = PromptText<TfrmStartupPasswordPrompt>("");
  if (!ok) return false;
  std::string stored = DecodePassword(OptionsIni->ReadString("Options", "StartupPwd", ""));
  if (typed == stored) return true;
  QMessageBox::critical(nullptr, "Bad password", "The password is wrong. QM will now quit");
  return false;
}

}  // namespace

std::vector<std::string> NormaliseDesktopArguments(std::vector<std::string> args) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (!SameTextAscii(args[i], "-newmail")) continue;
    const std::string& next = args[i + 1];
    if (StartsWithText(next, "mailto:")) {
      ++i;
      continue;
    }
    std::string path = next;
    if (StartsWithText(next, "file://")) path = S(QUrl(Q(next)).toLocalFile());
    args.erase(args.begin() + static_cast<long>(i));
    args[i] = path;
  }
  return args;
}

int RunQuillmar(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Torvane Quillmar");
  QApplication::setApplicationDisplayName("Torvane Quillmar");
  QApplication::setQuitOnLastWindowClosed(true);
  QApplication::setWindowIcon(QIcon::fromTheme("mail-client", QIcon::fromTheme("internet-mail")));

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  const CommandLineInfo cmd = ParseCommandLine(NormaliseDesktopArguments(args));

  try {
    InitialisePaths(ResolveAppDir());
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Torvane Quillmar",
                          QString("The data directory cannot be used:\n%1").arg(Q(e.what())));
    return 1;
  }
  SetErrorSink(std::make_shared<QtErrorSink>());

  // The marker listens from here on, before any question is asked: a start
  // during the password prompt, the default-client question or the first
  // account's dialog hands over to this one instead of running beside it.
  const QString instance = InstanceServerName(AppDir);
  auto* marker = new TfrmAppID(&app);
  const InstanceClaim claim = marker->Claim(instance);
  if (claim == InstanceClaim::kRunning) {
    delete marker;
    if (!cmd.has_command_line) return 0;
    try {
      WriteHandOffFile(HandOffFile(), cmd);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quillmar: cannot hand the request over: %s\n", e.what());
      return 1;
    }
    ContactRunningInstance(instance, true);
    return 0;
  }
  if (claim == InstanceClaim::kFailed)
    std::fprintf(stderr, "quillmar: cannot listen for other starts\n");

  if (!AskStartupPassword()) return 0;

  {
    RegistryStore store(RegistryStore::DefaultPath());
    const std::string exe = ExecutablePath();
    CheckDefaultClient(*OptionsIni, store, exe, AskDefaultClientQuestion, [&] { RegisterDesktopEntry(exe); });
  }
  LoadRasLibrary();

  QApplication::setQuitOnLastWindowClosed(false);
  auto* main = new TfrmMain;
  main->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(main, &QObject::destroyed, &app, &QApplication::quit);
  QObject::connect(marker, &TfrmAppID::NewMsgMessage, main, &TfrmMain::ReceiveHandOff);
  // Requests held since the instance check are taken once the loop runs, after
  // this start's own request below.
  marker->StartDelivering();

  if (!OptionsIni->ReadBool("Options", "StartInTray", false)) main->show();
  if (OptionsIni->ReadBool("Options", "FetchOnStartup", false)) main->CheckMailOnAllAccounts();
  if (cmd.has_command_line) OpenComposeForRequest(cmd);

  int status = app.exec();
  ReleaseSettings();
  return status;
}

}  // namespace qm
