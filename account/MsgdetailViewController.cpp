#include "account/MsgdetailViewController.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScrollArea>

#include "account/MyMsgboxViewController.h"
#include "app/tooles.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace {
constexpr int kTitleY = 15;
constexpr int kTimeY = 35;
constexpr int kLineY = 60;
constexpr int kContentY = 70;
constexpr int kBelowContent = 80;

QFont arial(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* label(QWidget* parent, const QString& name, const QFont& font, const QColor& color) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    return l;
}
} // namespace

MsgdetailViewController::MsgdetailViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("MsgdetailViewController"));
    setHidesBottomBarWhenPushed(true);
}

MsgdetailViewController::~MsgdetailViewController() = default;

int MsgdetailViewController::measureContentHeight(const QString& content) {
    const QFontMetrics metrics(arial(16));
    return metrics
        .boundingRect(QRect(0, 0, kContentWidth, 9999), Qt::TextWordWrap | Qt::AlignLeft, content)
        .height();
}

void MsgdetailViewController::viewDidLoad() {
    setTitle(QStringLiteral("信息详情"));
    background_ = tooles::bgView(true, false, this);
    background_->lower();

    btnBack_ = tooles::barButton(this, QString(), QStringLiteral("public_toolBg_Button_back"),
                                 L("back"), 0, [this](int tag) { action(tag); });
    setLeftBarButton(btnBack_);
    setHidesBackButton(true);

    myScrollView_ = new QScrollArea(this);
    myScrollView_->setObjectName(QStringLiteral("myScrollView"));
    myScrollView_->setFrameShape(QFrame::NoFrame);
    myScrollView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    myScrollView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    myScrollView_->setStyleSheet(QStringLiteral("background: transparent;"));
    myScrollView_->viewport()->setAutoFillBackground(false);
    // Always scrollable by a finger, even when the content fits.
    GestureRecognizer::scrollLikeAFinger(myScrollView_);

    const int pageWidth = Window::screenBounds().width() - 10;
    contentHeight_ = measureContentHeight(data_content);
    page_ = new QWidget();
    page_->setObjectName(QStringLiteral("messagePage"));
    page_->setAutoFillBackground(false);
    const int left = (pageWidth - kContentWidth) / 2;

    labelTitle_ = label(page_, QStringLiteral("labelTitle"), arial(18, true), Qt::black);
    labelTitle_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    labelTitle_->setText(data_title);
    const int titleHeight = qMax(kTimeY - kTitleY, labelTitle_->heightForWidth(kContentWidth));
    labelTitle_->setGeometry(left, kTitleY, kContentWidth, titleHeight);
    // A title taller than its line (several lines, or a font with tall glyphs) pushes what is
    // below it down instead of running into the time.
    const int below = kTitleY + titleHeight - kTimeY;
    page_->resize(pageWidth, contentHeight_ + kBelowContent + below);

    labelTime_ = label(page_, QStringLiteral("labelTime"), arial(14), Qt::gray);
    labelTime_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    labelTime_->setText(data_time);
    labelTime_->setGeometry(left, kTimeY + below, kContentWidth, 18);

    imgLine_ = new ImageView(page_);
    imgLine_->setObjectName(QStringLiteral("imgLine"));
    imgLine_->setImageNamed(QStringLiteral("center_mailbox_titleLine"));
    imgLine_->setGeometry(left, kLineY + below, kContentWidth, 2);

    labelContent_ = label(page_, QStringLiteral("labelContent"), arial(16), Qt::black);
    labelContent_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelContent_->setText(data_content);
    labelContent_->setGeometry(left, kContentY + below, kContentWidth, contentHeight_);

    myScrollView_->setWidget(page_);
    myScrollView_->setWidgetResizable(false);
    resizeEvent(nullptr);
}

void MsgdetailViewController::resizeEvent(QResizeEvent* event) {
    if (event)
        ViewController::resizeEvent(event);
    if (background_)
        background_->setGeometry(0, 0, width(), qMax(height(), Window::screenBounds().height()));
    if (myScrollView_)
        myScrollView_->setGeometry(
            5, 4, width() - 10,
            qMin(Window::screenBounds().height() - 44 - 20 - 8, height() - 4) - 4);
}

void MsgdetailViewController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarTranslucent(false);
        nav->setNavigationBarHidden(false, animated);
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    }
}

QSize MsgdetailViewController::scrollContentSize() const {
    return page_ ? page_->size() : QSize();
}

void MsgdetailViewController::action(int tag) {
    if (tag != 0)
        return;
    NavigationController* nav = navigationController();
    if (!nav)
        return;
    if (!nav->popToFirstOfClass<MyMsgboxViewController>())
        nav->popViewController();
}
