#pragma once

#include "platform/ui/ScreenshotWalk.h"

class ReadbooksViewController;

// Adds the reader's screens to the screenshot walk: a page by day and by night, the bars,
// the three popovers, and both panes of the table of contents.
void registerReaderScreenshots();

// Whether the reader holds a chapter's text and its page shows it on screen (for the walk's
// steps that open a reader).
bool readerShowsText(ReadbooksViewController* reader);

// Fails the step unless the reader's page comes to show its text within ten seconds (a page
// painted a moment late on a busy machine is not a fault).
void requireReaderText(ScreenshotWalk::Context& ctx, ReadbooksViewController* reader);
