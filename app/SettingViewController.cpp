#include "app/SettingViewController.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <type_traits>

#include "account/MyInfoViewController.h"
#include "app/tooles.h"
#include "catalog/FirstViewController.h"
#include "catalog/WZGuideViewController.h"
#include "engines/HttpRequest.h"
#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "reader/ReaderSettings.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"

namespace {

const QString kFontSizeId = QStringLiteral("FontSizeId");
const QString kLightSizeId = QStringLiteral("LightSizeId");
const QString kReadType = QStringLiteral("ReadType");
const QString kIsOpenWifi = QStringLiteral("is_open_wifi");

constexpr int kRowHeight = 43;
constexpr int kSectionGap = 8;
constexpr int kInset = 10; // grouped rows stand this far in from the table's sides
constexpr int kQuitHeight = 45;

const QColor kPanelFill(255, 253, 248);
const QColor kPanelLine(214, 199, 174);
const QColor kHighlight(236, 122, 0, 60);

QFont arial(int pixels) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    return f;
}

QLabel* makeLabel(const QString& text, int pixels, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(arial(pixels));
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(color.name()));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// One grouped section: a rounded panel with hairlines between its rows.
class SectionPanel final : public QWidget {
public:
    SectionPanel(int rows, QWidget* parent) : QWidget(parent), rows_(rows) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.fillPath(path, kPanelFill);
        p.setPen(QPen(kPanelLine, 1));
        p.drawPath(path);
        for (int i = 1; i < rows_; ++i)
            p.drawLine(QPointF(0.5, i * kRowHeight + 0.5),
                       QPointF(width() - 0.5, i * kRowHeight + 0.5));
    }

private:
    int rows_;
};

// A row of the table. Rows that act show a shade while pressed and report a tap.
class SettingCell final : public QWidget {
public:
    SettingCell(bool selectable, std::function<void()> tapped, QWidget* parent)
        : QWidget(parent), selectable_(selectable), tapped_(std::move(tapped)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (!selectable_) {
            event->ignore();
            return;
        }
        pressed_ = true;
        update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (!selectable_ || !pressed_) {
            event->ignore();
            return;
        }
        pressed_ = false;
        update();
        if (rect().contains(event->position().toPoint()) && tapped_)
            tapped_();
    }
    void paintEvent(QPaintEvent*) override {
        if (!pressed_)
            return;
        QPainter p(this);
        p.fillRect(rect().adjusted(1, 1, -1, -1), kHighlight);
    }

private:
    bool selectable_;
    bool pressed_ = false;
    std::function<void()> tapped_;
};

// A disclosure chevron at the right end of a row.
class Disclosure final : public QWidget {
public:
    explicit Disclosure(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        resize(10, 14);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(160, 140, 115), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2, 2), QPointF(8, 7), QPointF(2, 12)}));
    }
};

// A segment of the settings' segmented controls: grey title, white when selected, the
// background cut for the segment's place; no darkening while pressed.
class SegmentButton final : public QAbstractButton {
public:
    SegmentButton(const QString& title, const QPixmap& normal, const QPixmap& selected)
        : normal_(normal), selected_(selected) {
        setText(title);
        setCheckable(true);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setPixelSize(16);
        setFont(f);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const bool on = isChecked() || isDown();
        const QPixmap& bg = on ? selected_ : normal_;
        if (!bg.isNull())
            p.drawPixmap(rect(), bg);
        p.setPen(on ? QColor(Qt::white) : QColor(128, 128, 128));
        p.setFont(font());
        p.drawText(rect(), Qt::AlignCenter, text());
    }

private:
    QPixmap normal_;
    QPixmap selected_;
};

QVariantMap segmentLook(const QStringList& titles, const QSize& size) {
    QVariantMap look;
    look.insert(QStringLiteral("titles"), titles);
    look.insert(QStringLiteral("size"), size);
    look.insert(QStringLiteral("button-image"), QStringLiteral("center_settings_zt.png"));
    look.insert(QStringLiteral("button-highlight-image"),
                QStringLiteral("center_settings_zt_select.png"));
    look.insert(QStringLiteral("divider-image"), QStringLiteral("center_settings_line.png"));
    look.insert(QStringLiteral("cap-width"), 4);
    return look;
}

// The page style segment for a stored ReadType: night for anything the reader does not take
// for day.
int styleSegment(const QVariant& stored) {
    return ReaderSettings::readType(stored) == 1 ? 0 : 1;
}

