// The member center: the avatar per user and its picker, the account name, the menu rows and
// the version check in its member-center form.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include "account/AvatarPicker.h"
#include "account/FeedbackViewController.h"
#include "account/MemberCenterRecordsCell.h"
#include "account/MyFavoriteViewController.h"
#include "account/MyInfoViewController.h"
#include "account/MyMsgboxViewController.h"
#include "account/ReadRecordViewController.h"
#include "app/SettingViewController.h"
#include "platform/Application.h"
#include "platform/Localizable.h"
#include "platform/Paths.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "service/Service.h"
#include "tests/member/MemberTestSupport.h"

using namespace membertest;
using testutil::waitUntil;

namespace {

class MemberCenterTest : public MemberScreenTest {
protected:
    void SetUp() override {
        MemberScreenTest::SetUp();
        // The library hands over a picture file without a dialog.
        AvatarPicker::setChooser([this](QWidget*, const QString& folder) {
            asked.append(folder);
            return nextPicture;
        });
    }
    void TearDown() override {
        AvatarPicker::setChooser({});
        MemberScreenTest::TearDown();
    }

    // A picture file of the given size and colour.
    QString picture(const QSize& size, const QColor& color) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        const QString path =
            pictures.filePath(QStringLiteral("p%1x%2.png").arg(size.width()).arg(size.height()));
        EXPECT_TRUE(image.save(path));
        return path;
    }

    MyInfoViewController* open() { return push(new MyInfoViewController()); }

    // Taps the avatar and picks a sheet button; the picker presented, if any.
    AvatarPicker* pickFromSheet(MyInfoViewController* center, int index) {
        tap(center->avatarView());
        // A press inside the finger-scrolled area reaches the avatar after the scroller's delay.
        waitUntil([] { return !ActionSheet::visibleSheets().isEmpty(); });
        const QList<ActionSheet*> sheets = ActionSheet::visibleSheets();
        EXPECT_EQ(sheets.size(), 1);
        if (sheets.isEmpty())
            return nullptr;
        sheets.first()->clickButtonAtIndex(index);
        return qobject_cast<AvatarPicker*>(center->presentedViewController());
    }

    // Picks nextPicture through the library and chooses the crop given (or the default one).
    void chooseAvatar(MyInfoViewController* center, const QRect& crop = {}) {
        AvatarPicker* picker = pickFromSheet(center, 1);
        ASSERT_NE(picker, nullptr);
        ASSERT_TRUE(waitUntil([&] { return !picker->originalImage().isNull(); }));
        if (!crop.isNull())
            picker->setCropRect(crop);
        QPointer<AvatarPicker> watch(picker);
        picker->choose();
        ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }));
    }

    QTemporaryDir tmp;
    QDir pictures{tmp.path()};
    QString nextPicture;
    QStringList asked;
};

TEST_F(MemberCenterTest, EachUserHasAnAvatarFileOfTheirOwnElseTheDefaultImage) {
    signIn(123);
    MyInfoViewController* center = open();
    EXPECT_EQ(center->avatarSource(), QStringLiteral("center_headBg"));
    EXPECT_EQ(center->avatarView()->imageName(), QStringLiteral("center_headBg"));

    nextPicture = picture({300, 200}, Qt::red);
    chooseAvatar(center, QRect(120, 40, 150, 150));
    const QString first = QDir(Paths::documentsDir()).filePath("avatar_123.png");
    EXPECT_EQ(center->avatarSource(), first);
    QImage stored(first);
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(stored.size(), QSize(150, 150)) << "the square chosen in the crop step";
    EXPECT_EQ(QColor(stored.pixel(10, 10)), QColor(Qt::red));
    EXPECT_EQ(asked, QStringList{AvatarPicker::picturesFolder()});

    // Another user on the same device: the default image, then a file of their own.
    shelfStack->popToRootViewController(false);
    signIn(QStringLiteral("u456"));
    center = open();
    EXPECT_EQ(center->avatarSource(), QStringLiteral("center_headBg"));
    nextPicture = picture({80, 120}, Qt::blue);
    chooseAvatar(center);
    const QString second = QDir(Paths::documentsDir()).filePath("avatar_u456.png");
    EXPECT_EQ(QImage(second).size(), QSize(80, 80));
    EXPECT_EQ(QColor(QImage(first).pixel(10, 10)), QColor(Qt::red)) << "the first stays";

    // The first user back: their own picture again.
    shelfStack->popToRootViewController(false);
    signIn(123);
    center = open();
    EXPECT_EQ(center->avatarSource(), first);
}

