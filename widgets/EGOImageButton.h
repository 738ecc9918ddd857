#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QUrl>

#include "engines/EGOImageLoader.h"

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
// when it arrives, only ever the image of the address it currently waits for.
class EGOImageButton final : public QAbstractButton, public EGOImageLoaderObserver {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EGOImageButton)

public:
    explicit EGOImageButton(const QPixmap& placeholderImage,
                            EGOImageButtonDelegate* delegate = nullptr, QWidget* parent = nullptr);
    ~EGOImageButton() override;

    void setImageURL(const QUrl& imageURL);
    QUrl imageURL() const { return imageURL_; }
    void cancelImageLoad();

    QPixmap placeholderImage() const { return placeholderImage_; }
    void setPlaceholderImage(const QPixmap& image);
    EGOImageButtonDelegate* delegate() const { return delegate_; }
    void setDelegate(EGOImageButtonDelegate* delegate) { delegate_ = delegate; }

    QPixmap image() const { return image_; }
    void setImage(const QPixmap& image);
    bool showsPlaceholder() const { return showsPlaceholder_; }

    void imageLoaderDidLoad(const QUrl& imageURL, const QImage& image) override;
    void imageLoaderDidFailToLoad(const QUrl& imageURL, const EGOImageLoadError& error) override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showPlaceholder();

    QPixmap placeholderImage_;
    QPixmap image_;
    bool showsPlaceholder_ = true;
    QUrl imageURL_;
    EGOImageButtonDelegate* delegate_;
};
