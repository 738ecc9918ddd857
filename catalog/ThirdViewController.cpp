#include "catalog/ThirdViewController.h"

#include "app/tooles.h"
#include "platform/Localizable.h"

ThirdViewController::ThirdViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("ThirdViewController"));
    setTitle(QStringLiteral("排行"));
}

ThirdViewController::~ThirdViewController() = default;

void ThirdViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
}
