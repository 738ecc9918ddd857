#pragma once

// A phone window with a navigation stack, the fake book service and a seeded book database
// for the reader's screen tests. One window and one service per test binary; each test
// seeds a book of its own.
#include <QJsonDocument>
#include <QVariantMap>
#include <gtest/gtest.h>

#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "tests/support/FakeService.h"

namespace readertest {

// Chapter `number` of `pages` pages on the tall screen, titled "第n章".
QVariantMap chapter(const QString& bookId, int number, int pages);
// The stored text of a chapter.
QString storedText(const QString& bookId, int chapter);
// The service's "ok" answer carrying these chapters, as the store takes it too.
QVariantMap chaptersAnswer(const QVariantList& chapters);
// The service's table of contents of chapters 1…count.
QVariantMap menuAnswer(int count);
// A book record with its last chapter and the stored chapters given (each `pages` long).
void seedBook(const QString& bookId, int lastChapter, const QList<int>& stored, int pages = 1);
// The service's answer for the chapters asked in a /data/getcontent request.
FakeService::Reply contentAnswer(const FakeService::Request& request, int pages = 1);

class ReaderScreenTest : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void TearDown() override;

    // Counts the reader's page layouts from now on (see waitForLayouts).
    static ReadbooksViewController* track(ReadbooksViewController* reader);
    // Pushes a reader and waits until its first page is laid out.
    ReadbooksViewController* open(const QString& bookId, int chapter, int page);
    // Pushes the table of contents of a book with the current chapter marked.
    BookChapterAndMarkViewController* openContents(const QString& bookId, int current);
    ReadbooksViewController* topReader() const;
    // Waits until the reader has laid out count more pages than `since`.
    bool waitForLayouts(ReadbooksViewController* reader, int count);
    // Waits until the reader is idle and its notice has finished showing.
    static bool settle(ReadbooksViewController* reader);
    int layouts(ReadbooksViewController* reader) const;
    // The stored reading record as "chapter/page".
    QString recorded(const QString& bookId);
    // The chapters parameter of each chapter fetch the service received, in order.
    static QStringList askedRuns();
    // Chapter fetches by GET and POST answer with the chapters asked, each `pages` long.
    static void serveContent(int pages = 1);
    // Chapter fetches by GET and POST all get this reply.
    static void serveContent(const FakeService::Reply& reply);

    static FakeService* service;
    static Window* window;
    static NavigationController* nav;
};

} // namespace readertest
