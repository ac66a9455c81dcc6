// The button's properties: storage, validation and the side effects of a set.
#include <brixel/Button.h>

#include "ButtonDefaults.h"
#include "ToolTipWindow.h"
#include <brixel/PropertyError.h>
#include <brixel/Twips.h>

#include <QFontMetrics>
#include <QTimer>
#include <algorithm>

namespace brixel {

namespace {

// Enumerated properties accept their published values only.
void requireRange(int value, int last, const char* property)
{
    if (value < 0 || value > last)
        throw PropertyError(ErrorInvalidPropertyValue, QStringLiteral("Button.") + QLatin1String(property));
}

} // namespace

Button::Button(QWidget* parent, const QString& name)
    : QWidget(parent)
    , m_backColor(LightGrey)
    , m_currentBack(LightGrey)
    , m_backColorOver(LightGrey)
    , m_backColorDown(LightGrey)
    , m_captionFont(parent ? parent->font() : font())
    , m_capColor(Qt::black)
    , m_capColorOver(Qt::black)
    , m_capColorDown(Qt::black)
    , m_shownCapColor(Qt::black)
    , m_toolTipBack(ToolTipWindow::defaultBackColor())
    , m_toolTipFore(ToolTipWindow::defaultForeColor())
    , m_toolTipTimer(new QTimer(this))
{
    setObjectName(name);
    m_shownCaption = name;
    m_toolTipTimer->setObjectName(QStringLiteral("tmrToolTip"));
    m_toolTipTimer->setInterval(1000);
    connect(m_toolTipTimer, &QTimer::timeout, this, &Button::toolTipTick);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    layoutPass();
}

Button::~Button()
{
    if (m_toolTipTimer->isActive())
        ToolTipWindow::closeShared();
}

void Button::initProperties()
{
    m_shownCaption = name();
    m_contentEffects = bceYes;
    m_drawnStyle = HalfRaised;
    m_restingStyle = HalfRaised;
    m_autoFit = pafNo;
    m_sunkenEffects = bseYes;
    m_backColor = m_currentBack = m_backColorOver = m_backColorDown = LightGrey;
    m_arrange = pdaLeft;
    m_picCapSpacing = SpacingMargin;
    m_toolTipBack = ToolTipWindow::defaultBackColor();
    m_toolTipFore = ToolTipWindow::defaultForeColor();
    m_toolTipText.clear(); // the container holds no tooltip for a control it has just created
    m_pictureUp = m_pictureOver = m_pictureDown = Picture{};
    showPicture(Picture{});
    layoutPass();
}

void Button::setMouseIcon(const Picture& icon)
{
    m_mouseIcon = icon;
    applyCursor();
    notify("MouseIcon");
}

void Button::setMousePointer(short pointer)
{
    m_mousePointer = pointer;
    applyCursor();
    notify("MousePointer");
}

void Button::applyCursor()
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,
        Qt::ArrowCursor,
        Qt::CrossCursor,
        Qt::IBeamCursor,
        Qt::ArrowCursor,
        Qt::SizeAllCursor,
        Qt::SizeBDiagCursor,
        Qt::SizeVerCursor,
        Qt::SizeFDiagCursor,
        Qt::SizeHorCursor,
        Qt::UpArrowCursor,
        Qt::WaitCursor,
        Qt::ForbiddenCursor,
        Qt::BusyCursor,
        Qt::WhatsThisCursor,
        Qt::SizeAllCursor,
    };
    constexpr short CustomPointer = 99;
    if (m_mousePointer == CustomPointer && !m_mouseIcon.isNull())
        setCursor(QCursor(QPixmap::fromImage(m_mouseIcon.image)));
    else if (m_mousePointer > 0 && m_mousePointer < static_cast<short>(std::size(shapes)))
        setCursor(shapes[m_mousePointer]);
    else
        unsetCursor();
}

void Button::setBackColor(const QColor& color)
{
    m_backColor = color;
    setCurrentBack(color);
    layoutPass();
    notify("BackColor");
}

void Button::setBackColorOver(const QColor& color)
{
    m_backColorOver = color;
    notify("BackColorOver");
}

void Button::setBackColorDown(const QColor& color)
{
    m_backColorDown = color;
    notify("BackColorDown");
}

void Button::setBackStyle(BtnBackStyle style)
{
    requireRange(style, Opaque, "BackStyle");
    m_backStyle = style;
    update();
    notify("BtnBackStyle");
}

