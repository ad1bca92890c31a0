// The main window's controls by form name: each name is written here once, and every user names the control
// through its constant.
#pragma once

#include "runtime/form.h"

inline constexpr ControlName kResultList{"超级列表框1"};
inline constexpr ControlName kFirstIdLabel{"透明标签1"};
inline constexpr ControlName kFirstIdEdit{"编辑框1"};
inline constexpr ControlName kCountLabel{"透明标签2"};
inline constexpr ControlName kCountEdit{"编辑框2"};
inline constexpr ControlName kStartButton{"按钮1"};
inline constexpr ControlName kProgressBar{"进度条1"};
inline constexpr ControlName kProgressLabel{"透明标签5"};  // over the progress bar; also the copy notices
inline constexpr ControlName kStatusLine{"透明标签3"};
inline constexpr ControlName kEmptyTitleFilter{"选择框1"};
inline constexpr ControlName kSearchLabel{"透明标签4"};
inline constexpr ControlName kSearchColumn{"组合框1"};
inline constexpr ControlName kSearchEdit{"编辑框3"};
inline constexpr ControlName kListFileDialog{"通用对话框1"};  // the open and save dialog of list files
