#include "widgets/WidgetGallery.h"

#include <QBuffer>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "engines/EGOCache.h"
#include "engines/EGOImageLoader.h"
#include "platform/Images.h"
#include "platform/Timing.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScreenshotWalk.h"
#include "widgets/CustomSegmentedControl.h"
#include "widgets/EGOImageButton.h"
#include "widgets/EGOImageView.h"
#include "widgets/GMGridView.h"
#include "widgets/GMGridViewCell.h"
#include "widgets/PullLoadingView.h"
#include "widgets/PullingRefreshTableView.h"
#include "widgets/SVSegmentedControl.h"
#include "widgets/WEPopoverController.h"

namespace {

constexpr int kOrder = 500;
const QColor kPaper(244, 239, 228);

// A page of the gallery: the paper background and a title bar.
QWidget* makePage(const QString& title) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("galleryPage"));
    page->setAutoFillBackground(true);
    QPalette pal = page->palette();
    pal.setColor(QPalette::Window, kPaper);
    page->setPalette(pal);
    page->resize(320, 568);
    auto* bar = new QLabel(title, page);
    bar->setAlignment(Qt::AlignCenter);
    bar->setGeometry(0, 0, 320, 44);
    bar->setStyleSheet(QStringLiteral(
        "background-color: rgb(74, 56, 43); color: white; font-size: 17px; font-weight: bold;"));
    return page;
}

QLabel* caption(const QString& text, QWidget* parent, int y) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(10, y, 300, 16);
    label->setStyleSheet(QStringLiteral("color: rgb(120, 100, 80); font-size: 11px;"));
    return label;
}

PullingRefreshTableView* makeList(QWidget* parent, const QRect& frame) {
    auto* table = new PullingRefreshTableView(frame, nullptr, parent);
    table->setStyleSheet(QStringLiteral(
        "QTableWidget { background: rgb(250, 247, 240); color: rgb(51, 51, 51); }"
        "QTableWidget::item { border-bottom: 1px solid rgb(226, 218, 203); padding-left: 12px; }"));
    const QStringList books = {QStringLiteral("长夜行舟"), QStringLiteral("山河故人录"),
                               QStringLiteral("青灯记"),   QStringLiteral("云上书院"),
                               QStringLiteral("北城往事"), QStringLiteral("落花时节"),
                               QStringLiteral("星河远"),   QStringLiteral("竹林小札")};
    table->setRowCount(int(books.size()));
    for (int i = 0; i < books.size(); ++i) {
        auto* item =
            new QTableWidgetItem(QStringLiteral("%1\n作者: 佚名   分类: 都市").arg(books.at(i)));
        table->setItem(i, 0, item);
        table->setRowHeight(i, 73);
    }
    return table;
}

QImage coverImage(const QString& title, const QColor& tint) {
    QImage image(130, 180, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 180);
    g.setColorAt(0, tint.lighter(140));
    g.setColorAt(1, tint.darker(160));
    p.fillRect(image.rect(), g);
    p.setPen(QColor(255, 255, 255, 230));
    QFont font = p.font();
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(10, 20, 110, 120), Qt::AlignCenter | Qt::TextWordWrap, title);
    p.fillRect(QRect(0, 150, 130, 30), QColor(0, 0, 0, 90));
    return image;
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A step that runs at real speed, so that the shot catches an animation in the middle.
void atRealSpeed(ScreenshotWalk::Context& ctx) {
    const double speed = Timing::speed();
    Timing::setSpeed(1);
    ctx.addCleanUp([speed] { Timing::setSpeed(speed); });
}

void stripsPage(ScreenshotWalk::Context& ctx) {
    QWidget* page = makePage(QStringLiteral("下拉刷新 / 上拉加载"));
    int y = 50;
    auto addStrip = [&](bool atTop, int state, const QString& what) {
        caption(what, page, y);
        auto* strip = new PullLoadingView(atTop, page);
        strip->setGeometry(0, y + 14, 320, 60);
        strip->setAutoFillBackground(true);
        strip->setStyleSheet(QStringLiteral("PullLoadingView { background: rgb(232, 226, 213); }"));
        strip->setState(state, false);
        y += 74;
    };
    addStrip(true, PullLoadingView::Normal, QStringLiteral("header 0"));
    addStrip(true, PullLoadingView::Pulling, QStringLiteral("header 1"));
    addStrip(true, PullLoadingView::Loading, QStringLiteral("header 2"));
    addStrip(false, PullLoadingView::Pulling, QStringLiteral("footer 1 (footer 0: next page)"));
    addStrip(false, PullLoadingView::Loading, QStringLiteral("footer 2"));
    addStrip(false, PullLoadingView::ReachedTheEnd, QStringLiteral("footer 3"));
    auto* normal = new PullLoadingView(false, page);
    normal->setState(PullLoadingView::Pulling, false);
    normal->setState(PullLoadingView::Normal, false);
    caption(QStringLiteral("footer 0"), page, y);
    normal->setGeometry(0, y + 14, 320, 60);
    ctx.showFullWindow(page);
    ctx.settle(100);
}

