// FMain's logic without the window: which page a tab or a key shows, which
// command a key runs, and where the controls go when the window is sized.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace app::shell {

// Set in the program's environment, it keeps the main window from watching
// the hosts file (tests of what a command does without a notice).
inline constexpr char kNoHostsWatchVariable[] = "HEDGEROW_NO_HOSTS_WATCH";

// Tab keys, in strip order.
inline constexpr char kHelpTabKey[] = "help";
inline constexpr char kBlockSiteTabKey[] = "blocksite";
inline constexpr int kPageCount = 2;

// "help" 1, "blocksite" 2, any other key (letter case counts) 0.
std::int32_t TabIndexFromKey(std::string_view key);

// Modifier bits of a key event.
enum Modifier : int { kShift = 1, kCtrl = 2, kAlt = 4 };
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyF5 = 116;

enum class KeyCommand { kNone, kRefresh, kNextPage, kPreviousPage };

// F5 alone refreshes; Ctrl+Tab and Ctrl+Shift+Tab (Alt may be down too) move
// between pages.
KeyCommand KeyCommandOf(int keyCode, int modifiers);

// The page after or before `current` (1-based), wrapping at both ends.
std::int32_t NextPage(std::int32_t current, std::int32_t pageCount);
std::int32_t PreviousPage(std::int32_t current, std::int32_t pageCount);

// Sizes of the main window's controls in twips. A size that would become
// negative is not assigned: the control keeps its last one.
struct MainLayout {
  std::optional<int> tabHeight, tabWidth, pageHeight, pageWidth, noteTop;
};
void LayOutMain(MainLayout& layout, int clientWidth, int clientHeight);

// The help pane's description label, as the main layout.
struct HelpLayout {
  std::optional<int> labelWidth, labelHeight;
};
void LayOutHelp(HelpLayout& layout, int paneWidth, int paneHeight);

// Design positions in twips.
inline constexpr int kTabLeft = 90;
inline constexpr int kPageLeft = 300;
inline constexpr int kPageTop = 435;
inline constexpr int kHelpLabelLeft = 1000;
inline constexpr int kHelpLabelTop = 240;

}  // namespace app::shell
