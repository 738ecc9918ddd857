#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QUrl>

#include "widgets/RemoteImageSlot.h"

class EGOImageButton;

// Optional handlers of an image button's owner.
class EGOImageButtonDelegate {
public:
    virtual ~EGOImageButtonDelegate();
    virtual void imageButtonLoadedImage(EGOImageButton* imageButton);
    virtual void imageButtonFailedToLoadImage(EGOImageButton* imageButton,
                                              const EGOImageLoadError& error);
};

// A button whose face is the image of a remote address: the placeholder at once, the image
// when it arrives, only ever the image of the address it currently waits for. Pressed, the
// face darkens.
class EGOImageButton final : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EGOImageButton)

public:
    explicit EGOImageButton(const QPixmap& placeholderImage,
                            EGOImageButtonDelegate* delegate = nullptr, QWidget* parent = nullptr);
    ~EGOImageButton() override;

    void setImageURL(const QUrl& imageURL) { slot_.setImageURL(imageURL); }
    QUrl imageURL() const { return slot_.imageURL(); }
    void cancelImageLoad() { slot_.cancelImageLoad(); }

    QPixmap placeholderImage() const { return slot_.placeholderImage(); }
    void setPlaceholderImage(const QPixmap& image) { slot_.setPlaceholderImage(image); }
    EGOImageButtonDelegate* delegate() const { return delegate_; }
    void setDelegate(EGOImageButtonDelegate* delegate) { delegate_ = delegate; }

    QPixmap image() const { return slot_.image(); }
    void setImage(const QPixmap& image) { slot_.setImage(image); }
    bool showsPlaceholder() const { return slot_.showsPlaceholder(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    EGOImageButtonDelegate* delegate_;
    RemoteImageSlot slot_;
};
