#include "catalog/FifthViewController.h"

#include "app/tooles.h"
#include "platform/Localizable.h"

FifthViewController::FifthViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("FifthViewController"));
    setTitle(QStringLiteral("搜索"));
}

FifthViewController::~FifthViewController() = default;

void FifthViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
}
