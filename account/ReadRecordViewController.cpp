#include "account/ReadRecordViewController.h"

ReadRecordViewController::ReadRecordViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("ReadRecordViewController"));
}

ReadRecordViewController::~ReadRecordViewController() = default;
