#pragma once

#include <QWidget>

#include "platform/ui/StretchableImage.h"

// A view that shows one image: stretched with caps, tiled as a pattern, or scaled to fill.
class ImageView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImageView)

public:
    enum class Mode { Stretch, Pattern, AspectFit };

    explicit ImageView(QWidget* parent = nullptr);
    ~ImageView() override;

    void setImage(const QPixmap& pixmap, Mode mode = Mode::Stretch);
    void setImage(const StretchableImage& image);
    void setImageNamed(const QString& name, const QMargins& caps = {});
    void setPatternNamed(const QString& name);
    QPixmap image() const { return image_.pixmap(); }
    QString imageName() const { return name_; }
    Mode mode() const { return mode_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StretchableImage image_;
    QString name_;
    Mode mode_ = Mode::Stretch;
};
