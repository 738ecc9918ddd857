#include "reader/JumpToViewController.h"

#include <QLabel>
#include <QSlider>

#include "platform/ui/Button.h"
#include "platform/ui/Window.h"
#include "reader/ReaderControlsDelegate.h"
#include "reader/ReaderSettings.h"
#include "storage/BookDb.h"

JumpToViewController::JumpToViewController(ReaderControlsDelegate* delegate, QWidget* parent)
    : ViewController(parent), delegate(delegate) {
    setObjectName(QStringLiteral("JumpToViewController"));
}

JumpToViewController::~JumpToViewController() = default;

void JumpToViewController::viewDidLoad() {
    BookDb db;
    maxChapterId = db.getMaxChapterId(book_id);
    minChapterId_ = db.getMinChapterId(book_id);
    const ReaderSettings::JumpRange range =
        ReaderSettings::jumpRange(minChapterId_, maxChapterId, chapter_id);
    const int w = Window::screenBounds().width();
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("jumpSlider"));
    slider_->setGeometry(40, 5, w - 80, 40);
    slider_->setRange(range.minimum, range.maximum);
    slider_->setValue(range.value);
    // Only letting go of the slider jumps; moving it sends nothing.
    connect(slider_, &QSlider::sliderReleased, this,
            [this] { sliderTouchUpInside(slider_->value()); });

    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("jumpTitle"));
    label_->setAlignment(Qt::AlignCenter);
    label_->setStyleSheet(QStringLiteral("color: rgb(153,153,153); background: transparent;"));
    label_->setGeometry(50, 35, 220, 20);
    showTitle();

    btnLeft_ = new Button(this);
    btnLeft_->setObjectName(QStringLiteral("jumpPrevious"));
    btnLeft_->setImageNamed(QStringLiteral("read_tanchuButton_progress_left"));
    btnLeft_->setGeometry(0, 0, 30, 54);
    btnLeft_->setAction(this, [this](int) { preChatper(); });
    btnRight_ = new Button(this);
    btnRight_->setObjectName(QStringLiteral("jumpNext"));
    btnRight_->setImageNamed(QStringLiteral("read_tanchuButton_progress_right"));
    btnRight_->setGeometry(281, 0, 30, 54);
    btnRight_->setAction(this, [this](int) { nextChatper(); });
}

void JumpToViewController::showTitle() {
    label_->setText(BookDb()
                        .selectChapterContent(book_id, chapter_id)
                        .value(QStringLiteral("title"))
                        .toString());
}

void JumpToViewController::jump(const QString& chapter) {
    if (delegate)
        delegate->changePlan(chapter);
}

void JumpToViewController::sliderTouchUpInside(double value) {
    loadViewIfNeeded();
    const QString text = ReaderSettings::jumpText(value);
    chapter_id = text.toInt();
    showTitle();
    jump(text);
}

void JumpToViewController::preChatper() {
    loadViewIfNeeded();
    if (chapter_id <= minChapterId_)
        return;
    chapter_id -= 1;
    slider_->setValue(chapter_id);
    showTitle();
    jump(QString::number(chapter_id));
}

void JumpToViewController::nextChatper() {
    loadViewIfNeeded();
    if (chapter_id >= maxChapterId)
        return;
    chapter_id += 1;
    slider_->setValue(chapter_id);
    showTitle();
    jump(QString::number(chapter_id));
}
