#include "reader/BookChapterAndMarkViewController.h"

#include "app/tooles.h"
#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "reader/BookChatperViewController.h"
#include "reader/BookMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "storage/BookDb.h"
#include "widgets/SVSegmentedControl.h"

BookChapterAndMarkViewController::BookChapterAndMarkViewController(QWidget* parent)
    : ViewController(parent) {
    setObjectName(QStringLiteral("BookChapterAndMarkViewController"));
    setHidesBottomBarWhenPushed(true);
}

BookChapterAndMarkViewController::~BookChapterAndMarkViewController() = default;

void BookChapterAndMarkViewController::viewDidLoad() {
    const QRect screen = Window::screenBounds();
    background_ = tooles::bgView(true, false, this);
    if (background_) {
        background_->setGeometry(rect());
        background_->lower();
    }

    Button* back = tooles::barButton(this, QString(), QStringLiteral("public_toolBg_Button_back"),
                                     L("back"), 0, [this](int tag) { action(tag); });
    setLeftBarButton(back);
    setHidesBackButton(true);

    switch_ = new SVSegmentedControl(
        {QStringLiteral("      目录      "), QStringLiteral("      书签      ")}, this);
    switch_->setObjectName(QStringLiteral("contentsSwitch"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    switch_->setFont(font);
    switch_->setHeight(32);
    switch_->setBackgroundImage(Images::named(QStringLiteral("public_Column_tab")));
    switch_->setThumbImage(Images::named(QStringLiteral("public_Column_tab_select")));
    switch_->setThumbTextColor(Qt::white);
    const QSize size = switch_->sizeHint();
    switch_->setGeometry(160 - size.width() / 2, 75 - 16, size.width(), 32);
    connect(switch_, &SVSegmentedControl::valueChanged, this,
            &BookChapterAndMarkViewController::segmentedControlChangedValue);

    // The panes end a little above the bottom edge of the panel drawn by bgView, so that no
    // row runs past it.
    const int paneTop = 100;
    const int panelBottom = 4 + screen.height() - 44 - 20 - 8;
    const int paneHeight = panelBottom - 8 - paneTop;
    chapters_ = new BookChatperViewController(this);
    chapters_->bookid = book_id;
    chapters_->currentChatperId = currentChatperId;
    chapters_->delegate = this;
    chapters_->setGeometry(8, paneTop, screen.width() - 16, paneHeight);
    chapters_->loadViewIfNeeded();

    marks_ = new BookMarkViewController(this);
    marks_->bookid = book_id;
    marks_->delegate = this;
    marks_->setGeometry(8, paneTop, screen.width() - 16, paneHeight);
    marks_->loadViewIfNeeded();
    marks_->hide();
}

void BookChapterAndMarkViewController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    if (background_)
        background_->setGeometry(rect());
}

void BookChapterAndMarkViewController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarTranslucent(true);
        nav->setNavigationBarHidden(false, animated);
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
        nav->setToolbarHidden(true, animated);
    }
}

void BookChapterAndMarkViewController::segmentedControlChangedValue(int index) {
    chapters_->setVisible(index == 0);
    marks_->setVisible(index == 1);
}

void BookChapterAndMarkViewController::action(int tag) {
    if (tag != 0)
        return;
    NavigationController* nav = navigationController();
    if (!nav)
        return;
    nav->setNavigationBarHidden(true);
    if (!nav->popToFirstOfClass<ReadbooksViewController>())
        nav->popViewController();
}

void BookChapterAndMarkViewController::pushToReadbookView(const QString& str, const QString& bookId,
                                                          int chapterId, int page) {
    QVariantMap record;
    record.insert(QStringLiteral("book_id"), book_id);
    record.insert(QStringLiteral("chapter_id"), QString::number(chapterId));
    record.insert(QStringLiteral("page_id"), QString::number(page));
    record.insert(QStringLiteral("create_time"), tooles::currentTimeStr());
    BookDb().recordLastRead(record);

    auto* reader = new ReadbooksViewController();
    reader->str = str;
    reader->book_id = bookId;
    reader->current_chapter_id = chapterId;
    reader->currentPage = page;
    reader->setHidesBottomBarWhenPushed(true);
    if (NavigationController* nav = navigationController())
        nav->pushViewController(reader);
}
