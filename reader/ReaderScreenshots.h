#pragma once

// Adds the reader's screens to the screenshot walk: a page by day and by night, the bars,
// the three popovers, and both panes of the table of contents.
void registerReaderScreenshots();
