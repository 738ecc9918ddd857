#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QVariantMap>
#include <functional>

#include "platform/ui/ViewController.h"

class AvatarPicker;
class Button;
class QLabel;

// Told what the picker came back with.
class AvatarPickerDelegate {
public:
    virtual ~AvatarPickerDelegate();
    // info: AvatarPicker::kMediaType ("public.image") and AvatarPicker::kEditedImage (a QImage).
    virtual void imagePickerControllerDidFinishPickingMediaWithInfo(AvatarPicker* picker,
                                                                    const QVariantMap& info) = 0;
    virtual void imagePickerControllerDidCancel(AvatarPicker* picker) = 0;
};

// The image picker of the avatar, presented modally. A desktop has no camera, so every source
// ends in the photo library: a file chooser on the pictures folder, then a square crop step
// (drag to move the square, the wheel to resize it) whose square becomes the edited image.
// The chooser can be replaced (tests and the walk pick a file without a dialog).
class AvatarPicker final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AvatarPicker)

public:
    enum class SourceType { PhotoLibrary, Camera };

    static constexpr char kMediaType[] = "UIImagePickerControllerMediaType";
    static constexpr char kEditedImage[] = "UIImagePickerControllerEditedImage";
    static constexpr char kOriginalImage[] = "UIImagePickerControllerOriginalImage";

    // Whether the device offers a source (no camera on a desktop).
    static bool isSourceTypeAvailable(SourceType source);

    // Picks one picture file in folder; an empty text when the user cancelled.
    using Chooser = std::function<QString(QWidget* parent, const QString& folder)>;
    // Replaces the file dialog; an empty chooser brings the dialog back.
    static void setChooser(Chooser chooser);
    // The folder the library opens on: the user's pictures folder.
    static QString picturesFolder();

    explicit AvatarPicker(QWidget* parent = nullptr);
    ~AvatarPicker() override;

    void setSourceType(SourceType source) { sourceType_ = source; }
    SourceType sourceType() const { return sourceType_; }
    void setAllowsEditing(bool allows) { allowsEditing_ = allows; }
    bool allowsEditing() const { return allowsEditing_; }
    void setDelegate(AvatarPickerDelegate* delegate);

    // The library step: asks the chooser for a file and goes on to the crop step (or tells the
    // delegate it was cancelled). Runs by itself once the picker has appeared.
    void chooseFromLibrary();
    // The crop step for an image; false when the image is empty.
    bool setImage(const QImage& image);
    QImage originalImage() const { return original_; }
    // The square, in the original image's pixels.
    QRect cropRect() const { return crop_; }
    void setCropRect(const QRect& rect);
    QImage editedImage() const;

    // The crop step's buttons: "选取" hands the square to the delegate, "取消" gives up.
    void choose();
    void cancel();
    Button* chooseButton() const { return chooseButton_; }
    Button* cancelButton() const { return cancelButton_; }
    // The file the chooser named last (empty when cancelled).
    QString chosenFile() const { return chosenFile_; }

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QRectF imageArea() const; // where the image is drawn, fitted into the view
    QRect clampedSquare(QRect square) const;
    void layoutBars();
    void tellCancel();

    SourceType sourceType_ = SourceType::PhotoLibrary;
    bool allowsEditing_ = true;
    AvatarPickerDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateGuard_;
    bool delegateIsObject_ = false;
    bool asked_ = false;
    bool answered_ = false;
    QImage original_;
    QRect crop_;
    QString chosenFile_;
    QPoint dragStart_;
    QRect dragCrop_;
    QWidget* topBar_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QWidget* bottomBar_ = nullptr;
    Button* chooseButton_ = nullptr;
    Button* cancelButton_ = nullptr;
};
