#pragma once

#include <QPixmap>
#include <QRect>
#include <QUrl>
#include <functional>

#include "engines/EGOImageLoader.h"

class QPainter;

// The image state of a view that shows a remote image: the placeholder at once, the image
// when it arrives, and only ever the image of the address it currently waits for. It is the
// shared loader's observer on behalf of its view, which it tells through three handlers: the
// shown image changed (repaint), the image arrived, the image could not be loaded.
class RemoteImageSlot final : public EGOImageLoaderObserver {
public:
    struct Handlers {
        std::function<void()> changed;
        std::function<void()> loaded;
        std::function<void(const EGOImageLoadError&)> failed;
    };

    // The handlers of a view with an optional delegate: repaint the view; tell the delegate
    // (the one *delegate points to at that moment, if any) through its two handlers.
    template <class View, class Delegate>
    static Handlers forView(View* view, Delegate* const* delegate, void (Delegate::*loaded)(View*),
                            void (Delegate::*failed)(View*, const EGOImageLoadError&)) {
        return {[view] { view->update(); },
                [view, delegate, loaded] {
                    if (*delegate)
                        ((*delegate)->*loaded)(view);
                },
                [view, delegate, failed](const EGOImageLoadError& error) {
                    if (*delegate)
                        ((*delegate)->*failed)(view, error);
                }};
    }

    RemoteImageSlot(const QPixmap& placeholderImage, Handlers handlers);
    ~RemoteImageSlot() override;
    RemoteImageSlot(const RemoteImageSlot&) = delete;
    RemoteImageSlot& operator=(const RemoteImageSlot&) = delete;

    void setImageURL(const QUrl& imageURL);
    QUrl imageURL() const { return imageURL_; }
    void cancelImageLoad();

    QPixmap placeholderImage() const { return placeholderImage_; }
    void setPlaceholderImage(const QPixmap& image);
    // What is shown now: the placeholder or the loaded image.
    QPixmap image() const { return image_; }
    void setImage(const QPixmap& image);
    bool showsPlaceholder() const { return showsPlaceholder_; }
    // Draws what is shown now stretched over target; false when there is nothing to show.
    bool draw(QPainter& painter, const QRect& target) const;

    void imageLoaderDidLoad(const QUrl& imageURL, const QImage& image) override;
    void imageLoaderDidFailToLoad(const QUrl& imageURL, const EGOImageLoadError& error) override;

private:
    void showPlaceholder();
    void changed();
    void loaded(const QImage& image);

    QPixmap placeholderImage_;
    QPixmap image_;
    bool showsPlaceholder_ = true;
    QUrl imageURL_;
    Handlers handlers_;
};
