#include "store/folder_tree.h"

#include <algorithm>

#include "store/store_lock.h"

namespace qm {

namespace {

bool ForEachNode(cFolderNode& node, const std::function<bool(cFolderNode&)>& fn) {
  if (!fn(node)) return false;
  for (const auto& child : node.Children())
    if (!ForEachNode(*child, fn)) return false;
  return true;
}

}  // namespace

int cFolderNode::IndexInParent() const {
  if (!parent_) return 0;
  const auto& siblings = parent_->children_;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

bool cFolderNode::Contains(const cFolderNode* other) const {
  for (; other; other = other->parent_)
    if (other == this) return true;
  return false;
}

cFolderTree::cFolderTree() = default;
cFolderTree::~cFolderTree() = default;

void cFolderTree::Clear() {
  StoreLock lock;
  root_.reset();
  selected_ = nullptr;
  for (auto* l : listeners_) l->TreeCleared();
}

cFolderNode* cFolderTree::SetRoot(const std::string& path, const std::string& caption) {
  StoreLock lock;
  Clear();
  root_ = std::make_unique<cFolderNode>();
  root_->info.kind = fnkRoot;
  root_->info.path = path;
  root_->caption = caption;
  root_->icon = kIconRoot;
  root_->expanded = true;
  for (auto* l : listeners_) l->NodeAdded(*root_);
  return root_.get();
}

cFolderNode* cFolderTree::AddChild(cFolderNode* parent, uint8_t kind, const std::string& caption,
                                   const std::string& path, int icon, int index) {
  StoreLock lock;
  if (!parent) return nullptr;
  auto node = std::make_unique<cFolderNode>();
  node->info.kind = kind;
  node->info.path = path;
  node->caption = caption;
  node->icon = icon;
  node->parent_ = parent;
  cFolderNode* raw = node.get();
  auto& children = parent->children_;
  if (index < 0 || index > static_cast<int>(children.size())) index = static_cast<int>(children.size());
  children.insert(children.begin() + index, std::move(node));
  for (auto* l : listeners_) l->NodeAdded(*raw);
  return raw;
}

void cFolderTree::RemoveNode(cFolderNode* node) {
  StoreLock lock;
  if (!node) return;
  if (node == root_.get()) {
    Clear();
    return;
  }
  for (auto* l : listeners_) l->NodeAboutToBeRemoved(*node);
  if (selected_ && node->Contains(selected_)) {
    selected_ = nullptr;
    for (auto* l : listeners_) l->SelectionChanged(nullptr);
  }
  auto& siblings = node->parent_->children_;
  siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                [node](const std::unique_ptr<cFolderNode>& p) { return p.get() == node; }),
                 siblings.end());
}

void cFolderTree::RemoveChildren(cFolderNode* node) {
  StoreLock lock;
  if (!node) return;
  while (!node->children_.empty()) RemoveNode(node->children_.back().get());
}

void cFolderTree::MoveNode(cFolderNode* node, cFolderNode* new_parent, int index) {
  StoreLock lock;
  if (!node || !new_parent || node == root_.get() || node->Contains(new_parent)) return;
  for (auto* l : listeners_) l->NodeAboutToBeRemoved(*node);
  auto& siblings = node->parent_->children_;
  auto it = std::find_if(siblings.begin(), siblings.end(),
                         [node](const std::unique_ptr<cFolderNode>& p) { return p.get() == node; });
  std::unique_ptr<cFolderNode> owned = std::move(*it);
  siblings.erase(it);
  owned->parent_ = new_parent;
  auto& children = new_parent->children_;
  if (index < 0 || index > static_cast<int>(children.size())) index = static_cast<int>(children.size());
  children.insert(children.begin() + index, std::move(owned));
  // The mirror sees the branch again from the top.
  ForEachNode(*node, [this](cFolderNode& n) {
    for (auto* l : listeners_) l->NodeAdded(n);
    return true;
  });
}

cFolderNode* cFolderTree::FindNodeByPath(const std::string& path) const {
  StoreLock lock;
  cFolderNode* found = nullptr;
  if (root_)
    ForEachNode(*root_, [&](cFolderNode& n) {
      if (n.info.path != path) return true;
      found = &n;
      return false;
    });
  return found;
}

void cFolderTree::ForEach(const std::function<void(cFolderNode&)>& fn) const {
  StoreLock lock;
  if (root_)
    ForEachNode(*root_, [&](cFolderNode& n) {
      fn(n);
      return true;
    });
}

void cFolderTree::Select(cFolderNode* node) {
  StoreLock lock;
  selected_ = node;
  for (auto* l : listeners_) l->SelectionChanged(node);
}

void cFolderTree::NotifyChanged(cFolderNode& node, bool scroll_into_view) {
  StoreLock lock;
  for (auto* l : listeners_) l->NodeChanged(node, scroll_into_view);
}

void cFolderTree::AddListener(cFolderTreeListener* listener) {
  StoreLock lock;
  listeners_.push_back(listener);
}

void cFolderTree::RemoveListener(cFolderTreeListener* listener) {
  StoreLock lock;
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

cFolderTree& FolderTree() {
  static cFolderTree tree;
  return tree;
}

}  // namespace qm
