#pragma once

// Network reachability as the screens ask for it: is the local Wi-Fi network reachable,
// is the internet reachable by any route. Answers come from QNetworkInformation where a
// backend loads; without one nothing can be known and both say "reachable", so the
// screens try the request and report a failure if it fails.
class Reachability final {
public:
    Reachability() = delete;

    // Reachable over an unmetered local link. A desktop has no separate Wi-Fi check:
    // Wi-Fi, Ethernet or an unknown medium all count; a cellular link does not.
    static bool isLocalWiFiReachable();
    // Reachable by any route, Wi-Fi included.
    static bool isInternetReachable();
};
