#include "account/MyInfoViewController.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QScrollArea>
#include <QScroller>

#include "account/FeedbackViewController.h"
#include "account/MemberCenterRecordsCell.h"
#include "account/MyFavoriteViewController.h"
#include "account/MyMsgboxViewController.h"
#include "account/ReadRecordViewController.h"
#include "app/SettingViewController.h"
#include "app/VersionCheck.h"
#include "app/tooles.h"
#include "catalog/FirstViewController.h"
#include "platform/Application.h"
#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/Paths.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/Service.h"
#include "storage/UserStore.h"

namespace {

const QString kDefaultAvatar = QStringLiteral("center_headBg");

struct MenuRow {
    const char* icon;
    const char* title;
};
constexpr MenuRow kMenu[MyInfoViewController::kRows] = {
    {"center_Icon_record", "My reading record"},
    {"center_Icon_collect", "My favorite"},
    {"center_Icon_mailbox", "My mailbox"},
    {"center_Icon_feedback", "Feedback"},
    {"center_Icon_refresh", "The latest version detection"},
};

// The menu's rounded panel.
class MenuPanel final : public QWidget {
public:
    explicit MenuPanel(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.fillPath(path, QColor(255, 253, 248));
        p.setPen(QPen(QColor(214, 199, 174), 1));
        p.drawPath(path);
    }
};

// The avatar's frame: a white mat with a thin warm edge around the picture.
class AvatarFrame final : public QWidget {
public:
    explicit AvatarFrame(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(205, 189, 162), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
};

} // namespace

MyInfoViewController::MyInfoViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("MyInfoViewController"));
    setHidesBottomBarWhenPushed(true);
}

MyInfoViewController::~MyInfoViewController() {
    if (sheet_)
        sheet_->dismiss();
}

QString MyInfoViewController::avatarPath(const QString& userId) {
    const QString documents = Paths::documentsDir();
    if (documents.isEmpty() || !QFileInfo(documents).isDir()) {
        qWarning("Documents directory not found!");
        return {};
    }
    return QDir(documents).filePath(QStringLiteral("avatar_%1.png").arg(userId));
}

bool MyInfoViewController::saveAvatar(const QImage& image, const QString& path) {
    if (image.isNull() || path.isEmpty())
        return false;
    QImage stored = image;
    const QSize screen = Window::screenModeSize();
    if (stored.width() > screen.width() || stored.height() > screen.height())
        stored = stored.scaled(screen, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // Encoded in full before the file is touched, then swapped in whole.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!stored.save(&buffer, "PNG")) {
        qWarning("The avatar could not be encoded as PNG");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit()) {
        qWarning("The avatar could not be written to %s: %s", qPrintable(path),
                 qPrintable(file.errorString()));
        return false;
    }
    return true;
}

void MyInfoViewController::viewDidLoad() {
    userInfo_ = UserStore::userInfo();
    setTitle(L("My Center"));
    setHidesBackButton(true);

    background_ = new ImageView(this);
    background_->setObjectName(QStringLiteral("memberBackdrop"));
    background_->setPatternNamed(QStringLiteral("public_Bg"));
    background_->setGeometry(rect());
    background_->lower();

    btnBack_ = tooles::barButton(
        this, QStringLiteral("btnBack"), QStringLiteral("public_toolBg_Button_back"), L("back"), 1,
        [this](int tag) { action(tag); }, QSize(55, 32), QMargins(14, 0, 6, 0));
    setLeftBarButton(btnBack_);

    // The settings button: the gear beside its label on the bar's button face.
    btnSet_ = new Button(this);
    btnSet_->setObjectName(QStringLiteral("btnSet"));
    btnSet_->setTag(2);
    btnSet_->setBackgroundImageNamed(QStringLiteral("public_toolBg_Button"), {},
                                     QMargins(6, 0, 6, 0));
    btnSet_->setAccessibleName(L("setting"));
    auto* gear = new ImageView(btnSet_);
    gear->setImageNamed(QStringLiteral("center_toolBg_Icon_settings"));
    gear->setAttribute(Qt::WA_TransparentForMouseEvents);
    gear->setGeometry(7, 7, 18, 18);
    auto* setLabel = new QLabel(L("setting"), btnSet_);
    setLabel->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    QFont setFont = setLabel->font();
    setFont.setPixelSize(14);
    setLabel->setFont(setFont);
    setLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    setLabel->adjustSize();
    setLabel->move(29, (32 - setLabel->height()) / 2);
    btnSet_->resize(qMax(60, 29 + setLabel->width() + 8), 32);
    btnSet_->setAction(this, [this](int tag) { action(tag); });
    setRightBarButton(btnSet_);

    scroll_ = tooles::fingerScrollArea(this, QStringLiteral("memberScroll"), true);
    auto* content = new QWidget();
    content->setObjectName(QStringLiteral("memberContent"));
    content->setAttribute(Qt::WA_TranslucentBackground);
    content->resize(Window::screenBounds().width(), 330);
    buildHeader(content);
    buildMenu(content);
    scroll_->setWidget(content);

    footerImage_ = new ImageView(this);
    footerImage_->setObjectName(QStringLiteral("footerImage"));
    footerImage_->setImageNamed(QStringLiteral("center_footer"));
    versionLabel_ = new QLabel(Application::shortVersionString(), this);
    versionLabel_->setObjectName(QStringLiteral("versionLabel"));
    versionLabel_->setStyleSheet(
        QStringLiteral("color: rgb(150,130,105); background: transparent;"));
    QFont versionFont = versionLabel_->font();
    versionFont.setPixelSize(13);
    versionLabel_->setFont(versionFont);
    versionLabel_->adjustSize();

    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));
    layoutFooter();
}

