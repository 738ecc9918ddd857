#pragma once

// The member center, its avatar picker and the feedback form in the screenshot walk
// (orders 340-369).
void registerMemberScreenshots();

// A reader of the walk's own, registered with the service and signed in the way the login
// screen leaves the store; kept for the rest of the walk. False when the service refused.
bool memberWalkSignIn();
