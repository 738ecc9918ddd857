#pragma once

// The settings screen in the screenshot walk, ending with the sign-out (orders 400-449).
void registerSettingScreenshots();
