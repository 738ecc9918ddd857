#pragma once

#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace testutil {

// The stage screen tests push their screens on: a phone window showing one navigation stack
// over an empty root screen. Returns the stack; window receives the window.
inline NavigationController* openStage(Window*& window) {
    window = new Window();
    auto* nav = new NavigationController(new ViewController());
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
    return nav;
}

// Takes the stage down with every screen on it (web views go before the application object).
inline void closeStage(Window*& window, NavigationController*& nav) {
    delete window;
    window = nullptr;
    nav = nullptr;
}

} // namespace testutil