void Button::setBtnAppearance(BtnAppearance appearance)
{
    requireRange(appearance, Raised, "BtnAppearance");
    m_drawnStyle = appearance;
    m_restingStyle = appearance;
    update();
    layoutPass();
    notify("BtnAppearance");
}

void Button::setBtnSunkenEffects(BtnSunkenEffects effects)
{
    requireRange(effects, bseNo, "BtnSunkenEffects");
    m_sunkenEffects = effects;
    layoutPass();
    notify("BtnSunkenEffects");
}

void Button::setBtnContentEffects(BtnContentEffects effects)
{
    requireRange(effects, bceNo, "BtnContentEffects");
    m_contentEffects = effects;
    layoutPass();
    notify("BtnContentEffects");
}

int Button::widthTwips() const
{
    return pixelsToTwips(width());
}

void Button::setWidthTwips(int twips)
{
    resizeWithinLimits(QSize(twipsToPixels(twips), height()));
    notify("BtnWidth");
}

int Button::heightTwips() const
{
    return pixelsToTwips(height());
}

void Button::setHeightTwips(int twips)
{
    resizeWithinLimits(QSize(width(), twipsToPixels(twips)));
    notify("BtnHeight");
}

void Button::setName(const QString& name)
{
    if (!m_designMode)
        throw PropertyError(ErrorNotSettableAtRunTime, QStringLiteral("Button.Name"));
    setObjectName(name);
    layoutPass();
}

void Button::setCaption(const QString& caption)
{
    m_shownCaption = caption;
    m_captionSaved = false; // the newest caption stays once the press is over
    layoutPass();
    notify("Caption");
}

void Button::setCaptionDown(const QString& caption)
{
    m_captionDown = caption;
    notify("CaptionDown");
}

void Button::setCaptionFont(const QFont& font)
{
    m_captionFont = font;
    layoutPass();
    notify("CaptionFont");
}

void Button::setCapColor(const QColor& color)
{
    m_capColor = color;
    m_shownCapColor = color;
    update();
    notify("CapColor");
}

void Button::setCapColorOver(const QColor& color)
{
    m_capColorOver = color;
    notify("CapColorOver");
}

void Button::setCapColorDown(const QColor& color)
{
    m_capColorDown = color;
    notify("CapColorDown");
}

void Button::setPicAutoFit(brixel::picAutoFit fit)
{
    requireRange(fit, pafNo, "picAutoFit");
    m_autoFit = fit;
    if (fit == pafYes && !m_pictureUp.isNull())
        fitAroundPicture();
    update();
    layoutPass();
    notify("picAutoFit");
}

void Button::setPicDefaultArrange(brixel::picDefaultArrange arrange)
{
    requireRange(arrange, pdaTop, "PicDefaultArrange");
    m_arrange = arrange;
    layoutPass();
    notify("PicDefaultArrange");
}

void Button::setPicCapSpacing(int twips)
{
    // The gap never eats the margin; never negative, even on a button narrower than the margin.
    m_picCapSpacing = std::max(0, std::min(twips, widthTwips() - SpacingMargin));
    layoutPass();
    notify("PicCapSpacing");
}

void Button::setToolTipBackColor(const QColor& color)
{
    m_toolTipBack = color;
    notify("ToolTipBackColor");
}

void Button::setToolTipForeColor(const QColor& color)
{
    m_toolTipFore = color;
    notify("ToolTipForeColor");
}

void Button::setToolTipText(const QString& text)
{
    m_toolTipText = text;
    notify("ToolTipText");
}

void Button::setPicture(const Picture& picture)
{
    m_pictureUp = picture;
    showPicture(picture);
    if (!picture.isNull() && m_autoFit == pafYes)
        fitAroundPicture();
    layoutPass();
    notify("PictureUp");
    notify("PictureDisp");
}

void Button::setPictureOver(const Picture& picture)
{
    m_pictureOver = picture;
    notify("PictureOver");
}

void Button::setPictureDown(const Picture& picture)
{
    m_pictureDown = picture;
    m_pressedPictureFlag = !m_pictureDown.isNull() && !m_pictureUp.isNull();
    notify("PictureDown");
}

QSize Button::captionSizeTwips() const
{
    const QFontMetrics metrics(m_captionFont);
    const int width = m_shownCaption.isEmpty() ? 0 : metrics.horizontalAdvance(m_shownCaption);
    return QSize(pixelsToTwips(width), pixelsToTwips(metrics.height()));
}

QSize Button::pictureSizeTwips() const
{
    return m_shownPictureSize * TwipsPerPixel;
}

} // namespace brixel
