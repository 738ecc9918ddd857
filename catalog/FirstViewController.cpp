#include "catalog/FirstViewController.h"

#include "app/tooles.h"
#include "platform/Localizable.h"

FirstViewController::FirstViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("FirstViewController"));
    setTitle(L("My bookshelf"));
}

FirstViewController::~FirstViewController() = default;

void FirstViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
}
