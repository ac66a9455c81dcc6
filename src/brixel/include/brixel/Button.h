#pragma once
// Brixel's push button: a caption and an optional picture, normal, mouse-over
// and pressed looks, momentary or toggle (sunken) behaviour, its own tooltip,
// and its settings kept in its container's property bag.
//
// Lengths are twips (15 per screen pixel). Properties are listed in the order
// the library publishes them; every set tells the container through
// propertyChanged() under the name the property is stored as. A refused value
// throws brixel::PropertyError and leaves the property unchanged.
#include <brixel/Enums.h>
#include <brixel/Picture.h>

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QWidget>

class QTimer;

namespace brixel {

class PropertyBag;

class Button : public QWidget {
    Q_OBJECT
    // What a form designer shows and stores; there the size and place are the
    // widget's geometry and the name its object name.
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString captionDown READ captionDown WRITE setCaptionDown)
    Q_PROPERTY(QFont captionFont READ captionFont WRITE setCaptionFont)
    Q_PROPERTY(QColor capColor READ capColor WRITE setCapColor)
    Q_PROPERTY(QColor capColorOver READ capColorOver WRITE setCapColorOver)
    Q_PROPERTY(QColor capColorDown READ capColorDown WRITE setCapColorDown)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QColor backColorOver READ backColorOver WRITE setBackColorOver)
    Q_PROPERTY(QColor backColorDown READ backColorDown WRITE setBackColorDown)
    Q_PROPERTY(brixel::BtnBackStyle backStyle READ backStyle WRITE setBackStyle)
    Q_PROPERTY(brixel::BtnAppearance btnAppearance READ restingAppearance WRITE setBtnAppearance)
    Q_PROPERTY(brixel::BtnSunkenEffects btnSunkenEffects READ btnSunkenEffects WRITE setBtnSunkenEffects)
    Q_PROPERTY(brixel::BtnContentEffects btnContentEffects READ btnContentEffects WRITE setBtnContentEffects)
    Q_PROPERTY(brixel::picAutoFit picAutoFit READ picAutoFit WRITE setPicAutoFit)
    Q_PROPERTY(brixel::picDefaultArrange picDefaultArrange READ picDefaultArrange WRITE setPicDefaultArrange)
    Q_PROPERTY(int picCapSpacing READ picCapSpacing WRITE setPicCapSpacing)
    Q_PROPERTY(QPixmap pictureUp READ picturePixmap WRITE setPicturePixmap)
    Q_PROPERTY(QPixmap pictureOver READ pictureOverPixmap WRITE setPictureOverPixmap)
    Q_PROPERTY(QPixmap pictureDown READ pictureDownPixmap WRITE setPictureDownPixmap)
    Q_PROPERTY(QString toolTipText READ toolTipText WRITE setToolTipText)
    Q_PROPERTY(QColor toolTipBackColor READ toolTipBackColor WRITE setToolTipBackColor)
    Q_PROPERTY(QColor toolTipForeColor READ toolTipForeColor WRITE setToolTipForeColor)

