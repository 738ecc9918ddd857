#include "catalog/FouthViewController.h"

#include "app/tooles.h"
#include "platform/Localizable.h"

FouthViewController::FouthViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("FouthViewController"));
    setTitle(QStringLiteral("分类"));
}

FouthViewController::~FouthViewController() = default;

void FouthViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
}
