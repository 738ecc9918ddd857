#pragma once

#include <QDateTime>
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariantMap>
#include <functional>

class QColor;

class QWidget;
class QObject;
class Button;
class QScrollArea;

// Class-level utilities that several screens share. No instances.
//
// The non-UI half (times, validation, files, signing, sign-in expiry, chapter lists) is
// built into folia_core; the view and overlay factories at the end into folia_ui.
class tooles final {
public:
    tooles() = delete;

    // --- Time and dates
    static QString currentTimeStr();                  // "%d" seconds since 1970, from Clock
    static QString intTimeToStr(const QString& stamp); // "yyyy-MM-dd HH:mm:ss", local zone
    static QString Date2Str(const QDateTime& date);    // "yyyyMMdd", zh_CN
    static QString Date2StrV(const QDateTime& date);   // "yyyy - MM - dd 星期X", zh_CN
    // Seconds since 1970 of the text read with the (Unicode) pattern in Asia/Beijing time;
    // "0" when the text does not parse.
    static QString dateStr2int(const QString& text, const QString& format);
    // Sets the book's update_time to now (the bookshelf orders by it).
    static void updateReadTime(const QString& bookId);

    // --- Validation
    static bool isMobileNumber(const QString& text);
    static bool isValidateEmail(const QString& text);
    static bool isValidateQQ(const QString& text);

    // --- Device and network
    static QString deviceString();
    static QString deviceStringForMachine(const QString& machine); // the table lookup alone
    static bool IsEnableWIFI();
    static bool IsEnable3G();

    // --- Files under the documents directory
    static QString getDir(const QString& name);
    static bool is_file_exist(const QString& name);
    static bool WithNameDeleteDataFile(const QString& path);
    // Copies the prepared database there on first use; returns the full path either way.
    static QString readyDatabase(const QString& fileName);
    static void saveImage(const QImage& image, const QString& fileName, const QString& type,
                          const QString& directory);
    static QImage loadImage(const QString& fileName, const QString& type,
                            const QString& directory);
    // Blocks until the load finished (transport time-out); a null image on failure.
    static QImage getImageFromURL(const QString& url);
    static QString getExtension(const QString& fileNameOrUrl);

    // --- Texts
    static QString strTrim(const QString& text);
    static QString strReplace(const QString& text, const QString& needReplace,
                              const QString& toReplace);
    static QString flattenHTML(const QString& html);
    static QString getChapterIdStr(quint32 start, quint32 countChapter);

    // --- Request signing: the signed query for a parameter dictionary.
    static QString createURl(const QVariantMap& params);

    // --- Sign-in expiry
    static void cleanToken();
    static void cleanUserToken();

    // --- Opening a URL in the system
    static void OpenUrl(const QString& url);

    // --- Views and overlays (folia_ui)
    // The overlay goes away with removeHUD, or when owner (optional) is destroyed while the
    // overlay it put up is still shown.
    static void showHUD(const QString& label, QObject* owner = nullptr);
    static void removeHUD();
    static void MsgBox(const QString& message);
    // The app's one selection colour (amber), for selected and current rows of every list.
    static QColor selectionColor();
    // Gives the widget's palette (or, for nullptr, the whole application's) the app's selection
    // colour in place of the desktop's.
    static void useAppSelectionColor(QWidget* widget = nullptr);
    static QWidget* bgView(bool withNavigationBar, bool havTab, QWidget* parent = nullptr);
    static QWidget* setReadBg(int style, QWidget* parent = nullptr);
    static Button* createButtonWithTitle(const QString& title, const QColor& titleColor,
                                         int fontSize, QObject* target,
                                         const std::function<void(int)>& selector,
                                         const QRect& frame, const QString& image,
                                         const QString& imagePressed, int tag,
                                         QWidget* parent = nullptr);
    // A navigation-bar button: the title in white 14-pixel type on the stretchable bar image
    // (caps keep the image's ends unstretched), sized, tagged and calling action with its tag.
    // An empty object name leaves the button unnamed; fontFamily, when given, sets the face.
    static Button* barButton(QWidget* owner, const QString& objectName, const QString& image,
                             const QString& title, int tag, std::function<void(int)> action,
                             const QSize& size = QSize(52, 30), const QMargins& caps = {},
                             const QString& fontFamily = {});
    // A frameless, transparent scroll area without scroll bars that scrolls under a finger;
    // with bounce, it overshoots at both ends even when its content fits.
    static QScrollArea* fingerScrollArea(QWidget* parent, const QString& objectName,
                                         bool bounce = false);
};
