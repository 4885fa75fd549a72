#pragma once
// Builds directory layouts under MailDir and prints the folder tree.
#include <string>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/access_test_support.h"
#include "store/folder_tree.h"
#include "store/message_store.h"

namespace qm {

// One line per node: indentation, caption, kind/icon, counters of mailboxes.
inline void DumpNode(const cFolderNode& n, int depth, std::string& out) {
  out += std::string(depth * 2, ' ') + n.caption + " (" + std::to_string(n.info.kind) + "/" +
         std::to_string(n.icon) + ")";
  if (n.IsMailbox()) out += " " + std::to_string(n.info.unread) + "/" + std::to_string(n.info.total);
  out += "\n";
  for (const auto& c : n.Children()) DumpNode(*c, depth + 1, out);
}

inline std::string DumpTree() {
  std::string out;
  if (FolderTree().Root()) DumpNode(*FolderTree().Root(), 0, out);
  return out;
}

class TreeTest : public StoreTest {
 protected:
  // Paths relative to MailDir; a trailing "/" makes a directory, anything
  // else an empty mailbox (or a plain file when not ending in ".zqf").
  void Make(std::initializer_list<std::string> paths) {
    for (const std::string& p : paths) {
      const std::string full = MailDir + p;
      if (p.back() == '/') {
        ForceDirectories(full);
      } else {
        ForceDirectories(ExtractFilePath(full));
        if (ExtractFileExt(p) == ".zqf") CreateEmptyMailbox(full);
        else WriteFileAtomically(full, "x");
      }
    }
  }
};

}  // namespace qm
