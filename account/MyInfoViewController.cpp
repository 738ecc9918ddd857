#include "account/MyInfoViewController.h"

MyInfoViewController::MyInfoViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("MyInfoViewController"));
}

MyInfoViewController::~MyInfoViewController() = default;