public:
    static constexpr const char* ClassName = "Brixel.Button";
    static constexpr int MaxWidthTwips = 4000;
    static constexpr int MaxHeightTwips = 2000;
    static constexpr int SpacingMargin = 75; // kept free of the caption gap, twips

    explicit Button(QWidget* parent = nullptr, const QString& name = QString());
    ~Button() override;

    // --- Life cycle --------------------------------------------------------
    // A new instance placed on a window: the defaults of a fresh button.
    void initProperties();
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;
    // At design time the name may change; at run time (the default) it may not.
    bool designMode() const { return m_designMode; }
    void setDesignMode(bool on) { m_designMode = on; }

    // --- Properties, in published order ------------------------------------
    // Enabled: QWidget::isEnabled() / setEnabled() (notifies "Enabled").
    Picture mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const Picture& icon);
    short mousePointer() const { return m_mousePointer; }
    void setMousePointer(short pointer);
    QColor backColor() const { return m_currentBack; } // what is shown, hovered or pressed too
    void setBackColor(const QColor& color);
    QColor backColorOver() const { return m_backColorOver; }
    void setBackColorOver(const QColor& color);
    QColor backColorDown() const { return m_backColorDown; }
    void setBackColorDown(const QColor& color);
    BtnBackStyle backStyle() const { return m_backStyle; }
    void setBackStyle(BtnBackStyle style);
    int btnAppearance() const { return m_drawnStyle; } // 3 while pressed or sunken
    BtnAppearance restingAppearance() const { return m_restingStyle; } // the style when not pressed
    void setBtnAppearance(BtnAppearance appearance);
    bool value() const { return m_sunkenEffects == bseYes && m_value; }
    void setValue(bool value);
    BtnSunkenEffects btnSunkenEffects() const { return m_sunkenEffects; }
    void setBtnSunkenEffects(BtnSunkenEffects effects);
    BtnContentEffects btnContentEffects() const { return m_contentEffects; }
    void setBtnContentEffects(BtnContentEffects effects);
    // Width and Height: the control's size in twips (stored as "BtnWidth", "BtnHeight").
    int widthTwips() const;
    void setWidthTwips(int twips);
    int heightTwips() const;
    void setHeightTwips(int twips);
    QString name() const { return objectName(); }
    void setName(const QString& name);
    QString caption() const { return m_shownCaption; }
    void setCaption(const QString& caption);
    QString captionDown() const { return m_captionDown; }
    void setCaptionDown(const QString& caption);
    QFont captionFont() const { return m_captionFont; }
    void setCaptionFont(const QFont& font);
    QColor capColor() const { return m_capColor; }
    void setCapColor(const QColor& color);
    QColor capColorOver() const { return m_capColorOver; }
    void setCapColorOver(const QColor& color);
    QColor capColorDown() const { return m_capColorDown; }
    void setCapColorDown(const QColor& color);
    brixel::picAutoFit picAutoFit() const { return m_autoFit; }
    void setPicAutoFit(brixel::picAutoFit fit);
    brixel::picDefaultArrange picDefaultArrange() const { return m_arrange; }
    void setPicDefaultArrange(brixel::picDefaultArrange arrange);
    int picCapSpacing() const { return m_picCapSpacing; }
    void setPicCapSpacing(int twips);
    QColor toolTipBackColor() const { return m_toolTipBack; }
    void setToolTipBackColor(const QColor& color);
    QColor toolTipForeColor() const { return m_toolTipFore; }
    void setToolTipForeColor(const QColor& color);
    QString toolTipText() const { return m_toolTipText; }
    void setToolTipText(const QString& text);
    Picture picture() const { return m_pictureUp; }
    void setPicture(const Picture& picture);
    Picture pictureOver() const { return m_pictureOver; }
    void setPictureOver(const Picture& picture);
    Picture pictureDown() const { return m_pictureDown; }
    void setPictureDown(const Picture& picture);
    // The pictures as plain pixmaps, for form designers (no source kept).
    QPixmap picturePixmap() const { return QPixmap::fromImage(m_pictureUp.image); }
    void setPicturePixmap(const QPixmap& pixmap) { setPicture(Picture::fromImage(pixmap.toImage())); }
    QPixmap pictureOverPixmap() const { return QPixmap::fromImage(m_pictureOver.image); }
    void setPictureOverPixmap(const QPixmap& pixmap) { setPictureOver(Picture::fromImage(pixmap.toImage())); }
    QPixmap pictureDownPixmap() const { return QPixmap::fromImage(m_pictureDown.image); }
    void setPictureDownPixmap(const QPixmap& pixmap) { setPictureDown(Picture::fromImage(pixmap.toImage())); }

    // --- What is shown (twips), for containers and tests -------------------
    bool isPictureShown() const { return m_pictureVisible; }
    Picture shownPicture() const { return m_shownPicture; }
    QColor shownCaptionColor() const { return m_shownCapColor; }
    QPoint picturePosition() const { return m_picPos; }
    QPoint captionPosition() const { return m_capPos; }
    QSize captionSizeTwips() const;
    QSize pictureSizeTwips() const;

signals:
    void Click();
    void ClickSunken();
    // Button: 1 left, 2 right, 4 middle (held buttons for MouseMove); Shift: 1
    // Shift, 2 Ctrl, 4 Alt; X and Y in twips from the control's top left corner.
    void MouseDown(short button, short shift, float x, float y);
    void MouseMove(short button, short shift, float x, float y);
    void MouseUp(short button, short shift, float x, float y);
    // The container's notice that a stored property changed, under its stored name.
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // States (ButtonStates.cpp)
    void layoutPass();
    void pressLook();
    void releaseLook();
    void toggle();
    void hover(bool inside);
    void pointerMoved(
        QPointF position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, bool inside);
    void showPicture(const Picture& picture);
    void setCurrentBack(const QColor& color);
    void restoreNormalBack();
    bool isInside(QPointF position) const;
    void fitAroundPicture();
    void resizeWithinLimits(QSize pixels);
    void applyCursor();
    // Tooltip (ButtonToolTip.cpp)
    void hideToolTip();
    void requestToolTip(const QString& text);
    void toolTipTick();
    void showToolTip(const QString& text);
    void notify(const char* name) { emit propertyChanged(QString::fromLatin1(name)); }

    bool m_designMode = false;
    bool m_firstReadDone = false;
    Picture m_mouseIcon;
    short m_mousePointer = 0;
    QColor m_backColor;
    QColor m_currentBack;
    QColor m_backColorOver;
    QColor m_backColorDown;
    BtnBackStyle m_backStyle = Opaque;
    int m_drawnStyle = HalfRaised;
    BtnAppearance m_restingStyle = HalfRaised;
    bool m_value = false;
    BtnSunkenEffects m_sunkenEffects = bseYes;
    BtnContentEffects m_contentEffects = bceYes;
    QString m_shownCaption;
    QString m_savedCaption;
    bool m_captionSaved = false;
    QString m_captionDown;
    QFont m_captionFont;
    QColor m_capColor;
    QColor m_capColorOver;
    QColor m_capColorDown;
    QColor m_shownCapColor;
    brixel::picAutoFit m_autoFit = pafNo;
    brixel::picDefaultArrange m_arrange = pdaLeft;
    int m_picCapSpacing = SpacingMargin;
    QColor m_toolTipBack;
    QColor m_toolTipFore;
    QString m_toolTipText;
    Picture m_pictureUp;
    Picture m_pictureOver;
    Picture m_pictureDown;
    Picture m_shownPicture;
    QSize m_shownPictureSize; // pixels; kept when the shown picture is emptied
    bool m_pictureVisible = false;
    bool m_normalPictureFlag = false;
    bool m_pressedPictureFlag = false;
    QPoint m_picPos;
    QPoint m_capPos;
    bool m_tracking = false; // the pointer is followed until it leaves (the capture)
    QTimer* m_toolTipTimer = nullptr;
    QString m_pendingToolTip;
};

} // namespace brixel
