// Text that holds the query's own separators reaches bookd as it was typed.
#include <gtest/gtest.h>

#include "tests/bookd/BookdHarness.h"

using namespace bookdtest;

TEST(BookdQueryEscaping, FeedbackWithSeparatorsIsAcceptedAndStoredAsTyped) {
    ASSERT_TRUE(shared().started());
    BookStore& store = shared().server().store();
    // "=" after an "&" once made a pair of its own and the checksum failed; "+" became a space
    // on services that read it so; "%" and "#" would be read as an escape and a fragment.
    for (const QString& text :
         {QStringLiteral("A&B=C"), QStringLiteral("1+1=2 & 2+2=4"), QStringLiteral("&type=2"),
          QStringLiteral("100% 好看 #第三章"), QStringLiteral("plain words")}) {
        const int before = store.rowCount("feedback");
        const Reply r = call("/feedback/form", {{"content", text},
                                                {"channel", "IP_4S"},
                                                {"email", "a+b@folia.test"},
                                                {"qq", ""},
                                                {"type", "1"}});
        EXPECT_TRUE(r.ok()) << text.toStdString() << ": " << r.body.toStdString();
        EXPECT_EQ(store.rowCount("feedback"), before + 1) << text.toStdString();
        EXPECT_EQ(store.lastFeedback(), text);
    }
}
