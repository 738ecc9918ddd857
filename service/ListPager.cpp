#include "service/ListPager.h"

#include <QDebug>

#include "service/Service.h"

QVariantMap ListPager::Request::params() const {
    return {{QStringLiteral("limit"), QString::number(kPageSize)},
            {QStringLiteral("page"), QString::number(page)}};
}

ListPager::ListPager(QStringList itemsPath, QStringList countPath)
    : itemsPath_(std::move(itemsPath)), countPath_(std::move(countPath)) {}

bool ListPager::pullDown() {
    refreshing_ = true;
    // Whatever is on its way belongs to the list being thrown away.
    if (inFlight_) {
        inFlight_ = false;
        ++ticket_;
    }
    const bool schedule = !pending_;
    pending_ = true;
    return schedule;
}

bool ListPager::pullUp() {
    const bool schedule = !pending_;
    pending_ = true;
    return schedule;
}

std::optional<ListPager::Request> ListPager::getData() {
    pending_ = false;
    Request next;
    if (refreshing_) {
        refreshing_ = false;
        page_ = 0;
        loadedPage_ = 0;
        reachedTheEnd_ = false;
        next.restart = true;
    } else if (inFlight_) {
        return std::nullopt;
    }
    page_ += 1;
    next.page = page_;
    next.ticket = ++ticket_;
    inFlight_ = true;
    return next;
}

ListPager::Outcome ListPager::answer(quint64 ticket, const QVariantMap& dict, bool ok) {
    Outcome out;
    if (!inFlight_ || ticket != ticket_)
        return out;
    inFlight_ = false;
    out.accepted = true;
    out.ok = ok;
    out.page = page_;
    out.dict = dict;

    if (!ok) {
        // The page was not delivered: the next pull asks for it again.
        page_ = loadedPage_;
        out.message = refusalText_;
        out.reachedTheEnd = refusalEndsList_;
        reachedTheEnd_ = out.reachedTheEnd;
        return out;
    }

    loadedPage_ = page_;
    const QVariant items = valueAt(dict, itemsPath_);
    if (items.typeId() == QMetaType::QVariantList) {
        out.items = items.toList();
    } else if (items.isValid() && !items.isNull()) {
        qWarning() << "List answer: the field" << itemsPath_.join(QLatin1Char('.'))
                   << "is not a list; page" << page_ << "adds nothing";
    }
    const QVariant count = valueAt(dict, countPath_);
    out.pages = Service::pageCount(count);
    const QString countText = Service::textOf(count);
    bool numeric = false;
    const double total = countText.trimmed().toDouble(&numeric);
    out.count = numeric && total > 0 ? (total > 2147483647.0 ? 2147483647 : int(total)) : 0;
    count_ = out.count;

    if (page_ > out.pages) {
        out.message = endText_;
        out.reachedTheEnd = true;
    }
    reachedTheEnd_ = out.reachedTheEnd;
    return out;
}

ListPager::Outcome ListPager::failed(quint64 ticket) {
    Outcome out;
    if (!inFlight_ || ticket != ticket_)
        return out;
    inFlight_ = false;
    out.accepted = true;
    out.failed = true;
    out.page = page_;
    out.networkNotice = true;
    out.reachedTheEnd = false;
    reachedTheEnd_ = false;
    // Nothing arrived for this page; the next pull asks for it again instead of skipping it.
    page_ = loadedPage_;
    return out;
}

void ListPager::reset() {
    page_ = 0;
    loadedPage_ = 0;
    refreshing_ = false;
    pending_ = false;
    inFlight_ = false;
    ++ticket_;
    reachedTheEnd_ = false;
    count_ = 0;
}

QVariant ListPager::valueAt(const QVariantMap& dict, const QStringList& path) {
    if (path.isEmpty())
        return {};
    QVariant value = dict;
    for (const QString& key : path) {
        if (value.typeId() != QMetaType::QVariantMap)
            return {};
        const QVariantMap map = value.toMap();
        const auto it = map.constFind(key);
        if (it == map.constEnd())
            return {};
        value = *it;
    }
    return value;
}
