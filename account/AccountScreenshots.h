#pragma once

// The sign-in and registration screens in the screenshot walk (orders 300-339).
void registerAccountScreenshots();
