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
#include "reader/ReadbooksViewController.h"
#include "tests/support/FakeService.h"

namespace readertest {

// 15 lines of 32 px are one page of 480 on the tall screen.
QString pagesOfText(int pages, const QString& tag = QStringLiteral("c"));
QVariantMap chapter(const QString& bookId, int number, int pages);
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

    // Pushes a reader and waits until its first page is laid out.
    ReadbooksViewController* open(const QString& bookId, int chapter, int page);
    // Waits until the reader has laid out count more pages than `since`.
    bool waitForLayouts(ReadbooksViewController* reader, int count);
    bool waitIdle(ReadbooksViewController* reader);
    // The text of the notice after it showed up.
    QString noticeText(ReadbooksViewController* reader);
    int layouts(ReadbooksViewController* reader) const;
    QVariantMap lastRead(const QString& bookId);

    static FakeService* service;
    static Window* window;
    static NavigationController* nav;
};

} // namespace readertest
