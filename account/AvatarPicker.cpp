#include "account/AvatarPicker.h"

#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>
#include <QTimer>
#include <QWheelEvent>

#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

namespace {
constexpr int kBarHeight = 44;
constexpr int kMinSide = 32; // the smallest square, in image pixels

AvatarPicker::Chooser& chooserSlot() {
    static AvatarPicker::Chooser slot;
    return slot;
}

QString dialogChooser(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("相册"), folder,
        QStringLiteral("图片 (*.png *.jpg *.jpeg *.bmp *.gif *.webp);;所有文件 (*)"));
}
} // namespace

AvatarPickerDelegate::~AvatarPickerDelegate() = default;

bool AvatarPicker::isSourceTypeAvailable(SourceType source) {
    return source == SourceType::PhotoLibrary;
}

void AvatarPicker::setChooser(Chooser chooser) {
    chooserSlot() = std::move(chooser);
}

QString AvatarPicker::picturesFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::HomeLocation)
                              : pictures;
}

AvatarPicker::AvatarPicker(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("AvatarPicker"));
}

AvatarPicker::~AvatarPicker() = default;

void AvatarPicker::setDelegate(AvatarPickerDelegate* delegate) {
    delegate_ = delegate;
    QObject* object = dynamic_cast<QObject*>(delegate);
    delegateGuard_ = object;
    delegateIsObject_ = object != nullptr;
}

void AvatarPicker::viewDidLoad() {
    setAutoFillBackground(false);
    topBar_ = new QWidget(this);
    topBar_->setObjectName(QStringLiteral("pickerTopBar"));
    topBar_->setStyleSheet(QStringLiteral("background: rgba(40,28,18,220);"));
    titleLabel_ = new QLabel(QStringLiteral("移动和缩放"), topBar_);
    titleLabel_->setAlignment(Qt::AlignCenter);
    QFont title = titleLabel_->font();
    title.setPixelSize(17);
    title.setBold(true);
    titleLabel_->setFont(title);
    titleLabel_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    bottomBar_ = new QWidget(this);
    bottomBar_->setObjectName(QStringLiteral("pickerBottomBar"));
    bottomBar_->setStyleSheet(QStringLiteral("background: rgba(40,28,18,220);"));
    cancelButton_ = new Button(bottomBar_);
    cancelButton_->setObjectName(QStringLiteral("pickerCancel"));
    cancelButton_->setText(QStringLiteral("取消"));
    cancelButton_->setFontSize(17);
    cancelButton_->resize(70, kBarHeight);
    connect(cancelButton_, &QAbstractButton::clicked, this, [this] { cancel(); });
    chooseButton_ = new Button(bottomBar_);
    chooseButton_->setObjectName(QStringLiteral("pickerChoose"));
    chooseButton_->setText(QStringLiteral("选取"));
    chooseButton_->setTitleColor(QColor(240, 160, 80));
    chooseButton_->setFontSize(17, true);
    chooseButton_->resize(70, kBarHeight);
    chooseButton_->setEnabled(false);
    connect(chooseButton_, &QAbstractButton::clicked, this, [this] { choose(); });
    layoutBars();
}

void AvatarPicker::layoutBars() {
    if (!topBar_)
        return;
    topBar_->setGeometry(0, 0, width(), kBarHeight);
    titleLabel_->setGeometry(topBar_->rect());
    bottomBar_->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
    cancelButton_->move(8, 0);
    chooseButton_->move(width() - 8 - chooseButton_->width(), 0);
}

void AvatarPicker::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    layoutBars();
}

void AvatarPicker::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    if (asked_ || !original_.isNull())
        return;
    asked_ = true;
    // Once the slide-in is over and the caller has returned.
    QTimer::singleShot(0, this, [this] { chooseFromLibrary(); });
}

void AvatarPicker::chooseFromLibrary() {
    asked_ = true;
    const Chooser chooser = chooserSlot() ? chooserSlot() : Chooser(dialogChooser);
    QPointer<AvatarPicker> self(this);
    const QString file = chooser(window(), picturesFolder());
    if (!self)
        return;
    chosenFile_ = file;
    if (file.isEmpty()) {
        tellCancel();
        return;
    }
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        qWarning("Cannot read the picture %s: %s", qPrintable(file),
                 qPrintable(reader.errorString()));
        tellCancel();
        return;
    }
    setImage(image);
}

