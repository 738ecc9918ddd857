#include "storage/UserStore.h"

#include "platform/UserDefaults.h"
#include "service/Service.h"

namespace {
QString key(const char* name) {
    return QString::fromLatin1(name);
}
} // namespace

bool UserStore::isSignedIn() {
    return !token().isEmpty();
}

QString UserStore::token() {
    const QString value = UserDefaults::standard().stringForKey(key(kUserToken));
    return value.isEmpty() ? QString() : value;
}

QVariantMap UserStore::userInfo() {
    return UserDefaults::standard().dictionaryForKey(key(kUserInfo));
}

QString UserStore::currentAccount() {
    return UserDefaults::standard().stringForKey(key(kCurrentAccount));
}

QString UserStore::userId() {
    return Service::textOf(userInfo().value(QStringLiteral("id")));
}

void UserStore::signIn(const QString& token, const QVariantMap& userInfo, const QString& account) {
    UserDefaults& store = UserDefaults::standard();
    store.setObject(key(kUserToken), token);
    store.setObject(key(kUserInfo), userInfo);
    store.setObject(key(kCurrentAccount), account);
    store.synchronize();
}

void UserStore::signOut() {
    UserDefaults& store = UserDefaults::standard();
    store.removeObjectForKey(key(kUserToken));
    store.removeObjectForKey(key(kUserInfo));
    store.synchronize();
}