void MyInfoViewController::buildHeader(QWidget* content) {
    auto* frame = new AvatarFrame(content);
    frame->setGeometry(16, 16, 69, 70);
    avatarView_ = new ImageView(content);
    avatarView_->setObjectName(QStringLiteral("avatarView"));
    avatarView_->setGeometry(20, 20, 61, 62);
    avatarView_->setCursor(Qt::PointingHandCursor);
    // Image views let touches through; this one takes its taps.
    avatarView_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    GestureRecognizer::add(avatarView_, GestureRecognizer::Kind::Tap, this,
                           [this](QPoint) { avatarTapped(); });

    const QString path = avatarPath(Service::textOf(userInfo_.value(QStringLiteral("id"))));
    QImage stored;
    if (!path.isEmpty() && QFileInfo::exists(path))
        stored.load(path);
    if (!stored.isNull())
        showAvatar(stored, path);
    else
        showAvatar(QImage(), kDefaultAvatar);

    labelUsername_ = new QLabel(UserStore::currentAccount(), content);
    labelUsername_->setObjectName(QStringLiteral("labelUsername"));
    QFont name = labelUsername_->font();
    name.setPixelSize(18);
    name.setBold(true);
    labelUsername_->setFont(name);
    labelUsername_->setStyleSheet(QStringLiteral("color: rgb(74,54,38); background: transparent;"));
    labelUsername_->setGeometry(98, 24, 210, 26);
    // A long account name (an e-mail address) is set smaller until it fits the line.
    while (name.pixelSize() > 12 &&
           QFontMetrics(name).horizontalAdvance(labelUsername_->text()) > labelUsername_->width()) {
        name.setPixelSize(name.pixelSize() - 1);
        labelUsername_->setFont(name);
    }

    labelWelcome_ = new QLabel(L("Welcome to folia"), content);
    labelWelcome_->setObjectName(QStringLiteral("labelWelcome"));
    QFont welcome = labelWelcome_->font();
    welcome.setPixelSize(14);
    labelWelcome_->setFont(welcome);
    labelWelcome_->setStyleSheet(
        QStringLiteral("color: rgb(128,128,128); background: transparent;"));
    labelWelcome_->setGeometry(98, 54, 210, 22);
}

void MyInfoViewController::buildMenu(QWidget* content) {
    const int width = Window::screenBounds().width() - 20;
    myTableView_ = new MenuPanel(content);
    myTableView_->setObjectName(QStringLiteral("myTableView"));
    myTableView_->setGeometry(10, 102, width, kRows * MemberCenterRecordsCell::kHeight);
    for (int row = 0; row < kRows; ++row) {
        auto* cell = new MemberCenterRecordsCell(myTableView_);
        cell->setObjectName(QStringLiteral("menuRow%1").arg(row));
        cell->setGeometry(0, row * MemberCenterRecordsCell::kHeight, width,
                          MemberCenterRecordsCell::kHeight);
        cell->image()->setImageNamed(QString::fromLatin1(kMenu[row].icon));
        cell->cellTitleLabel()->setText(L(kMenu[row].title));
        cell->setSeparatorShown(row + 1 < kRows);
        cell->setTapped([this, row] { didSelectRow(row); });
        cells_.append(cell);
    }
}

