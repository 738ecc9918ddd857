#include <gtest/gtest.h>

#include "platform/UserDefaults.h"
#include "service/Service.h"
#include "storage/UserStore.h"
#include "tests/support/TestUtil.h"

TEST(UserStoreTest, SignInIsStoredTogetherAndSignOutKeepsTheAccount) {
    testutil::ScopedHome home;
    UserDefaults::standard().reload();
    EXPECT_FALSE(UserStore::isSignedIn());

    UserStore::signIn(QStringLiteral("tok-1"),
                      {{QStringLiteral("id"), 77}, {QStringLiteral("login_time"), 1700000000}},
                      QStringLiteral("reader@example.com"));
    UserDefaults::standard().reload(); // as after a restart
    EXPECT_TRUE(UserStore::isSignedIn());
    EXPECT_EQ(UserStore::token(), QStringLiteral("tok-1"));
    EXPECT_EQ(UserStore::userId(), QStringLiteral("77"));
    EXPECT_EQ(UserStore::currentAccount(), QStringLiteral("reader@example.com"));
    EXPECT_EQ(Service::userToken(), QStringLiteral("tok-1"));

    UserStore::signOut();
    UserDefaults::standard().reload();
    EXPECT_FALSE(UserStore::isSignedIn());
    EXPECT_TRUE(UserStore::userInfo().isEmpty());
    EXPECT_EQ(UserStore::currentAccount(), QStringLiteral("reader@example.com"));

    // The next signed request goes without a token.
    QVariantMap params{{QStringLiteral("book_id"), QStringLiteral("1")}};
    Service::addToken(params);
    EXPECT_FALSE(params.contains(QStringLiteral("token")));
    UserDefaults::standard().reload();
}
