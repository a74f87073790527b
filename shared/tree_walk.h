// A depth-first walk of a tree (folders, registry keys) on an explicit stack,
// so that the depth a walk reaches is bounded by memory, not by the stack of
// the caller's thread; and the backslash-separated paths of such trees.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tk {

// A folder's path or a key's subkey without one trailing backslash.
inline std::string WithoutTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

// enter(node, children) is called when the walk reaches a node and fills
// `children` with the nodes below it, which are walked in that order;
// leave(node) is called once all of them have been left. The first false
// either returns ends the walk with false.
template <typename Node, typename Enter, typename Leave>
bool WalkDepthFirst(Node root, Enter&& enter, Leave&& leave) {
  struct Level {
    Node node;
    std::vector<Node> children;
    std::size_t next = 0;
  };
  std::vector<Level> path;
  path.push_back({std::move(root), {}, 0});
  if (!enter(path.back().node, path.back().children)) return false;
  while (!path.empty()) {
    Level& deepest = path.back();
    if (deepest.next < deepest.children.size()) {
      Level child{std::move(deepest.children[deepest.next++]), {}, 0};
      if (!enter(child.node, child.children)) return false;
      path.push_back(std::move(child));
      continue;
    }
    if (!leave(deepest.node)) return false;
    path.pop_back();
  }
  return true;
}

// The walk for operations that have nothing to do once a node's children are done.
template <typename Node, typename Enter>
bool WalkDepthFirst(Node root, Enter&& enter) {
  return WalkDepthFirst(std::move(root), std::forward<Enter>(enter),
                        [](const Node&) { return true; });
}

}  // namespace tk
