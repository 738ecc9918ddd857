#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QMargins>
#include <QPointer>
#include <functional>

#include "platform/ui/StretchableImage.h"

// A custom button with an integer tag. Every click reaches one action(tag) operation of its
// receiver, which switches on the tag. Background images for the normal and the pressed
// (highlighted or selected) state are stretched with caps; an icon image is drawn centred.
class Button final : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Button)

public:
    explicit Button(QWidget* parent = nullptr);
    ~Button() override;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Clicks call action(tag()) for as long as receiver lives.
    void setAction(QObject* receiver, std::function<void(int)> action);

    void setTitleColor(const QColor& color);
    QColor titleColor() const { return titleColor_; }
    void setFontSize(int points, bool bold = false);

    void setBackgroundImage(const StretchableImage& normal, const StretchableImage& pressed = {});
    void setBackgroundImageNamed(const QString& normal, const QString& pressed = {},
                                 const QMargins& caps = {});
    // A foreground image (an icon), drawn centred at its natural size or scaled to fit.
    void setImageNamed(const QString& normal, const QString& pressed = {});
    QString backgroundImageName() const { return backgroundName_; }
    QString imageName() const { return imageName_; }

    void setSelected(bool selected);
    bool isSelected() const { return selected_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int tag_ = 0;
    bool selected_ = false;
    QColor titleColor_ = Qt::white;
    StretchableImage background_;
    StretchableImage backgroundPressed_;
    QString backgroundName_;
    QPixmap image_;
    QPixmap imagePressed_;
    QString imageName_;
};
