#pragma once

// The account lists' part of the screenshot walk: reading records, favorites and the message
// box of a user signed in for the walk, filled, in edit mode and emptied, and a message's
// detail.
void registerListsScreenshots();