TEST_F(MemberCenterTest, TakingAPhotoWithoutACameraOpensTheLibrary) {
    ASSERT_FALSE(AvatarPicker::isSourceTypeAvailable(AvatarPicker::SourceType::Camera));
    signIn(5);
    MyInfoViewController* center = open();
    tap(center->avatarView());
    ASSERT_TRUE(waitUntil([] { return !ActionSheet::visibleSheets().isEmpty(); }));
    ASSERT_EQ(ActionSheet::visibleSheets().size(), 1);
    ActionSheet* sheet = ActionSheet::visibleSheets().first();
    EXPECT_TRUE(sheet->title().isEmpty());
    ASSERT_EQ(sheet->numberOfButtons(), 3);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), QStringLiteral("拍照"));
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), QStringLiteral("相册"));
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), QStringLiteral("取消"));
    sheet->clickButtonAtIndex(sheet->cancelButtonIndex());
    testutil::spin(20);
    EXPECT_EQ(center->presentedViewController(), nullptr);

    // "拍照": the library, and a cancelled choice leaves everything as it was.
    nextPicture.clear();
    AvatarPicker* picker = pickFromSheet(center, 0);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->sourceType(), AvatarPicker::SourceType::PhotoLibrary);
    EXPECT_TRUE(picker->allowsEditing());
    QPointer<AvatarPicker> watch(picker);
    ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }));
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(center->avatarSource(), QStringLiteral("center_headBg"));
    EXPECT_FALSE(QFileInfo::exists(MyInfoViewController::avatarPath("5")));

    // A result that is not a picture is ignored and the picker stays.
    nextPicture = picture({40, 40}, Qt::green);
    picker = pickFromSheet(center, 0);
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !picker->originalImage().isNull(); }));
    center->imagePickerControllerDidFinishPickingMediaWithInfo(
        picker, {{AvatarPicker::kMediaType, "public.movie"},
                 {AvatarPicker::kEditedImage, picker->editedImage()}});
    testutil::spin(20);
    EXPECT_EQ(center->presentedViewController(), picker);
    EXPECT_FALSE(QFileInfo::exists(MyInfoViewController::avatarPath("5")));
    picker->choose();
    EXPECT_TRUE(QFileInfo::exists(MyInfoViewController::avatarPath("5")));
}

TEST_F(MemberCenterTest, AvatarsAreScaledToTheScreenAndWrittenWhole) {
    const QString path = MyInfoViewController::avatarPath("77");
    QImage big(2000, 2000, QImage::Format_ARGB32);
    big.fill(Qt::darkYellow);
    ASSERT_TRUE(MyInfoViewController::saveAvatar(big, path));
    const QImage stored(path);
    EXPECT_EQ(stored.size(), QSize(640, 640));

    // A write that fails leaves the earlier file as it was.
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();
    EXPECT_FALSE(MyInfoViewController::saveAvatar(QImage(), path));
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
    EXPECT_EQ(QDir(Paths::documentsDir()).entryList({"*.png"}, QDir::Files),
              QStringList{"avatar_77.png"});

    // When the file cannot be written the new picture still shows for this visit; the next
    // visit shows the default image.
    signIn(88);
    ASSERT_TRUE(QDir().mkpath(MyInfoViewController::avatarPath("88"))); // in the file's way
    MyInfoViewController* center = open();
    nextPicture = picture({50, 50}, Qt::cyan);
    chooseAvatar(center);
    EXPECT_EQ(center->avatarView()->image().size(), QSize(50, 50));
    shelfStack->popToRootViewController(false);
    EXPECT_EQ(open()->avatarSource(), QStringLiteral("center_headBg"));
}