// A full-window page of one list, shown and laid out; the list is returned for the step to drag.
PullingRefreshTableView* shownList(ScreenshotWalk::Context& ctx, const QString& title) {
    QWidget* page = makePage(title);
    PullingRefreshTableView* table = makeList(page, QRect(0, 44, 320, 504));
    ctx.showFullWindow(page);
    ctx.settle(50);
    return table;
}

// The offset of a list pulled 70 points past its last row.
int pastTheEnd(PullingRefreshTableView* table) {
    return table->contentHeight() - table->height() + 70;
}

void refreshingPage(ScreenshotWalk::Context& ctx) {
    PullingRefreshTableView* table = shownList(ctx, QStringLiteral("正在刷新"));
    table->setContentOffsetY(-61);
    table->tableViewDidEndDragging();
    ctx.settle(100);
}

void pulledPage(ScreenshotWalk::Context& ctx, bool header) {
    PullingRefreshTableView* table =
        shownList(ctx, header ? QStringLiteral("释放刷新") : QStringLiteral("释放加载更多"));
    table->setContentOffsetY(header ? -70 : pastTheEnd(table));
    ctx.settle(50);
}

void endPage(ScreenshotWalk::Context& ctx) {
    PullingRefreshTableView* table = shownList(ctx, QStringLiteral("没有了哦"));
    table->setReachedTheEnd(true);
    table->setContentOffsetY(pastTheEnd(table));
    ctx.settle(50);
}

void messagePage(ScreenshotWalk::Context& ctx) {
    PullingRefreshTableView* table = shownList(ctx, QStringLiteral("滑入的提示"));
    table->setContentOffsetY(pastTheEnd(table));
    table->tableViewDidEndDragging();
    atRealSpeed(ctx);
    table->tableViewDidFinishedLoadingWithMessage(QStringLiteral("没有了"));
    ctx.settle(700); // slid in (0.4 s), still held (1.2 s)
}

// The bookshelf's use of the grid: covers on shelves, in editing mode.
struct ShelfSource final : GMGridViewDataSource {
    QStringList titles{QStringLiteral("长夜行舟"), QStringLiteral("山河故人录"),
                       QStringLiteral("青灯记"),   QStringLiteral("云上书院"),
                       QStringLiteral("北城往事"), QStringLiteral("落花时节"),
                       QStringLiteral("星河远")};
    int numberOfItemsInGMGridView(GMGridView*) override { return int(titles.size()); }
    QSize sizeForItemsInGMGridView(GMGridView*) override { return {65, 90}; }
    GMGridViewCell* GMGridViewCellForItemAtIndex(GMGridView*, int index) override {
        auto* cell = new GMGridViewCell;
        auto* cover = new QLabel(cell->contentView());
        cover->setGeometry(0, 0, 65, 90);
        cover->setScaledContents(true);
        cover->setPixmap(QPixmap::fromImage(
            coverImage(titles.at(index), QColor::fromHsv((index * 47) % 360, 120, 170))));
        cell->setDeleteButtonIcon(Images::named(QStringLiteral("books_delete")));
        cell->setDeleteButtonOffset(QPoint(-12, -12));
        return cell;
    }
    void GMGridViewDeleteItemAtIndex(GMGridView*, int index) override { titles.removeAt(index); }
};

void gridPage(ScreenshotWalk::Context& ctx) {
    QWidget* page = makePage(QStringLiteral("书架 (编辑)"));
    auto* grid = new GMGridView(page);
    grid->setGeometry(0, 54, 320, 494);
    grid->setItemSpacing(30);
    grid->setMinEdgeInsets(QMargins(10, 15, 10, 30));
    auto* source = new ShelfSource;
    QObject::connect(grid, &QObject::destroyed, [source] { delete source; });
    grid->setDataSource(source);
    for (int row = 0; row < 4; ++row) {
        auto* shelf = new QLabel(grid->contentView());
        shelf->setGeometry(0, 15 + row * 120 + 70, 320, 30);
        shelf->setStyleSheet(QStringLiteral(
            "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgb(176, 128, 84), "
            "stop:1 rgb(120, 80, 48));"));
    }
    grid->reloadData();
    grid->setEditing(true);
    ctx.showFullWindow(page);
    ctx.settle(100);
}

