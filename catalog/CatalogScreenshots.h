#pragma once

// The bookshelf, book detail, download and source-site steps of the screenshot walk.
void registerCatalogScreenshots();