bool AvatarPicker::setImage(const QImage& image) {
    if (image.isNull())
        return false;
    original_ = image.convertToFormat(QImage::Format_ARGB32);
    const int side = qMin(original_.width(), original_.height());
    crop_ = QRect((original_.width() - side) / 2, (original_.height() - side) / 2, side, side);
    if (chooseButton_)
        chooseButton_->setEnabled(true);
    update();
    return true;
}

QRect AvatarPicker::clampedSquare(QRect square) const {
    if (original_.isNull())
        return {};
    const int maxSide = qMin(original_.width(), original_.height());
    const int side = qBound(qMin(kMinSide, maxSide), square.width(), maxSide);
    const QPoint centre = square.center();
    QRect r(0, 0, side, side);
    r.moveCenter(centre);
    if (r.left() < 0)
        r.moveLeft(0);
    if (r.top() < 0)
        r.moveTop(0);
    if (r.right() >= original_.width())
        r.moveRight(original_.width() - 1);
    if (r.bottom() >= original_.height())
        r.moveBottom(original_.height() - 1);
    return r;
}

void AvatarPicker::setCropRect(const QRect& rect) {
    crop_ = clampedSquare(QRect(rect.topLeft(), QSize(rect.width(), rect.width())));
    update();
}

QImage AvatarPicker::editedImage() const {
    if (original_.isNull())
        return {};
    return allowsEditing_ ? original_.copy(crop_) : original_;
}

QRectF AvatarPicker::imageArea() const {
    if (original_.isNull())
        return {};
    const QRectF room(0, kBarHeight, width(), height() - 2 * kBarHeight);
    QSizeF size = original_.size();
    size.scale(room.size(), Qt::KeepAspectRatio);
    return QRectF(room.center().x() - size.width() / 2, room.center().y() - size.height() / 2,
                  size.width(), size.height());
}

void AvatarPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(24, 18, 12));
    if (original_.isNull()) {
        p.setPen(QColor(200, 190, 175));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("请选择一张图片"));
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = imageArea();
    p.drawImage(area, original_);
    const qreal scale = area.width() / original_.width();
    const QRectF square(area.left() + crop_.left() * scale, area.top() + crop_.top() * scale,
                        crop_.width() * scale, crop_.height() * scale);
    // Dim what stays outside the square.
    QPainterPath outside;
    outside.addRect(area);
    QPainterPath inside;
    inside.addRect(square);
    p.fillPath(outside.subtracted(inside), QColor(0, 0, 0, 140));
    p.setPen(QPen(QColor(255, 255, 255, 230), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(square);
}

void AvatarPicker::mousePressEvent(QMouseEvent* event) {
    dragStart_ = event->position().toPoint();
    dragCrop_ = crop_;
}

void AvatarPicker::mouseMoveEvent(QMouseEvent* event) {
    if (original_.isNull() || !(event->buttons() & Qt::LeftButton))
        return;
    const qreal scale = imageArea().width() / original_.width();
    if (scale <= 0)
        return;
    const QPointF delta = (event->position() - QPointF(dragStart_)) / scale;
    crop_ = clampedSquare(dragCrop_.translated(delta.toPoint()));
    update();
}

void AvatarPicker::wheelEvent(QWheelEvent* event) {
    if (original_.isNull())
        return;
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0)
        return;
    const int side = qRound(crop_.width() * (steps > 0 ? 0.9 : 1.1));
    QRect r(0, 0, side, side);
    r.moveCenter(crop_.center());
    crop_ = clampedSquare(r);
    update();
}

void AvatarPicker::choose() {
    if (answered_ || original_.isNull())
        return;
    if (delegateIsObject_ && !delegateGuard_)
        return;
    QVariantMap info;
    info.insert(QString::fromLatin1(kMediaType), QStringLiteral("public.image"));
    info.insert(QString::fromLatin1(kEditedImage), editedImage());
    info.insert(QString::fromLatin1(kOriginalImage), original_);
    if (delegate_)
        delegate_->imagePickerControllerDidFinishPickingMediaWithInfo(this, info);
}

void AvatarPicker::cancel() {
    tellCancel();
}

void AvatarPicker::tellCancel() {
    if (answered_)
        return;
    answered_ = true;
    if (delegate_ && (!delegateIsObject_ || delegateGuard_))
        delegate_->imagePickerControllerDidCancel(this);
    else
        dismissModal(true);
}
