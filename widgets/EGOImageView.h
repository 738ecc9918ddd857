#pragma once

#include <QImage>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include "engines/EGOImageLoader.h"

class EGOImageView;

// Optional handlers of an image view's owner.
class EGOImageViewDelegate {
public:
    virtual ~EGOImageViewDelegate();
    virtual void imageViewLoadedImage(EGOImageView* imageView);
    virtual void imageViewFailedToLoadImage(EGOImageView* imageView,
                                            const EGOImageLoadError& error);
};

// Shows the image of a remote address: the placeholder at once, the image when it arrives,
// and only ever the image of the address it currently waits for. The image fills the view.
class EGOImageView final : public QWidget, public EGOImageLoaderObserver {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EGOImageView)

public:
    explicit EGOImageView(const QPixmap& placeholderImage, EGOImageViewDelegate* delegate = nullptr,
                          QWidget* parent = nullptr);
    ~EGOImageView() override;

    void setImageURL(const QUrl& imageURL);
    QUrl imageURL() const { return imageURL_; }
    void cancelImageLoad();

    QPixmap placeholderImage() const { return placeholderImage_; }
    void setPlaceholderImage(const QPixmap& image);
    EGOImageViewDelegate* delegate() const { return delegate_; }
    void setDelegate(EGOImageViewDelegate* delegate) { delegate_ = delegate; }

    // What is shown now: the placeholder or the loaded image.
    QPixmap image() const { return image_; }
    void setImage(const QPixmap& image);
    bool showsPlaceholder() const { return showsPlaceholder_; }

    void imageLoaderDidLoad(const QUrl& imageURL, const QImage& image) override;
    void imageLoaderDidFailToLoad(const QUrl& imageURL, const EGOImageLoadError& error) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showPlaceholder();

    QPixmap placeholderImage_;
    QPixmap image_;
    bool showsPlaceholder_ = true;
    QUrl imageURL_;
    EGOImageViewDelegate* delegate_;
};
