#pragma once
// The framework's themed check box: Qt's check-box behaviour (check state, click and key toggling, the QCheckBox
// signals) painted from the theme: a background per check state and visual state, an icon per check state and
// visual state (by default the built-in images "IDB_UNCHECK" and "IDB_CHECKED") and a text style per check
// state, with one more for the disabled box.
#include "TEVPaintCache.h"
#include "TEVQControlInfo.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QCheckBox>

namespace TEVQtLib {
// Selects one of the three text styles of a two-state button.
enum CheckBoxTextState : int {
    CheckBoxTextChecked = 0,
    CheckBoxTextUnchecked = 1,
    CheckBoxTextDisabled = 2,
};
} // namespace TEVQtLib

class QAbstractButton;
class TEVQCheckBox;

// The fields and operations the check box and the radio button share: a text (possibly a dictionary key), a
// text style per check state and one for the disabled button, four icons by check state and hover, and the
// icon's placement.
class TEV_EXPORT TEVQCheckableImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    ~TEVQCheckableImpl() override;

    void notifyChangeLanguage() override;

    TEVQtLib::TextStyleDesc& textStyle(bool checked) { return checked ? checkedTextStyle : uncheckedTextStyle; }
    // 0 checked, 1 unchecked, 2 disabled; other values set nothing, and read other.
    void setTextStyleByState(TEVQtLib::CheckBoxTextState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& textStyleByState(TEVQtLib::CheckBoxTextState state,
                                                    const TEVQtLib::TextStyleDesc& other) const;
    // Offsets are bounded as a page's are.
    void setIconStyle(const TEVQtLib::IconStyleDesc& style);
    void setIconOffsetX(int x);
    void setIconOffsetY(int y);

    QString uncheckIcon;
    QString uncheckHotIcon;
    QString checkedIcon;
    QString checkedHotIcon;
    TEVQtLib::IconStyleDesc iconStyle;
    TEVQtLib::TextStyleDesc uncheckedTextStyle;
    TEVQtLib::TextStyleDesc checkedTextStyle;
    TEVQtLib::TextStyleDesc disabledTextStyle;
    bool showIcon = true;
    bool showText = true;
    TEVQtLib::FillStyle backgrounds[4]; // unchecked, by CtrlState; not drawn until set
    QString textKey; // dictionary key of a "|->key" text; empty for a plain text
    QString keyedText; // the text textKey last gave the button (a text set since drops the key)

    TEVQtLib::TEVTextCache textCache;
    TEVQtLib::TEVIconCache iconCache;

protected:
    TEVQCheckableImpl(QAbstractButton* owner, const QString& typeName);
    QAbstractButton* checkable() const;
    // Shows text, or the dictionary string it names (kept as the key).
    void setKeyedText(const QString& text);
    // "iconX" and "iconY" of "attr", where present.
    void readIconOffsets(const Json::Value& attrs);
};

class TEV_EXPORT TEVQCheckBoxImpl : public TEVQCheckableImpl
{
    Q_OBJECT
public:
    explicit TEVQCheckBoxImpl(TEVQCheckBox* owner);
    ~TEVQCheckBoxImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // The icon the box shows in state s for its check state; empty for none.
    const QString& iconFor(int s, bool checked) const;

    QString disableCheckIcon;
    QString disableUncheckIcon;
    TEVQtLib::FillStyle checkedBackgrounds[4]; // checked, by CtrlState

private:
    TEVQCheckBox* box() const;
};

