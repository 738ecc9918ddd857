#pragma once

// The walk's pair of reader pages before and after a type-size change (18 to 22 points):
// the sentence at the top of the first is on the second.
void registerPositionScreenshots();
