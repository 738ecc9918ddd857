#pragma once

// The discovery tabs' steps of the screenshot walk: recommendations and rankings (both
// segments), the categories, a category's books, a list at its end, a search with its
// results, the search history and the empty history.
void registerDiscoveryScreenshots();
