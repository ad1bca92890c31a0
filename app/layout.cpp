// The main window's layout after a change of its size.
#include "app/layout.h"

#include "app/main_controls.h"

std::vector<Placement> MainWindowPlacements(int width, int height, int status_height) {
    const int label_top = height - status_height - 30;  // the bottom row's labels
    const int field_top = height - status_height - 28;  // the bottom row's edit boxes, buttons and bar
    const int narrow = width - 757;                     // what the progress bar and label get
    return {
        {kResultList, Edge::Width, width - 16},
        {kResultList, Edge::Left, 8},
        {kResultList, Edge::Height, height - 80},
        {kStatusLine, Edge::Top, height - status_height - 5},
        {kFirstIdLabel, Edge::Top, label_top},
        {kCountLabel, Edge::Top, label_top},
        {kFirstIdEdit, Edge::Top, field_top},
        {kCountEdit, Edge::Top, field_top},
        {kStartButton, Edge::Top, field_top},
        {kSearchLabel, Edge::Top, label_top},
        {kEmptyTitleFilter, Edge::Top, label_top},
        {kSearchColumn, Edge::Top, field_top},
        {kSearchEdit, Edge::Top, field_top},
        {kSearchEdit, Edge::Left, width - 165},
        {kSearchColumn, Edge::Left, width - 235},
        {kSearchLabel, Edge::Left, width - 285},
        {kEmptyTitleFilter, Edge::Left, width - 400},
        {kStatusLine, Edge::Width, width},
        {kProgressBar, Edge::Top, field_top},
        {kProgressBar, Edge::Width, narrow},
        {kProgressLabel, Edge::Top, label_top},
        {kProgressLabel, Edge::Width, narrow},
    };
}
