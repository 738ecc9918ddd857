#pragma once

#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include "widgets/RemoteImageSlot.h"

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
class EGOImageView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EGOImageView)

public:
    explicit EGOImageView(const QPixmap& placeholderImage, EGOImageViewDelegate* delegate = nullptr,
                          QWidget* parent = nullptr);
    ~EGOImageView() override;

    void setImageURL(const QUrl& imageURL) { slot_.setImageURL(imageURL); }
    QUrl imageURL() const { return slot_.imageURL(); }
    void cancelImageLoad() { slot_.cancelImageLoad(); }

    QPixmap placeholderImage() const { return slot_.placeholderImage(); }
    void setPlaceholderImage(const QPixmap& image) { slot_.setPlaceholderImage(image); }
    EGOImageViewDelegate* delegate() const { return delegate_; }
    void setDelegate(EGOImageViewDelegate* delegate) { delegate_ = delegate; }

    // What is shown now: the placeholder or the loaded image.
    QPixmap image() const { return slot_.image(); }
    void setImage(const QPixmap& image) { slot_.setImage(image); }
    bool showsPlaceholder() const { return slot_.showsPlaceholder(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    EGOImageViewDelegate* delegate_;
    RemoteImageSlot slot_;
};
