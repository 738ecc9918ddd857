#pragma once

// Adds the widget kit's pages to the screenshot walk: the pull-to-refresh strips in every
// state, a refreshing list and its sliding message, the grid in editing mode, both segmented
// controls, a popover with its arrow, and a remote image before and after it arrives.
void registerWidgetGallery();