// The type size segment for a stored FontSizeId: "中" when nothing is stored, none for a size
// that is not one of the four.
int fontSegment(const QVariant& stored) {
    if (!stored.isValid() || stored.isNull())
        return 1;
    return ReaderSettings::fontSegment(stored);
}

// Tells the bookshelf it is in view again, so that it reads the shelf anew.
template <class Shelf> void refreshShelf(Shelf* shelf) {
    if constexpr (requires(Shelf * s) { s->reloadShelf(); }) {
        shelf->reloadShelf();
    } else {
        // Without a reload of its own, the shelf reloads as it appears (popping to the root
        // has already told it so when its stack is on screen).
        if (!shelf->isAppearing()) {
            shelf->beginAppearance(false);
            shelf->endAppearance(false);
        }
    }
}

} // namespace

SettingSwitch::SettingSwitch(int tag, QWidget* parent) : QAbstractButton(parent), tag_(tag) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    resize(sizeHint());
}

void SettingSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal r = track.height() / 2;
    p.setPen(QPen(isChecked() ? QColor(214, 110, 30) : QColor(205, 189, 162), 1));
    p.setBrush(isChecked() ? QColor(230, 138, 66) : QColor(243, 236, 224));
    p.drawRoundedRect(track, r, r);
    const qreal d = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - d : track.left() + 2;
    p.setPen(QPen(QColor(190, 172, 145), 0.8));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 2, d, d));
}

SettingViewController::SettingViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("SettingViewController"));
    setHidesBottomBarWhenPushed(true);
    buttons.append(segmentLook({QStringLiteral("日间模式"), QStringLiteral("夜间模式")}, {90, 27}));
    buttons.append(segmentLook(
        {QStringLiteral("小"), QStringLiteral("中"), QStringLiteral("大"), QStringLiteral("极大")},
        {45, 27}));
}

SettingViewController::~SettingViewController() {
    for (HttpRequest* r : {asiHttpRequest_.data(), asiHttpRequest3_.data()})
        if (r)
            r->clearDelegatesAndCancel();
    if (alert_)
        alert_->dismiss();
    // The overlay belongs to a sign-out that is going away with this screen.
    if (signingOut_)
        tooles::removeHUD();
}

int SettingViewController::numberOfRowsInSection(int section) {
    static constexpr int rows[kSections] = {4, 2, 2, 1, 1};
    return section >= 0 && section < kSections ? rows[section] : 0;
}

void SettingViewController::viewDidLoad() {
    setTitle(L("setting"));
    setHidesBackButton(true);

    background_ = new ImageView(this);
    background_->setObjectName(QStringLiteral("settingBackdrop"));
    static_cast<ImageView*>(background_)
        ->setPatternNamed(QStringLiteral("public_contentBg_repeat"));
    background_->setGeometry(rect());
    background_->lower();

    btnBack_ = tooles::barButton(
        this, QStringLiteral("btnBack"), QStringLiteral("public_toolBg_Button_back"), L("back"), 1,
        [this](int tag) { actionBtn(tag); }, QSize(55, 32), QMargins(14, 0, 6, 0),
        QStringLiteral("Arial"));
    setLeftBarButton(btnBack_);

    buildTable();

    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));
}

void SettingViewController::buildTable() {
    const QRect screen = Window::screenBounds();
    myTableView_ = tooles::fingerScrollArea(this, QStringLiteral("myTableView"));
    myTableView_->setGeometry(5, 10, screen.width() - 10, screen.height() - 84);

    auto* content = new QWidget();
    content->setObjectName(QStringLiteral("settingRows"));
    content->setAttribute(Qt::WA_TranslucentBackground);
    content->setAutoFillBackground(false);
    const int width = myTableView_->width();
    int y = 0;
    cells_.clear();
    for (int section = 0; section < kSections; ++section) {
        const int rows = numberOfRowsInSection(section);
        QList<QWidget*> sectionCells;
        if (section == 4) {
            // The sign-out row is a see-through cell holding the button alone.
            QWidget* cell = makeCell(section, 0, content);
            cell->setGeometry(kInset, y, width - 2 * kInset, kQuitHeight);
            sectionCells.append(cell);
            y += kQuitHeight + kSectionGap;
        } else {
            auto* panel = new SectionPanel(rows, content);
            panel->setObjectName(QStringLiteral("section%1").arg(section));
            panel->setGeometry(kInset, y, width - 2 * kInset, rows * kRowHeight);
            for (int row = 0; row < rows; ++row) {
                QWidget* cell = makeCell(section, row, panel);
                cell->setGeometry(0, row * kRowHeight, panel->width(), kRowHeight);
                sectionCells.append(cell);
            }
            y += rows * kRowHeight + kSectionGap;
        }
        cells_.append(sectionCells);
    }
    content->resize(width, y);
    myTableView_->setWidget(content);
    myTableView_->widget()->setAutoFillBackground(false);
}

