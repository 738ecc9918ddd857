#include "account/MyMsgBoxCell.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "platform/Images.h"
#include "service/Service.h"

namespace {
constexpr int kTextLeft = 22;

QFont boldArial(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

void paint(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}
} // namespace

QColor MyMsgBoxCell::unreadColor() {
    return QColor::fromRgbF(0.2f, 0.2f, 0.2f);
}

QColor MyMsgBoxCell::readColor() {
    return QColor(131, 123, 112);
}

MyMsgBoxCell::MyMsgBoxCell(QWidget* parent)
    : QWidget(parent), leftIcon_(new QLabel(this)), title_(new QLabel(this)),
      contentIntro_(new QLabel(this)) {
    setObjectName(QStringLiteral("MyMsgBoxCell"));
    leftIcon_->setObjectName(QStringLiteral("leftIcon"));
    title_->setObjectName(QStringLiteral("title"));
    contentIntro_->setObjectName(QStringLiteral("contentIntro"));
    title_->setFont(boldArial(18));
    contentIntro_->setFont(boldArial(14));
    for (QLabel* label : {title_, contentIntro_}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
    }
    setUnread(false);
    layoutParts();
}

MyMsgBoxCell::~MyMsgBoxCell() = default;

void MyMsgBoxCell::setMessage(const QVariantMap& message) {
    titleText_ = Service::textOf(message.value(QStringLiteral("title")));
    // One line of the content: its line breaks become spaces.
    introText_ = Service::textOf(message.value(QStringLiteral("content"))).simplified();
    tag_ = Service::textOf(message.value(QStringLiteral("id"))).toInt();
    setUnread(Service::textOf(message.value(QStringLiteral("status"))) == QLatin1String("0"));
    elide();
}

void MyMsgBoxCell::setUnread(bool unread) {
    unread_ = unread;
    leftIcon_->setPixmap(unread ? Images::named(QStringLiteral("center_Mailbox_dot"), QSize(8, 8))
                                : QPixmap());
    const QColor color = unread ? unreadColor() : readColor();
    paint(title_, color);
    paint(contentIntro_, color);
}

void MyMsgBoxCell::setNarrowed(bool narrowed, int roomRight) {
    narrowed_ = narrowed;
    roomRight_ = roomRight;
    layoutParts();
}

void MyMsgBoxCell::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutParts();
}

void MyMsgBoxCell::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(120, 90, 60, 50));
    p.drawLine(0, height() - 1, width(), height() - 1);
    // The disclosure indicator at the right.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(170, 160, 145), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const int x = width() - 16;
    const int y = height() / 2;
    p.drawPolyline(QPolygon({QPoint(x - 4, y - 6), QPoint(x + 2, y), QPoint(x - 4, y + 6)}));
}

void MyMsgBoxCell::layoutParts() {
    int textWidth = qMin(kTextWidth, qMax(0, width() - 44));
    if (narrowed_)
        textWidth =
            qMax(0, std::min({textWidth, int(kNarrowTextWidth), roomRight_ - kTextLeft - 4}));
    leftIcon_->setGeometry(8, (height() - 8) / 2, 8, 8);
    title_->setGeometry(kTextLeft, 6, textWidth, 24);
    contentIntro_->setGeometry(kTextLeft, 31, textWidth, 18);
    elide();
}

void MyMsgBoxCell::elide() {
    title_->setText(title_->fontMetrics().elidedText(titleText_, Qt::ElideRight, title_->width()));
    contentIntro_->setText(contentIntro_->fontMetrics().elidedText(introText_, Qt::ElideRight,
                                                                   contentIntro_->width()));
}
