// quillmar-cli tree: the folder tree of the data directory with its counters.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_store.h"
#include "store/ref_list.h"

namespace qm::cli {

namespace {

constexpr const char* kUsage = "tree [--recount]    the folder tree with unread/total counters";

// Counts what the mailbox file holds (as opening it in the list does).
void Recount(cFolderNode& node) {
  TQDB* db = nullptr;
  if (!GetQDBForFile(node.info.path, db)) return;
  int unread = 0;
  for (int i = 0; i < db->Count(); ++i) {
    cMailMessage msg;
    if (!GetMessage(*db, msg, false, "", i)) break;
    if (!msg.Read) ++unread;
  }
  node.info.total = db->Count();
  node.info.unread = unread;
  // Nothing changed: close without rewriting the file.
  db->SetSaveOnClose(false);
  ReleaseQDB(db);
}

void Print(const cFolderNode& node, int depth) {
  std::string line(depth * 2, ' ');
  line += node.caption;
  if (node.IsMailbox()) line += "  " + std::to_string(node.info.unread) + "/" + std::to_string(node.info.total);
  std::printf("%s\n", line.c_str());
  for (const auto& child : node.Children()) Print(*child, depth + 1);
}

int TreeCommand(const std::vector<std::string>& args) {
  bool recount = false;
  for (const std::string& a : args) {
    if (a == "--recount") recount = true;
    else return UsageError(std::string("usage: ") + kUsage);
  }
  if (!OpenDataDirectory()) return 1;
  BuildFolderTree();
  if (recount) {
    // Only mailboxes whose files exist: a standard one is made by opening.
    std::vector<cFolderNode*> boxes;
    FolderTree().ForEach([&](cFolderNode& n) {
      if (n.IsMailbox() && FileExists(n.info.path)) boxes.push_back(&n);
    });
    for (cFolderNode* n : boxes) Recount(*n);
  }
  if (FolderTree().Root()) Print(*FolderTree().Root(), 0);
  FolderTree().Clear();
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const CommandRegistration kTree("tree", kUsage, TreeCommand);

}  // namespace

}  // namespace qm::cli
