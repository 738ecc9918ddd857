#pragma once

// Adds the shell's screens to the screenshot walk: each tab, each guide page, an alert, a notice
// and the progress overlay; then the screens of every other subsystem that has a walk of its own.
void registerShellScreenshots();
