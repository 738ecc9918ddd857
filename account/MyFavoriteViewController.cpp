#include "account/MyFavoriteViewController.h"

MyFavoriteViewController::MyFavoriteViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("MyFavoriteViewController"));
}

MyFavoriteViewController::~MyFavoriteViewController() = default;
