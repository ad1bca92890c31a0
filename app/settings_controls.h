// The settings window's controls by form name: each name is written here once.
#pragma once

#include "runtime/form.h"

inline constexpr ControlName kAddressLabel{"地址标签"};
inline constexpr ControlName kAddressEdit{"地址编辑框"};
inline constexpr ControlName kRuleLabel{"规则标签"};
inline constexpr ControlName kRuleChoice{"规则组合框"};
inline constexpr ControlName kConnectionsLabel{"连接数标签"};
inline constexpr ControlName kConnectionsEdit{"连接数编辑框"};
inline constexpr ControlName kPaceLabel{"每秒最多标签"};
inline constexpr ControlName kPaceEdit{"每秒最多编辑框"};
inline constexpr ControlName kPaceHint{"每秒最多说明"};
inline constexpr ControlName kCookieLabel{"Cookie标签"};
inline constexpr ControlName kCookieEdit{"Cookie编辑框"};
inline constexpr ControlName kSettingsNote{
    "结果说明"};  // what "检测" found, and why a setting cannot be used
inline constexpr ControlName kCheckButton{"检测按钮"};
inline constexpr ControlName kOkButton{"确定按钮"};
inline constexpr ControlName kCancelButton{"取消按钮"};
