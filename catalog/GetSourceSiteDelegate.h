#pragma once

#include <QString>

// Told which source site the user chose in the source-site list.
class GetSourceSiteDelegate {
public:
    virtual ~GetSourceSiteDelegate() = default;
    virtual void GetSourceSite(const QString& siteName) = 0;
};
