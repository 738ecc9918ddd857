#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QVariantMap>

#include "account/AvatarPicker.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ViewController.h"

class Button;
class ImageView;
class MemberCenterRecordsCell;
class NoticeView;
class QLabel;
class QScrollArea;
class VersionCheck;

// The member center: the signed-in user's home. It shows the avatar (kept on the device only,
// one file per user id), the account name typed at the last sign-in, a welcome line, and a
// menu that opens the reading records, the favorites, the message box, the feedback form and
// the version check. The settings button opens the settings screen.
class MyInfoViewController final : public ViewController,
                                   public ActionSheetDelegate,
                                   public AvatarPickerDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyInfoViewController)

public:
    static constexpr int kRows = 5;

    explicit MyInfoViewController(QWidget* parent = nullptr);
    ~MyInfoViewController() override;

    // The avatar file of a user: "avatar_<id>.png" in the documents directory.
    static QString avatarPath(const QString& userId);
    // Writes the avatar as PNG, atomically: an image larger than the screen is first scaled
    // down to fit it; a failed write leaves the earlier file as it was. False on failure.
    static bool saveAvatar(const QImage& image, const QString& path);

    // Buttons by tag: 1 back to the bookshelf, 2 settings.
    void action(int tag);
    // A menu row was selected.
    void didSelectRow(int row);
    // A tap on the avatar: the action sheet of its two sources.
    void avatarTapped();

    void actionSheetClickedButtonAtIndex(ActionSheet* sheet, int index) override;
    void imagePickerControllerDidFinishPickingMediaWithInfo(AvatarPicker* picker,
                                                            const QVariantMap& info) override;
    void imagePickerControllerDidCancel(AvatarPicker* picker) override;

    // For the walk and tests (valid once the view is loaded).
    QVariantMap userInfo() const { return userInfo_; }
    ImageView* avatarView() const { return avatarView_; }
    // "center_headBg" while the default image shows, else the avatar file shown.
    QString avatarSource() const { return avatarSource_; }
    QLabel* labelUsername() const { return labelUsername_; }
    QLabel* labelWelcome() const { return labelWelcome_; }
    QLabel* versionLabel() const { return versionLabel_; }
    MemberCenterRecordsCell* cellAt(int row) const { return cells_.value(row); }
    Button* btnBack() const { return btnBack_; }
    Button* btnSet() const { return btnSet_; }
    NoticeView* notify() const { return notify_; }
    ActionSheet* avatarSheet() const { return sheet_; }
    VersionCheck* versionCheck() const { return versionCheck_; }
    QString appUrl() const;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildHeader(QWidget* content);
    void buildMenu(QWidget* content);
    void layoutFooter();
    void showAvatar(const QImage& image, const QString& source);
    void presentPicker(AvatarPicker::SourceType source);
    void push(ViewController* screen, bool hideTabBar);

    QVariantMap userInfo_;
    ImageView* background_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    ImageView* avatarView_ = nullptr;
    QString avatarSource_;
    QLabel* labelUsername_ = nullptr;
    QLabel* labelWelcome_ = nullptr;
    QWidget* myTableView_ = nullptr;
    QList<MemberCenterRecordsCell*> cells_;
    ImageView* footerImage_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    Button* btnBack_ = nullptr;
    Button* btnSet_ = nullptr;
    NoticeView* notify_ = nullptr;
    QPointer<ActionSheet> sheet_;
    VersionCheck* versionCheck_ = nullptr;
};
