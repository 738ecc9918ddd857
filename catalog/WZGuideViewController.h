#pragma once

#include <QList>

#include "platform/ui/ViewController.h"

class Button;
class QScrollArea;

// The first-run guide: three introduction pages, paged sideways, that slide over the whole
// application; the start button on the last page leaves it for good (clears firstLaunch).
// One instance serves the whole application.
class WZGuideViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WZGuideViewController)

public:
    static constexpr int kSlideMs = 400;

    static WZGuideViewController* sharedGuide();
    // Back to the first page, then slides in (once: ignored while sliding or already shown).
    static void show();
    // Slides out and leaves the window.
    static void hide();

    // The page images for the current screen: the tall set on a 640 x 1136 screen.
    static QStringList pageImageNames();

    bool isAnimating() const { return animating_; }
    int currentPage() const;
    void scrollToPage(int page);
    int pageCount() const { return int(pageImageNames().size()); }
    Button* startButton() const { return startButton_; }
    QScrollArea* pageScroll() const { return pageScroll_; }

    // The start button: slides out and clears firstLaunch.
    void pressEnterButton();

    ~WZGuideViewController() override;

private:
    explicit WZGuideViewController(QWidget* parent = nullptr);
    void buildPages();
    void slideIn();
    void slideOut();
    static QWidget* mainWindow();
    static QPoint outsidePosition(const QRect& frame, int orientation);

    bool animating_ = false;
    QScrollArea* pageScroll_ = nullptr;
    Button* startButton_ = nullptr;
};
