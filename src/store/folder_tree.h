#pragma once
// The folder tree as a plain model: accounts, folders and mailboxes on disk
// under MailDir, each node carrying its cFolderNodeInfo. The main window's
// tree mirrors it through cFolderTreeListener. One process-wide instance
// (FolderTree()); its nodes and counters are guarded by the store lock.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qm {

enum : uint8_t {
  fnkRoot = 0,
  fnkAccount = 1,
  fnkFolder = 2,
  fnkMailbox = 3,
};

struct cFolderNodeInfo {
  uint8_t kind = fnkRoot;
  std::string path;   // directory ending in "/" (kinds 0 to 2) or the mailbox file
  int32_t unread = 0; // mailboxes only
  int32_t total = 0;
};

// Icons of the main window's small image list.
enum : int {
  kIconRoot = 0,
  kIconInbox = 1,
  kIconUnsent = 2,
  kIconSentItems = 3,
  kIconUnfinished = 4,
  kIconTrash = 5,
  kIconMailbox = 6,
  kIconFolder = 7,
  kIconAccount = 8,
};

class cFolderNode {
 public:
  cFolderNodeInfo info;
  std::string caption;
  int icon = kIconMailbox;
  bool expanded = false;

  cFolderNode* Parent() const { return parent_; }
  const std::vector<std::unique_ptr<cFolderNode>>& Children() const { return children_; }
  int IndexInParent() const;
  bool IsMailbox() const { return info.kind == fnkMailbox; }
  // True when `other` is this node or lies below it.
  bool Contains(const cFolderNode* other) const;

 private:
  friend class cFolderTree;
  cFolderNode* parent_ = nullptr;
  std::vector<std::unique_ptr<cFolderNode>> children_;
};

// What the window's tree listens to. Calls come with the store lock held, on
// whichever thread made the change; a window posts them to its own thread.
class cFolderTreeListener {
 public:
  virtual ~cFolderTreeListener() = default;
  virtual void NodeAdded(cFolderNode& node) = 0;
  virtual void NodeAboutToBeRemoved(cFolderNode& node) = 0;
  // Caption, path or counters changed; `scroll_into_view` when the node now
  // has unread messages.
  virtual void NodeChanged(cFolderNode& node, bool scroll_into_view) = 0;
  virtual void TreeCleared() = 0;
  virtual void SelectionChanged(cFolderNode* node) = 0;
};

class cFolderTree {
 public:
  cFolderTree();
  ~cFolderTree();
  cFolderTree(const cFolderTree&) = delete;
  cFolderTree& operator=(const cFolderTree&) = delete;

  // Null before the first BuildFolderTree.
  cFolderNode* Root() const { return root_.get(); }
  // The first node in display order (the root), or null.
  cFolderNode* FirstNode() const { return root_.get(); }

  void Clear();
  cFolderNode* SetRoot(const std::string& path, const std::string& caption);
  // Appends a child (or inserts it at `index`).
  cFolderNode* AddChild(cFolderNode* parent, uint8_t kind, const std::string& caption, const std::string& path,
                        int icon, int index = -1);
  // Removes the node with its children; the selection moves to none when
  // it was inside.
  void RemoveNode(cFolderNode* node);
  void RemoveChildren(cFolderNode* node);
  // Moves a node (with its children) under another parent at `index`.
  void MoveNode(cFolderNode* node, cFolderNode* new_parent, int index = -1);

  // The node whose path equals `path` exactly, in display order.
  cFolderNode* FindNodeByPath(const std::string& path) const;
  // Every node in display order.
  void ForEach(const std::function<void(cFolderNode&)>& fn) const;

  cFolderNode* Selected() const { return selected_; }
  void Select(cFolderNode* node);

  void NotifyChanged(cFolderNode& node, bool scroll_into_view = false);

  void AddListener(cFolderTreeListener* listener);
  void RemoveListener(cFolderTreeListener* listener);

 private:
  std::unique_ptr<cFolderNode> root_;
  cFolderNode* selected_ = nullptr;
  std::vector<cFolderTreeListener*> listeners_;
};

cFolderTree& FolderTree();

}  // namespace qm