QWidget* SettingViewController::makeCell(int section, int row, QWidget* parent) {
    const bool acts = section == 2 || section == 3;
    auto* cell = new SettingCell(
        acts, [this, section, row] { didSelectRow(section, row); }, parent);
    cell->setObjectName(QStringLiteral("MyIdentify%1%2").arg(section).arg(row));
    const int w = Window::screenBounds().width() - 10 - 2 * kInset;
    const int mid = kRowHeight / 2;
    auto label = [&](const QString& text) {
        QLabel* l = makeLabel(text, 16, Qt::black, cell);
        l->setObjectName(QStringLiteral("detailTextLabel"));
        l->adjustSize();
        l->move(10, mid - l->height() / 2);
        return l;
    };
    auto placeRight = [&](QWidget* control) {
        control->move(w - 10 - control->width(), mid - control->height() / 2);
    };

    switch (section * 10 + row) {
    case 0: {
        label(QStringLiteral("自动检测内容更新"));
        updateSwitch_ = new SettingSwitch(1, cell);
        updateSwitch_->setObjectName(QStringLiteral("updateSwitch"));
        placeRight(updateSwitch_);
        connect(updateSwitch_, &QAbstractButton::toggled, this,
                [this](bool on) { actionSwitch(1, on); });
        break;
    }
    case 1: {
        label(QStringLiteral("屏幕亮度"));
        slider_ = new QSlider(Qt::Horizontal, cell);
        slider_->setObjectName(QStringLiteral("lightSlider"));
        slider_->setRange(0, 100 * kSliderSteps);
        slider_->setFocusPolicy(Qt::NoFocus);
        slider_->resize(180, 30);
        slider_->setStyleSheet(QStringLiteral(
            "QSlider { background: transparent; }"
            "QSlider::groove:horizontal { height: 4px; border-radius: 2px;"
            " background: rgb(214,199,174); }"
            "QSlider::sub-page:horizontal { height: 4px; border-radius: 2px;"
            " background: rgb(230,138,66); }"
            "QSlider::handle:horizontal { width: 22px; height: 22px; margin: -9px 0;"
            " border-radius: 11px; background: white; border: 1px solid rgb(190,172,145); }"));
        placeRight(slider_);
        connect(slider_, &QSlider::valueChanged, this,
                [this](int position) { actionSlide(double(position) / kSliderSteps); });
        break;
    }
    case 2:
    case 3: {
        const bool style = row == 2;
        label(style ? QStringLiteral("模式") : QStringLiteral("文字大小"));
        const QVariantMap& look = buttons.at(style ? 0 : 1);
        const QSize size = look.value(QStringLiteral("size")).toSize();
        const QPixmap divider =
            Images::named(look.value(QStringLiteral("divider-image")).toString());
        auto* control = new CustomSegmentedControl(
            int(look.value(QStringLiteral("titles")).toStringList().size()), size, divider,
            style ? kStyleControlTag : kFontControlTag, this, cell);
        control->setObjectName(style ? QStringLiteral("styleControl")
                                     : QStringLiteral("fontControl"));
        placeRight(control);
        (style ? styleControl_ : fontControl_) = control;
        break;
    }
    case 10: {
        label(QStringLiteral("只允许WIFI网络进行下载"));
        wifiSwitch_ = new SettingSwitch(2, cell);
        wifiSwitch_->setObjectName(QStringLiteral("wifiSwitch"));
        placeRight(wifiSwitch_);
        connect(wifiSwitch_, &QAbstractButton::toggled, this,
                [this](bool on) { actionSwitch(2, on); });
        break;
    }
    case 11: {
        QLabel* hint = makeLabel(QStringLiteral("离线下载会耗费较多的流量，建议开启此选项"), 13,
                                 QColor(128, 128, 128), cell);
        hint->setObjectName(QStringLiteral("detailTextLabel"));
        hint->adjustSize();
        hint->move(10, mid - hint->height() / 2);
        break;
    }
    case 20: {
        label(QStringLiteral("清除缓存"));
        QLabel* hint = makeLabel(QStringLiteral("(慎用，会清除所有的阅读缓存记录)"), 13,
                                 QColor(128, 128, 128), cell);
        hint->setObjectName(QStringLiteral("clearHint"));
        hint->adjustSize();
        placeRight(hint);
        break;
    }
    case 21:
        label(QStringLiteral("清除书签记录"));
        break;
    case 30: {
        label(QStringLiteral("使用指南"));
        auto* chevron = new Disclosure(cell);
        placeRight(chevron);
        break;
    }
    case 40: {
        cell->setAttribute(Qt::WA_TranslucentBackground);
        quit_ = tooles::createButtonWithTitle(
            QStringLiteral("退出登录"), Qt::white, 18, this, [this](int tag) { actionBtn(tag); },
            QRect(0, 0, 290, kQuitHeight), QStringLiteral("center_Button_quit"), QString(), 2,
            cell);
        quit_->setObjectName(QStringLiteral("quitButton"));
        quit_->move((w - quit_->width()) / 2, 0);
        break;
    }
    default:
        break;
    }
    return cell;
}

