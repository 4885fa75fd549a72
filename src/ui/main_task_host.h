#pragma once
// The application around the tasks: the main window's switches, tray and
// status text, the UI thread hand-over and the windows tasks need.
#include <memory>

#include "transport/task_ui.h"

namespace qm {

class TfrmMain;

// Installs the window's task host unless one is installed already (tests
// install their own); returns the host installed here, or null.
std::unique_ptr<cTaskHost> InstallMainTaskHost(TfrmMain* main);

}  // namespace qm
