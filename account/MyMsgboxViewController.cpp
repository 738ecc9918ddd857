#include "account/MyMsgboxViewController.h"

MyMsgboxViewController::MyMsgboxViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("MyMsgboxViewController"));
}

MyMsgboxViewController::~MyMsgboxViewController() = default;