void MyInfoViewController::layoutFooter() {
    if (background_)
        background_->setGeometry(rect());
    if (scroll_)
        scroll_->setGeometry(rect());
    if (scroll_ && scroll_->widget()) {
        // The content is as large as the visible area, so that it bounces without scrolling.
        scroll_->widget()->resize(width(), qMax(height(), 330));
    }
    if (footerImage_ && versionLabel_) {
        const QSize icon(24, 24);
        const int total = icon.width() + 6 + versionLabel_->width();
        const int x = (width() - total) / 2;
        const int y = height() - 40;
        footerImage_->setGeometry(x, y, icon.width(), icon.height());
        versionLabel_->move(x + icon.width() + 6,
                            y + (icon.height() - versionLabel_->height()) / 2);
        footerImage_->raise();
        versionLabel_->raise();
    }
    if (notify_)
        notify_->raise();
}

void MyInfoViewController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    layoutFooter();
}

void MyInfoViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (notify_)
        notify_->hideNotice();
}

void MyInfoViewController::showAvatar(const QImage& image, const QString& source) {
    avatarSource_ = source;
    if (image.isNull())
        avatarView_->setImageNamed(kDefaultAvatar);
    else
        avatarView_->setImage(QPixmap::fromImage(image), ImageView::Mode::Stretch);
}

QString MyInfoViewController::appUrl() const {
    return versionCheck_ ? versionCheck_->appUrl() : QString();
}

void MyInfoViewController::action(int tag) {
    NavigationController* nav = navigationController();
    if (tag == 1) {
        if (nav && !nav->popToFirstOfClass<FirstViewController>(true))
            nav->popViewController(true);
    } else if (tag == 2) {
        if (nav)
            nav->pushViewController(new SettingViewController(), true);
    }
}

void MyInfoViewController::push(ViewController* screen, bool hideTabBar) {
    NavigationController* nav = navigationController();
    if (!nav) {
        delete screen;
        return;
    }
    if (hideTabBar)
        screen->setHidesBottomBarWhenPushed(true);
    nav->pushViewController(screen, true);
}

void MyInfoViewController::didSelectRow(int row) {
    switch (row) {
    case 0:
        push(new ReadRecordViewController(), true);
        break;
    case 1:
        push(new MyFavoriteViewController(), true);
        break;
    case 2:
        push(new MyMsgboxViewController(), true);
        break;
    case 3:
        push(new FeedbackViewController(), false);
        break;
    case 4:
        if (!versionCheck_)
            versionCheck_ = new VersionCheck(VersionCheck::Form::MemberCenter, this, notify_);
        versionCheck_->start();
        break;
    default:
        break;
    }
}

void MyInfoViewController::avatarTapped() {
    if (sheet_ || presentedViewController())
        return;
    sheet_ = new ActionSheet(QString(), this, QStringLiteral("取消"), QString(),
                             {QStringLiteral("拍照"), QStringLiteral("相册")});
    sheet_->show();
}

void MyInfoViewController::actionSheetClickedButtonAtIndex(ActionSheet* sheet, int index) {
    if (!sheet || index == sheet->cancelButtonIndex())
        return;
    if (index == 0) {
        // A device without a camera takes the picture from the library instead.
        presentPicker(AvatarPicker::isSourceTypeAvailable(AvatarPicker::SourceType::Camera)
                          ? AvatarPicker::SourceType::Camera
                          : AvatarPicker::SourceType::PhotoLibrary);
    } else if (index == 1) {
        presentPicker(AvatarPicker::SourceType::PhotoLibrary);
    }
}

void MyInfoViewController::presentPicker(AvatarPicker::SourceType source) {
    if (presentedViewController())
        return;
    auto* picker = new AvatarPicker();
    picker->setSourceType(source);
    picker->setAllowsEditing(true);
    picker->setDelegate(this);
    presentModal(picker, true);
}

void MyInfoViewController::imagePickerControllerDidFinishPickingMediaWithInfo(
    AvatarPicker* picker, const QVariantMap& info) {
    Q_UNUSED(picker);
    if (info.value(QString::fromLatin1(AvatarPicker::kMediaType)).toString() !=
        QStringLiteral("public.image"))
        return;
    const QImage edited =
        info.value(QString::fromLatin1(AvatarPicker::kEditedImage)).value<QImage>();
    dismissModal(true);
    if (edited.isNull())
        return;
    const QString path = avatarPath(Service::textOf(userInfo_.value(QStringLiteral("id"))));
    // Shown for this visit even when the file could not be written.
    saveAvatar(edited, path);
    showAvatar(edited, path);
}

void MyInfoViewController::imagePickerControllerDidCancel(AvatarPicker* picker) {
    Q_UNUSED(picker);
    dismissModal(true);
}