struct SettingSegments final : CustomSegmentedControlDelegate {
    QStringList titles;
    QString normal;
    QString selected;
    int segmentWidth = 0;
    int capWidth = 4;
    int initial = 0;
    QAbstractButton* buttonFor(CustomSegmentedControl*, int index) override {
        auto* button = new Button;
        const auto cap = CustomSegmentedControl::capLocationFor(index, int(titles.size()));
        const QPixmap off =
            CustomSegmentedControl::image(Images::named(normal), cap, capWidth, segmentWidth);
        const QPixmap on =
            CustomSegmentedControl::image(Images::named(selected), cap, capWidth, segmentWidth);
        button->setBackgroundImage(StretchableImage(off, {}), StretchableImage(on, {}));
        button->setText(titles.at(index));
        button->setFontSize(16);
        button->setTitleColor(index == initial ? Qt::white : Qt::gray);
        button->setSelected(index == initial);
        return button;
    }
};

CustomSegmentedControl* settingControl(QWidget* page, const QStringList& titles, QSize size,
                                       const QString& normal, const QString& selected,
                                       const QString& divider, int initial, QPoint at) {
    auto* d = new SettingSegments;
    d->titles = titles;
    d->normal = normal;
    d->selected = selected;
    d->segmentWidth = size.width();
    d->initial = initial;
    auto* control =
        new CustomSegmentedControl(int(titles.size()), size, Images::named(divider), 9000, d, page);
    control->move(at);
    QObject::connect(control, &QObject::destroyed, [d] { delete d; });
    return control;
}

QStringList fontSizeTitles() {
    return {QStringLiteral("小"), QStringLiteral("中"), QStringLiteral("大"),
            QStringLiteral("极大")};
}

// The font-size control of the reader's dark popover, with the given size selected.
CustomSegmentedControl* popoverFontControl(QWidget* parent, int initial, QPoint at) {
    return settingControl(parent, fontSizeTitles(), QSize(51, 30),
                          QStringLiteral("read_tanchuButton_font"),
                          QStringLiteral("read_tanchuButton_font_select"),
                          QStringLiteral("read_tanchuButton_font_line"), initial, at);
}

SVSegmentedControl* columnSwitch(QWidget* page, const QStringList& titles, int y, int selected) {
    auto* sv = new SVSegmentedControl(titles, page);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(16);
    sv->setFont(arial);
    sv->setBackgroundImage(Images::named(QStringLiteral("public_Column_tab")));
    sv->setThumbImage(Images::named(QStringLiteral("public_Column_tab_select")));
    sv->setHeight(32);
    sv->resize(sv->sizeHint());
    sv->move(160 - sv->width() / 2, y);
    sv->setSelectedIndex(selected);
    return sv;
}

void segmentedPage(ScreenshotWalk::Context& ctx) {
    QWidget* page = makePage(QStringLiteral("分段控件"));
    caption(QStringLiteral("SVSegmentedControl"), page, 56);
    columnSwitch(page, {QStringLiteral("今日推荐"), QStringLiteral("精品推荐")}, 78, 0);
    columnSwitch(page, {QStringLiteral("点击排行"), QStringLiteral("收藏排行")}, 122, 1);
    columnSwitch(page, {QStringLiteral("章节目录"), QStringLiteral("书签")}, 166, 0);

    caption(QStringLiteral("CustomSegmentedControl"), page, 220);
    const QString zt = QStringLiteral("center_settings_zt");
    const QString ztOn = QStringLiteral("center_settings_zt_select");
    const QString line = QStringLiteral("center_settings_line");
    settingControl(page, {QStringLiteral("日间模式"), QStringLiteral("夜间模式")}, QSize(90, 27),
                   zt, ztOn, line, 0, QPoint(20, 244));
    settingControl(page, fontSizeTitles(), QSize(45, 27), zt, ztOn, line, 1, QPoint(20, 286));
    auto* dark = new QWidget(page);
    dark->setGeometry(0, 330, 320, 70);
    dark->setStyleSheet(QStringLiteral("background: rgb(47, 38, 33);"));
    popoverFontControl(page, 2, QPoint(55, 350));
    ctx.showFullWindow(page);
    ctx.settle(100);
}