class TEV_EXPORT TEVQCheckBox : public QCheckBox, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TEVQCheckBox, QCheckBox, "qtcheckbox")
public:
    explicit TEVQCheckBox(QWidget* parent = nullptr);
    ~TEVQCheckBox() override;

    static TEVQtLib::ControlInfo getProps();

    // States 0..3 read one entry (any other value the normal one); setters take 0..3, or 4 for all four, and
    // ignore other values. No setter repaints.
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CtrlState state) const;
    void setBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getCheckedBackground(TEVQtLib::CtrlState state) const;
    void setCheckedBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);

    const TEVQtLib::TextStyleDesc& getTextStyle(bool checked) const;
    void setTextStyle(bool checked, const TEVQtLib::TextStyleDesc& style);
    // 0 checked, 1 unchecked, 2 disabled; other values read the checked style and set nothing.
    const TEVQtLib::TextStyleDesc& getTextStyleByState(TEVQtLib::CheckBoxTextState state) const;
    void setTextStyleByState(TEVQtLib::CheckBoxTextState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getDisableTextStyle() const;
    void setDisableTextStyle(const TEVQtLib::TextStyleDesc& style);

    QString getUncheckIcon() const;
    QString getUncheckHotIcon() const;
    QString getCheckedIcon() const;
    QString getCheckedHotIcon() const;
    QString getDisableCheckIcon() const;
    QString getDisableUncheckIcon() const;
    // The hot icon follows while it still has its built-in name.
    void setUncheckIcon(const QString& name);
    void setCheckedIcon(const QString& name);
    void setUncheckHotIcon(const QString& name);
    void setCheckedHotIcon(const QString& name);
    void setDisableCheckIcon(const QString& name);
    void setDisableUncheckIcon(const QString& name);

    const TEVQtLib::IconStyleDesc& getIconStyle() const;
    void setIconStyle(const TEVQtLib::IconStyleDesc& style);
    TEVQtLib::DockLayoutType getIconHorAlign() const;
    void setIconHorAlign(TEVQtLib::DockLayoutType align);
    TEVQtLib::DockLayoutType getIconVerAlign() const;
    void setIconVerAlign(TEVQtLib::DockLayoutType align);
    int getIconOffsetX() const;
    void setIconOffsetX(int x);
    int getIconOffsetY() const;
    void setIconOffsetY(int y);

    bool getShowIcon() const;
    void setShowIcon(bool show);
    bool getShowText() const;
    void setShowText(bool show);

    TEVQCheckBoxImpl* painter() const { return tevImpl<TEVQCheckBoxImpl>(); }

protected:
    // The whole box takes clicks: its icon and text are placed by its styles, not where Qt's check box would
    // put its indicator and label (an icon aligned right, a text in a font larger than the widget's).
    bool hitButton(const QPoint& pos) const override;
};

namespace TEVQtLib {
// The catalogue rows the check box and the radio button share: the text style by state, and the four icons with
// their placement (in this order, after the rows of each's own).
template <class W>
PropertyDef tevCheckableTextStyleRow()
{
    return tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setTextStyleByState, &W::getTextStyleByState,
                              {QStringLiteral("Checked"), QStringLiteral("Unchecked"), QStringLiteral("Disable")});
}

template <class W>
QVector<PropertyDef> tevCheckableIconRows()
{
    const QStringList aligns{QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
    return {tevTextRow<W>(QStringLiteral("UncheckIcon"), PropImage, &W::setUncheckIcon, &W::getUncheckIcon),
            tevTextRow<W>(QStringLiteral("UncheckHotIcon"), PropImage, &W::setUncheckHotIcon, &W::getUncheckHotIcon),
            tevTextRow<W>(QStringLiteral("CheckedIcon"), PropImage, &W::setCheckedIcon, &W::getCheckedIcon),
            tevTextRow<W>(QStringLiteral("CheckedHotIcon"), PropImage, &W::setCheckedHotIcon, &W::getCheckedHotIcon),
            tevChoiceRow<W>(QStringLiteral("HorAlign"), &W::setIconHorAlign, &W::getIconHorAlign, aligns),
            tevChoiceRow<W>(QStringLiteral("VerAlign"), &W::setIconVerAlign, &W::getIconVerAlign, aligns),
            tevIntRow<W>(QStringLiteral("OffsetX"), &W::setIconOffsetX, &W::getIconOffsetX),
            tevIntRow<W>(QStringLiteral("OffsetY"), &W::setIconOffsetY, &W::getIconOffsetY)};
}
} // namespace TEVQtLib
