#pragma once
// The framework's themed plain list: a QListWidget whose rows its item delegate paints from styles (a row
// background and text per state; hover wins over selection), with the row's text and an optional icon from
// the model. Themed viewport background, single or multiple selection, a fixed row height and two framework
// scroll bars sized by one style sheet. In the designer it shows twenty preview rows.
#include "TEVQScrollBarPair.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVRowIconCache.h"
#include "TEVRowTextCache.h"
#include "TEVViewStyles.h"

#include <QItemDelegate>
#include <QListWidget>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQList;

class TEV_EXPORT TEVQListImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQListImpl(TEVQList* owner);
    ~TEVQListImpl() override;

    bool serializeJsonValue(Json::Value*& json, bool load) override;
    // Designer preview rows.
    void createComplete() override;
    // The rows' icons are found again.
    void notifyChangeLanguage() override;

    int itemHeight = 20; // 0 means 20
    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle itemBackground[4];
    TEVQtLib::TextStyleDesc itemTextStyle[4];
    // The rows' icons given by image name, by row; cleared when the styles are read again or the language
    // changes.
    TEVQtLib::TEVRowIconCache rowIcons{128};

private:
    TEVQList* list() const;
};

class TEV_EXPORT TEVQListItemDelegate : public QItemDelegate
{
public:
    explicit TEVQListItemDelegate(TEVQListImpl* viewImpl) : viewImpl(viewImpl) {}
    ~TEVQListItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The icon size of a row of height h: 16 up to 24, 24 up to 32, else 32.
    static int iconSizeFor(int h);

    TEVQListImpl* viewImpl;

private:
    mutable TEVQtLib::TEVRowTextCache m_rowTexts{128}; // the row texts between paints, by row
};

// Styles (setBackground, setItemBackground, setItemTextStyle and their getters): states 0..3; other values are
// ignored (getters give state 0).
class TEV_EXPORT TEVQList : public QListWidget,
                            public TEVQtLib::ITEVQWidgetBase,
                            public TEVQScrollBarPair,
                            public TEVViewItemStyles<TEVQList, false>
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQList, "qtlist")
public:
    explicit TEVQList(QWidget* parent = nullptr);
    ~TEVQList() override;

    static TEVQtLib::ControlInfo getProps();

    void setItemHeight(int height);
    int getItemHeight() const;
    void setIsMultiSelected(bool multi);
    bool getIsMultiSelected() const;

    TEVQListImpl* painter() const { return tevImpl<TEVQListImpl>(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TEVQListItemDelegate* m_delegate = nullptr;
};
