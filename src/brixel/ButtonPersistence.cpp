// The button's stored form: new instance, reading and writing a property bag,
// in the orders stored designs were written with.
#include <brixel/Button.h>

#include "ButtonDefaults.h"

#include <brixel/PropertyBag.h>
#include <brixel/Twips.h>

#include <QApplication>

namespace brixel {

namespace {

const QColor Black(0, 0, 0);

// What the container offers its controls: colours and font of the parent.
struct Ambient {
    QColor back;
    QColor fore;
    QFont font;
};

Ambient ambientOf(const QWidget* parent)
{
    if (parent == nullptr)
        return {QApplication::palette().color(QPalette::Window),
            QApplication::palette().color(QPalette::WindowText), QApplication::font()};
    return {parent->palette().color(parent->backgroundRole()),
        parent->palette().color(parent->foregroundRole()), parent->font()};
}

QVariant pictureValue(const Picture& picture)
{
    return QVariant::fromValue(picture);
}

Picture readPicture(const PropertyBag& bag, const char* name)
{
    return bag.read(QLatin1String(name), pictureValue(Picture{})).value<Picture>();
}

QColor readColor(const PropertyBag& bag, const char* name, const QColor& fallback)
{
    return bag.read(QLatin1String(name), fallback).value<QColor>();
}

// A stored enumeration outside its values (a damaged design) reads as the default.
template <typename Enum> Enum readEnum(const PropertyBag& bag, const char* name, Enum fallback, int last)
{
    const int stored = bag.read(QLatin1String(name), static_cast<int>(fallback)).toInt();
    return stored >= 0 && stored <= last ? static_cast<Enum>(stored) : fallback;
}

} // namespace

void Button::readProperties(const PropertyBag& bag)
{
    const Ambient ambient = ambientOf(parentWidget());
    setEnabled(bag.read(QStringLiteral("Enabled"), true).toBool());
    m_mouseIcon = readPicture(bag, "MouseIcon");
    m_mousePointer = static_cast<short>(bag.read(QStringLiteral("MousePointer"), 0).toInt());
    applyCursor();
    m_backStyle = readEnum(bag, "BtnBackStyle", Opaque, Opaque);
    // A design without a size keeps the size the window gave the button.
    const float storedWidth
        = bag.read(QStringLiteral("BtnWidth"), static_cast<float>(widthTwips())).toFloat();
    const float storedHeight
        = bag.read(QStringLiteral("BtnHeight"), static_cast<float>(heightTwips())).toFloat();
    resizeWithinLimits(QSize(twipsToPixels(storedWidth), twipsToPixels(storedHeight)));
    m_backColor = readColor(bag, "BackColor", LightGrey);
    m_backColorOver = readColor(bag, "BackColorOver", LightGrey);
    m_backColorDown = readColor(bag, "BackColorDown", LightGrey);
    m_autoFit = readEnum(bag, "PicAutoFit", pafNo, pafNo);
    m_arrange = readEnum(bag, "PicDefaultArrange", pdaLeft, pdaTop);
    m_picCapSpacing = std::max(0, bag.read(QStringLiteral("PicCapSpacing"), SpacingMargin).toInt());
    const int storedStyle = bag.read(QStringLiteral("BtnAppearance"), static_cast<int>(HalfRaised)).toInt();
    m_drawnStyle = storedStyle >= Flat && storedStyle <= SunkenStyle ? storedStyle : HalfRaised;
    m_sunkenEffects = readEnum(bag, "BtnSunkenEffects", bseYes, bseNo);
    m_contentEffects = readEnum(bag, "BtnContentEffects", bceYes, bceNo);
    m_value = bag.read(QStringLiteral("Value"), false).toBool();
    m_captionFont = bag.read(QStringLiteral("CaptionFont"), ambient.font).value<QFont>();
    m_shownCaption = bag.read(QStringLiteral("Caption"), name()).toString();
    m_captionDown = bag.read(QStringLiteral("CaptionDown"), QString()).toString();
    m_shownCapColor = readColor(bag, "CapColor", Black);
    m_capColor = readColor(bag, "CapColor", Black);
    m_capColorOver = readColor(bag, "CapColorOver", Black);
    m_capColorDown = readColor(bag, "CapColorDown", Black);
    showPicture(readPicture(bag, "PictureDisp"));
    m_pictureUp = readPicture(bag, "PictureUp");
    m_pictureOver = readPicture(bag, "PictureOver");
    m_pictureDown = readPicture(bag, "PictureDown");
    m_picPos.setX(bag.read(QStringLiteral("PicPosLeft"), 0).toInt());
    m_picPos.setY(bag.read(QStringLiteral("PicPosTop"), 0).toInt());
    m_capPos.setX(bag.read(QStringLiteral("CapPosLeft"), 0).toInt());
    m_capPos.setY(bag.read(QStringLiteral("CapPosTop"), 0).toInt());
    m_toolTipBack = readColor(bag, "ToolTipBackColor", m_toolTipBack);
    m_toolTipFore = readColor(bag, "ToolTipForeColor", m_toolTipFore);
    m_toolTipText = bag.read(QStringLiteral("ToolTipText"), m_toolTipText).toString();

    if (!m_firstReadDone) {
        m_firstReadDone = true;
        // The stored style is the drawn one; a design saved while sunken does
        // not tell the resting style, which then is the default.
        m_restingStyle = m_drawnStyle == SunkenStyle ? HalfRaised : static_cast<BtnAppearance>(m_drawnStyle);
        if (m_drawnStyle == SunkenStyle && !value())
            m_drawnStyle = m_restingStyle;
        m_currentBack = m_backColor;
    }
    if (m_shownPicture.isNull() && !m_pictureUp.isNull())
        showPicture(m_value ? m_pictureDown : m_pictureUp);
    update();
    layoutPass();
}

void Button::writeProperties(PropertyBag& bag) const
{
    const Ambient ambient = ambientOf(parentWidget());
    const auto put = [&bag](const char* name, const QVariant& value, const QVariant& omittedWhen) {
        bag.write(QLatin1String(name), value, omittedWhen);
    };
    put("Enabled", isEnabled(), true);
    put("MouseIcon", pictureValue(m_mouseIcon), pictureValue(Picture{}));
    put("MousePointer", static_cast<int>(m_mousePointer), 0);
    put("BtnBackStyle", static_cast<int>(m_backStyle), static_cast<int>(Opaque));
    put("BtnWidth", static_cast<float>(widthTwips()), 0.0f);
    put("BtnHeight", static_cast<float>(heightTwips()), 0.0f);
    put("BackColor", backColor(), ambient.back);
    put("BackColorOver", m_backColorOver, ambient.back);
    put("BackColorDown", m_backColorDown, ambient.back);
    put("PicAutoFit", static_cast<int>(m_autoFit), static_cast<int>(pafNo));
    put("PicDefaultArrange", static_cast<int>(m_arrange), static_cast<int>(pdaLeft));
    put("PicCapSpacing", m_picCapSpacing, SpacingMargin);
    put("BtnAppearance", m_drawnStyle, static_cast<int>(HalfRaised));
    put("BtnSunkenEffects", static_cast<int>(m_sunkenEffects), static_cast<int>(bseYes));
    put("BtnContentEffects", static_cast<int>(m_contentEffects), static_cast<int>(bceYes));
    put("CaptionFont", m_captionFont, ambient.font);
    put("Caption", m_shownCaption, name());
    put("CaptionDown", m_captionDown, QString());
    put("CapColor", m_shownCapColor, ambient.fore);
    put("CapColor", m_capColor, Black);
    put("CapColorOver", m_capColorOver, Black);
    put("CapColorDown", m_capColorDown, Black);
    put("PictureDisp", pictureValue(m_shownPicture), pictureValue(Picture{}));
    put("PictureUp", pictureValue(m_pictureUp), pictureValue(Picture{}));
    put("PictureOver", pictureValue(m_pictureOver), pictureValue(Picture{}));
    put("PictureDown", pictureValue(m_pictureDown), pictureValue(Picture{}));
    put("PicPosLeft", m_picPos.x(), 0);
    put("PicPosTop", m_picPos.y(), 0);
    put("CapPosLeft", m_capPos.x(), 0);
    put("CapPosTop", m_capPos.y(), 0);
    put("ToolTipBackColor", m_toolTipBack, ambient.fore);
    put("ToolTipForeColor", m_toolTipFore, ambient.fore);
    put("ToolTipText", m_toolTipText, QString());
    put("Value", value(), false);
}

} // namespace brixel