TEST_F(MemberCenterTest, TheVersionRowChecksTheStoreOnEverySelection) {
    const auto answer = [&](const QString& version) {
        service.route("GET", "/lookup",
                      FakeService::Reply::json(
                          QStringLiteral(R"({"resultCount":1,"results":[{"version":"%1",)"
                                         R"("trackViewUrl":"https://store.example/folia"}]})")
                              .arg(version)
                              .toUtf8()));
    };
    UserDefaults::standard().setObject("nomore_remind", true);
    MyInfoViewController* center = open();
    const auto lookups = [&] { return service.requests("/lookup").size(); };
    const qsizetype before = lookups();

    answer(Application::shortVersionString());
    tap(center->cellAt(4));
    ASSERT_TRUE(waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    AlertView* alert = AlertView::visibleAlerts().last();
    EXPECT_EQ(alert->message(), QStringLiteral("当前已经是最新的版本了"));
    alert->clickButtonAtIndex(0);
    EXPECT_EQ(lookups(), before + 1);

    answer(QStringLiteral("9.3"));
    center->didSelectRow(4);
    ASSERT_TRUE(waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    alert = AlertView::visibleAlerts().last();
    EXPECT_EQ(alert->title(), QStringLiteral("V9.3升级提醒"));
    EXPECT_EQ(center->appUrl(), QStringLiteral("https://store.example/folia"));
    alert->clickButtonAtIndex(1);
    EXPECT_EQ(lookups(), before + 2);

    service.route("GET", "/lookup", FakeService::Reply::dropped());
    center->didSelectRow(4);
    ASSERT_TRUE(waitForNotice(center->notify()));
    EXPECT_EQ(center->notify()->text(), L("The network is not good"));
    EXPECT_EQ(center->notify()->imageName(), QStringLiteral("read_refresh_no"));
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST_F(MemberCenterTest, ShowsTheAccountAndTheRowsAndButtonsOpenTheirScreens) {
    signIn(3, QStringLiteral("Reader.Two@Example.com"));
    MyInfoViewController* center = open();
    EXPECT_EQ(center->labelUsername()->text(), QStringLiteral("Reader.Two@Example.com"));
    EXPECT_EQ(center->versionLabel()->text(), Application::shortVersionString());
    EXPECT_TRUE(center->cellAt(0)->countLabel()->text().isEmpty());

    const QMetaObject* screens[] = {&ReadRecordViewController::staticMetaObject,
                                    &MyFavoriteViewController::staticMetaObject,
                                    &MyMsgboxViewController::staticMetaObject,
                                    &FeedbackViewController::staticMetaObject};
    for (int row = 0; row < 4; ++row) {
        tap(center->cellAt(row));
        testutil::spin(10);
        ViewController* top = shelfStack->topViewController();
        EXPECT_FALSE(center->cellAt(row)->isHighlighted()) << "deselected after the push";
        EXPECT_EQ(top->metaObject(), screens[row]) << row;
        if (row < 3) {
            EXPECT_TRUE(top->hidesBottomBarWhenPushed()) << row;
        }
        shelfStack->popToViewController(center, false);
    }
    testutil::spin(10);

    center->btnSet()->click();
    testutil::spin(10);
    EXPECT_NE(qobject_cast<SettingViewController*>(shelfStack->topViewController()), nullptr);
    shelfStack->popToViewController(center, false);
    testutil::spin(10);

    // Back goes to the bookshelf, past whatever lies between.
    push(new ViewController());
    center = push(new MyInfoViewController());
    center->btnBack()->click();
    ASSERT_TRUE(waitUntil([&] { return shelfStack->viewControllers().size() == 1; }));
    EXPECT_NE(qobject_cast<FirstViewController*>(shelfStack->topViewController()), nullptr);
}

} // namespace
