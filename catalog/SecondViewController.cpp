#include "catalog/SecondViewController.h"

#include "app/tooles.h"
#include "platform/Localizable.h"

SecondViewController::SecondViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("SecondViewController"));
    setTitle(QStringLiteral("推荐"));
}

SecondViewController::~SecondViewController() = default;

void SecondViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
}
