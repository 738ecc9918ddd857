#pragma once

#include <QString>
#include <QVariantMap>

// The signed-in user, kept in the user-defaults store: a user is signed in exactly when
// user_token holds a value. Every write synchronises the store.
class UserStore final {
public:
    UserStore() = delete;

    static constexpr char kUserToken[] = "user_token";
    static constexpr char kUserInfo[] = "user_info";
    static constexpr char kCurrentAccount[] = "current_account";

    static bool isSignedIn();
    static QString token();          // null when signed out
    static QVariantMap userInfo();   // empty when signed out
    static QString currentAccount(); // survives sign-out
    // The user's id from user_info as text (a number or a string in the answer).
    static QString userId();

    // After a successful login or registration: token, profile and account together.
    static void signIn(const QString& token, const QVariantMap& userInfo, const QString& account);
    // Local sign-out: token and profile go, the account name stays.
    static void signOut();
};