void popoverPage(ScreenshotWalk::Context& ctx) {
    QWidget* page = makePage(QStringLiteral("弹出框"));
    auto* toolbar = new QWidget(page);
    toolbar->setGeometry(0, 524, 320, 44);
    toolbar->setStyleSheet(QStringLiteral("background: rgb(47, 38, 33);"));
    for (int i = 0; i < 5; ++i) {
        auto* b = new QLabel(QStringLiteral("●"), toolbar);
        b->setAlignment(Qt::AlignCenter);
        b->setGeometry(i * 64, 0, 64, 44);
        b->setStyleSheet(QStringLiteral("color: rgb(200, 180, 150); font-size: 18px;"));
    }
    ctx.showFullWindow(page);
    ctx.settle(50);

    auto* content = new QWidget;
    auto* label = new QLabel(QStringLiteral("文字大小："), content);
    label->setGeometry(11, 12, 100, 30);
    label->setStyleSheet(QStringLiteral("color: rgb(153, 153, 153); font-size: 15px;"));
    popoverFontControl(content, 1, QPoint(91, 12));
    auto* popover = new WEPopoverController(content, page);
    popover->setPopoverContentSize(QSize(312, 54));
    popover->setContainerViewProperties(WEPopoverContainerViewProperties::standard());
    popover->presentPopoverFromRect(QRect(64, 0, 64, 44), toolbar, WEPopoverContainerView::ArrowAny,
                                    false);
    ctx.addCleanUp([popover] { popover->dismissPopoverAnimated(false); });
    ctx.settle(100);
}

void imagePage(ScreenshotWalk::Context& ctx, bool arrived) {
    QWidget* page = makePage(arrived ? QStringLiteral("封面已到") : QStringLiteral("封面加载中"));
    // Addresses nobody serves: before, the view waits with its placeholder; after, the cover
    // is already in the disk cache and shown from there.
    const QUrl viewUrl(QStringLiteral("http://127.0.0.1:9/gallery/cover-view.png"));
    const QUrl buttonUrl(QStringLiteral("http://127.0.0.1:9/gallery/cover-button.png"));
    if (arrived) {
        EGOCache* cache = EGOCache::currentCache();
        cache->setData(pngBytes(coverImage(QStringLiteral("长夜行舟"), QColor(60, 110, 150))),
                       EGOImageLoader::keyForURL(viewUrl), EGOImageLoader::kImageCacheInterval);
        cache->setData(pngBytes(coverImage(QStringLiteral("青灯记"), QColor(150, 90, 60))),
                       EGOImageLoader::keyForURL(buttonUrl), EGOImageLoader::kImageCacheInterval);
        cache->flush();
    }
    const QPixmap placeholder = Images::named(QStringLiteral("books_nobook"));
    caption(QStringLiteral("EGOImageView"), page, 60);
    auto* view = new EGOImageView(placeholder, nullptr, page);
    view->setGeometry(30, 84, 104, 144);
    caption(QStringLiteral("EGOImageButton"), page, 240);
    auto* button = new EGOImageButton(placeholder, nullptr, page);
    button->setGeometry(30, 264, 65, 90);
    view->setImageURL(viewUrl);
    button->setImageURL(buttonUrl);
    auto* note = new QLabel(view->showsPlaceholder() ? QStringLiteral("等待封面…")
                                                     : QStringLiteral("封面来自磁盘缓存"),
                            page);
    note->setGeometry(150, 140, 160, 20);
    note->setStyleSheet(QStringLiteral("color: rgb(90, 75, 64);"));
    ctx.showFullWindow(page);
    ctx.settle(50);
}

} // namespace

void registerWidgetGallery() {
    ScreenshotWalk::add(QStringLiteral("widgets_pull_strips"), kOrder, stripsPage);
    ScreenshotWalk::add(QStringLiteral("widgets_pull_header_pulled"), kOrder + 1,
                        [](ScreenshotWalk::Context& ctx) { pulledPage(ctx, true); });
    ScreenshotWalk::add(QStringLiteral("widgets_pull_refreshing"), kOrder + 2, refreshingPage);
    ScreenshotWalk::add(QStringLiteral("widgets_pull_footer_pulled"), kOrder + 3,
                        [](ScreenshotWalk::Context& ctx) { pulledPage(ctx, false); });
    ScreenshotWalk::add(QStringLiteral("widgets_pull_end"), kOrder + 4, endPage);
    ScreenshotWalk::add(QStringLiteral("widgets_pull_message"), kOrder + 5, messagePage);
    ScreenshotWalk::add(QStringLiteral("widgets_grid_editing"), kOrder + 10, gridPage);
    ScreenshotWalk::add(QStringLiteral("widgets_segmented"), kOrder + 20, segmentedPage);
    ScreenshotWalk::add(QStringLiteral("widgets_popover"), kOrder + 30, popoverPage);
    ScreenshotWalk::add(QStringLiteral("widgets_image_before"), kOrder + 40,
                        [](ScreenshotWalk::Context& ctx) { imagePage(ctx, false); });
    ScreenshotWalk::add(QStringLiteral("widgets_image_after"), kOrder + 41,
                        [](ScreenshotWalk::Context& ctx) { imagePage(ctx, true); });
}