QWidget* SettingViewController::cellAt(int section, int row) const {
    if (section < 0 || section >= cells_.size() || row < 0 || row >= cells_.at(section).size())
        return nullptr;
    return cells_.at(section).at(row);
}

void SettingViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (notify_)
        notify_->hideNotice();
    readStoredValues();
}

void SettingViewController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    if (background_)
        background_->setGeometry(rect());
}

void SettingViewController::readStoredValues() {
    if (!isViewLoaded())
        return;
    const UserDefaults& defaults = UserDefaults::standard();
    // Only what the user does here is stored: putting the controls in line writes nothing.
    {
        const QSignalBlocker block(slider_);
        slider_->setValue(qRound(
            ReaderSettings::sliderBrightness(defaults.objectForKey(kLightSizeId)) * kSliderSteps));
    }
    {
        // The update switch stores nothing and starts off on every display.
        const QSignalBlocker block(updateSwitch_);
        updateSwitch_->setChecked(false);
    }
    {
        const QSignalBlocker block(wifiSwitch_);
        wifiSwitch_->setChecked(defaults.boolForKey(kIsOpenWifi));
    }
    styleControl_->setSelectedSegmentIndex(styleSegment(defaults.objectForKey(kReadType)));
    fontControl_->setSelectedSegmentIndex(fontSegment(defaults.objectForKey(kFontSizeId)));
}

QAbstractButton* SettingViewController::buttonFor(CustomSegmentedControl* control, int index) {
    const bool style = control->tag() == kStyleControlTag;
    const QVariantMap& look = buttons.at(style ? 0 : 1);
    const QStringList titles = look.value(QStringLiteral("titles")).toStringList();
    const QSize size = look.value(QStringLiteral("size")).toSize();
    const int cap = look.value(QStringLiteral("cap-width")).toInt();
    const auto where = CustomSegmentedControl::capLocationFor(index, int(titles.size()));
    const QPixmap normal = CustomSegmentedControl::image(
        Images::named(look.value(QStringLiteral("button-image")).toString(),
                      QSize(size.width(), size.height())),
        where, cap, size.width());
    const QPixmap selected = CustomSegmentedControl::image(
        Images::named(look.value(QStringLiteral("button-highlight-image")).toString(),
                      QSize(size.width(), size.height())),
        where, cap, size.width());
    auto* button = new SegmentButton(titles.value(index), normal, selected);
    const UserDefaults& defaults = UserDefaults::standard();
    const int current = style ? styleSegment(defaults.objectForKey(kReadType))
                              : fontSegment(defaults.objectForKey(kFontSizeId));
    button->setChecked(index == current);
    return button;
}

void SettingViewController::touchUpInsideSegmentIndex(CustomSegmentedControl* control,
                                                      int segmentIndex) {
    UserDefaults& defaults = UserDefaults::standard();
    if (control->tag() == kFontControlTag) {
        const int size = ReaderSettings::fontSizeOfSegment(segmentIndex);
        if (size == 0)
            return;
        defaults.setObject(kFontSizeId, size);
    } else if (control->tag() == kStyleControlTag) {
        defaults.setObject(kReadType, segmentIndex == 0 ? 1 : 2);
    } else {
        return;
    }
    defaults.synchronize();
}

void SettingViewController::actionBtn(int tag) {
    if (tag == 1) {
        if (NavigationController* nav = navigationController()) {
            if (!nav->popToFirstOfClass<MyInfoViewController>(true))
                nav->popViewController(true);
        }
    } else if (tag == 2) {
        signOut();
    }
}

