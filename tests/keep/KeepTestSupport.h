#pragma once

// Books stored and served for the keeper's tests.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "tests/support/FakeService.h"

namespace keeptest {

QList<int> numbers(int from, int to);
// The text a seeded chapter holds.
QString chapterTextFor(const QString& bookId, int number);
// A shelf book with its table of contents of `total` chapters and chapters 1…stored stored.
void seedStoredBook(const QString& bookId, int total, int stored);
// Chapter numbers with a stored text, and those marked downloaded, ascending.
QList<int> storedChapters(const QString& bookId);
QList<int> markedChapters(const QString& bookId);
// The `chapters` value of every /data/getcontent request, in order (of one book).
QStringList askedRuns(const FakeService& service);
QStringList askedRunsOf(const FakeService& service, const QString& bookId);

// A book the fake service serves through /data/menu and /data/getcontent; several books can
// be served at once. Hooks run on the service's threads.
class ServedBook {
public:
    ServedBook(FakeService& service, const QString& bookId, int chapters);
    ~ServedBook();
    ServedBook(const ServedBook&) = delete;
    ServedBook& operator=(const ServedBook&) = delete;

    QString textOf(int chapter) const;
    void neverServe(int chapter);
    // Left out of the first answer that asks for it.
    void serveLate(int chapter);
    void setDelayMs(int ms);
    // Runs whose first chapter is this one are answered only after several seconds (0: none).
    void holdRunsStartingAt(int chapter);
    // Called with the asked chapters before answering; false drops the connection.
    void beforeAnswer(std::function<bool(const QString& chapters)> hook);
    void afterAnswer(std::function<void()> hook);
    // Answers sent for exactly this chapter list.
    int answered(const QString& chapters) const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace keeptest
