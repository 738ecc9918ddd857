#pragma once

// The member center, its avatar picker and the feedback form in the screenshot walk
// (orders 340-369).
void registerMemberScreenshots();

// The walk's reader: the one signed in already, else one of its own, registered with the
// service and signed in the way the login screen leaves the store. False when the service
// refused.
bool memberWalkSignIn();