void SettingViewController::actionSwitch(int tag, bool on) {
    if (tag == 2) {
        UserDefaults& defaults = UserDefaults::standard();
        defaults.setObject(kIsOpenWifi, on);
        defaults.synchronize();
    } else if (tag == 1) {
        qInfo("%s", on ? "1" : "2");
    }
}

void SettingViewController::actionSlide(double value) {
    UserDefaults& defaults = UserDefaults::standard();
    defaults.setObject(kLightSizeId, ReaderSettings::brightnessText(value));
    defaults.synchronize();
}

void SettingViewController::didSelectRow(int section, int row) {
    if (section == 2 && row == 0)
        clearRecords();
    else if (section == 2 && row == 1)
        confirmClearBookmarks();
    else if (section == 3 && row == 0)
        WZGuideViewController::show();
}

void SettingViewController::showNotice(const QString& text, const QString& imageName) {
    if (!notify_)
        return;
    notify_->showBDK(text, imageName);
    notify_->displayNotification();
}

void SettingViewController::signOut() {
    tooles::showHUD(QStringLiteral("正在退出..."));
    signingOut_ = true;
    QVariantMap params;
    Service::addToken(params);
    if (asiHttpRequest_)
        asiHttpRequest_->clearDelegatesAndCancel();
    HttpRequest* request = Service::request(Service::signedUrl(Endpoints::logout, params), this);
    asiHttpRequest_ = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        signedOut(r);
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        signingOut_ = false;
        tooles::removeHUD();
        showNotice(L("The network is not good"), QStringLiteral("read_refresh_no"));
    });
    request->startAsynchronous();
}

void SettingViewController::signedOut(HttpRequest* request) {
    signingOut_ = false;
    tooles::removeHUD();
    if (!Service::decode(request).ok)
        return; // refused: the user stays signed in
    UserStore::signOut();
    // Popping to the root destroys this screen: only locals from here on.
    QPointer<NavigationController> nav = navigationController();
    QPointer<TabBarController> tabs = tabBarController();
    if (nav)
        nav->popToRootViewController(true);
    if (!tabs)
        return;
    tabs->setSelectedIndex(0);
    auto* shelfStack = qobject_cast<NavigationController*>(tabs->selectedViewController());
    ViewController* root = shelfStack ? shelfStack->rootViewController() : nullptr;
    if (shelfStack && shelfStack != nav.data())
        shelfStack->popToRootViewController(false);
    if (auto* shelf = qobject_cast<FirstViewController*>(root))
        refreshShelf(shelf);
}

void SettingViewController::clearRecords() {
    QVariantMap params;
    params.insert(QStringLiteral("book_id"), QStringLiteral("ALL"));
    Service::addToken(params);
    if (asiHttpRequest3_)
        asiHttpRequest3_->clearDelegatesAndCancel();
    HttpRequest* request =
        Service::request(Service::signedUrl(Endpoints::deleteReadRecord, params), this);
    asiHttpRequest3_ = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        const Service::Answer answer = Service::decode(r);
        // An answer without a message still says how it went.
        QString text = answer.msg;
        if (text.isEmpty())
            text = answer.ok ? QStringLiteral("清除成功") : QStringLiteral("清除失败");
        showNotice(text, answer.ok ? QStringLiteral("read_refresh_yes")
                                   : QStringLiteral("read_refresh_no"));
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        showNotice(L("The network is not good"), QStringLiteral("read_refresh_no"));
    });
    request->startAsynchronous();
}

void SettingViewController::confirmClearBookmarks() {
    if (alert_)
        return;
    alert_ = new AlertView(QStringLiteral("提示"),
                           QStringLiteral("你确定清除所有书签记录吗？此操作不可恢复！"), this,
                           QStringLiteral("取消"), {QStringLiteral("确定")});
    alert_->setTag(kBookmarkAlertTag);
    alert_->setOffset(QPoint(0, -20));
    alert_->show();
}

void SettingViewController::alertViewClickedButtonAtIndex(AlertView* alert, int index) {
    if (!alert || alert->tag() != kBookmarkAlertTag || index != 1)
        return;
    BookDb db;
    if (db.cleanAllMark())
        showNotice(QStringLiteral("清除成功"), QStringLiteral("read_refresh_yes"));
    else
        showNotice(QStringLiteral("清除失败"), QStringLiteral("read_refresh_no"));
}
