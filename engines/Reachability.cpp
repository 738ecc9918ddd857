#include "engines/Reachability.h"

#include <QNetworkInformation>
#include <QtDebug>

namespace {
// The backend is loaded once, on first use; later calls only read its state.
QNetworkInformation* information() {
    static QNetworkInformation* info = [] {
        if (!QNetworkInformation::loadBackendByFeatures(
                QNetworkInformation::Feature::Reachability)) {
            qInfo("Reachability: no network information backend; assuming reachable");
            return static_cast<QNetworkInformation*>(nullptr);
        }
        return QNetworkInformation::instance();
    }();
    return info;
}

bool reachable(const QNetworkInformation* info) {
    using R = QNetworkInformation::Reachability;
    const R state = info->reachability();
    // Unknown means the backend has not decided yet; do not block the user on it.
    return state != R::Disconnected;
}
} // namespace

bool Reachability::isLocalWiFiReachable() {
    const QNetworkInformation* info = information();
    if (!info)
        return true;
    if (!reachable(info))
        return false;
    if (info->supports(QNetworkInformation::Feature::TransportMedium))
        return info->transportMedium() != QNetworkInformation::TransportMedium::Cellular;
    return true;
}

bool Reachability::isInternetReachable() {
    const QNetworkInformation* info = information();
    if (!info)
        return true;
    return reachable(info);
}
