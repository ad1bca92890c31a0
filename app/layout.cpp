// The main window's layout after a change of its size.
#include "app/layout.h"

std::vector<Placement> MainWindowPlacements(int width, int height, int status_height) {
    const int label_top = height - status_height - 30;  // the bottom row's labels
    const int field_top = height - status_height - 28;  // the bottom row's edit boxes, buttons and bar
    const int narrow = width - 757;                     // what the progress bar and label get
    return {
        {"超级列表框1", Edge::Width, width - 16},
        {"超级列表框1", Edge::Left, 8},
        {"超级列表框1", Edge::Height, height - 80},
        {"透明标签3", Edge::Top, height - status_height - 5},
        {"透明标签1", Edge::Top, label_top},
        {"透明标签2", Edge::Top, label_top},
        {"编辑框1", Edge::Top, field_top},
        {"编辑框2", Edge::Top, field_top},
        {"按钮1", Edge::Top, field_top},
        {"透明标签4", Edge::Top, label_top},
        {"选择框1", Edge::Top, label_top},
        {"组合框1", Edge::Top, field_top},
        {"编辑框3", Edge::Top, field_top},
        {"编辑框3", Edge::Left, width - 165},
        {"组合框1", Edge::Left, width - 235},
        {"透明标签4", Edge::Left, width - 285},
        {"选择框1", Edge::Left, width - 400},
        {"透明标签3", Edge::Width, width},
        {"进度条1", Edge::Top, field_top},
        {"进度条1", Edge::Width, narrow},
        {"透明标签5", Edge::Top, label_top},
        {"透明标签5", Edge::Width, narrow},
    };
}
