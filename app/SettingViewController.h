#pragma once

#include <QAbstractButton>
#include <QList>
#include <QPointer>
#include <QVariantMap>
#include <functional>

#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"
#include "widgets/CustomSegmentedControl.h"

class Button;
#include "engines/HttpRequest.h"
class NoticeView;
class QScrollArea;
class QSlider;

// An on/off switch of a settings row, 51 x 31 points: amber when on.
class SettingSwitch final : public QAbstractButton {
public:
    explicit SettingSwitch(int tag, QWidget* parent = nullptr);
    int tag() const { return tag_; }
    QSize sizeHint() const override { return {51, 31}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int tag_;
};

// The settings screen, pushed by the member center: the reading preferences the reader applies
// (brightness, day or night page, type size), the Wi-Fi-only download switch, clearing the
// reading records kept by the service and the local bookmarks, the guide, and signing out.
// Every change is stored at once in the user-defaults store, under the keys and in the types
// the reader reads.
class SettingViewController final : public ViewController,
                                    public CustomSegmentedControlDelegate,
                                    public AlertViewDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingViewController)

public:
    static constexpr int kStyleControlTag = 9000;
    static constexpr int kFontControlTag = 9001;
    static constexpr int kSliderSteps = 100; // slider positions per brightness unit
    static constexpr int kBookmarkAlertTag = 1;

    explicit SettingViewController(QWidget* parent = nullptr);
    ~SettingViewController() override;

    // Rows per section: 4, 2, 2, 1, 1.
    static int numberOfRowsInSection(int section);
    static constexpr int kSections = 5;

    // Buttons by tag: 1 back to the member center, 2 sign out.
    void actionBtn(int tag);
    // Switches by tag: 1 only logs, 2 stores is_open_wifi.
    void actionSwitch(int tag, bool on);
    // A brightness slider value (0…100): stored as LightSizeId text, rounded.
    void actionSlide(double value);
    // A row was selected (sections 2 and 3 act).
    void didSelectRow(int section, int row);

    QAbstractButton* buttonFor(CustomSegmentedControl* control, int index) override;
    void touchUpInsideSegmentIndex(CustomSegmentedControl* control, int segmentIndex) override;
    void alertViewClickedButtonAtIndex(AlertView* alert, int index) override;

    // The look of the two segmented controls: page style, then type size.
    QList<QVariantMap> buttons;

    // Views, for the walk and tests (valid once the view is loaded).
    QScrollArea* myTableView() const { return myTableView_; }
    QWidget* cellAt(int section, int row) const;
    CustomSegmentedControl* styleControl() const { return styleControl_; }
    CustomSegmentedControl* fontControl() const { return fontControl_; }
    QSlider* lightSlider() const { return slider_; }
    SettingSwitch* updateSwitch() const { return updateSwitch_; }
    SettingSwitch* wifiSwitch() const { return wifiSwitch_; }
    Button* quitButton() const { return quit_; }
    Button* btnBack() const { return btnBack_; }
    NoticeView* notify() const { return notify_; }
    HttpRequest* asiHttpRequest() const { return asiHttpRequest_; }
    HttpRequest* asiHttpRequest3() const { return asiHttpRequest3_; }
    AlertView* bookmarkAlert() const { return alert_; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildTable();
    QWidget* makeCell(int section, int row, QWidget* parent);
    // Puts the controls in line with the store (the reader may have changed it meanwhile).
    void readStoredValues();
    void signOut();
    void signedOut(HttpRequest* request);
    void clearRecords();
    void confirmClearBookmarks();
    void showNotice(const QString& text, const QString& imageName);

    QWidget* background_ = nullptr;
    QScrollArea* myTableView_ = nullptr;
    QList<QList<QWidget*>> cells_;
    CustomSegmentedControl* styleControl_ = nullptr;
    CustomSegmentedControl* fontControl_ = nullptr;
    QSlider* slider_ = nullptr;
    SettingSwitch* updateSwitch_ = nullptr;
    SettingSwitch* wifiSwitch_ = nullptr;
    Button* quit_ = nullptr;
    Button* btnBack_ = nullptr;
    NoticeView* notify_ = nullptr;
    QPointer<HttpRequest> asiHttpRequest_;
    QPointer<HttpRequest> asiHttpRequest3_;
    QPointer<AlertView> alert_;
    bool signingOut_ = false;
};
