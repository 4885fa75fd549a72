#pragma once
// The store's view of the windows (StoreUi): list refreshes, the status line,
// the mailbox password prompt, the delete-attachments window, questions and
// the first account. Calls from a task's thread are handed to the UI thread.
namespace qm {

class TfrmMain;

void InstallUiStoreBridge(TfrmMain* main);
void RemoveUiStoreBridge(TfrmMain* main);

}  // namespace qm
