#include "TEVQComboBox.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"

#include <QChildEvent>
#include <QEvent>
#include <QIcon>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

using namespace TEVQtLib;

namespace {


const QString kClearBackground = QStringLiteral("background-color: rgba(0, 0, 0, 0);");
const QMargins kEditMargins(10, 0, 10, 0);
constexpr int kIconColumn = 20;
constexpr int kIconSize = 16;

// The drop button the box paints in box: a square of its height at its right edge.
QRect dropButton(const QRect& box) { return QRect(box.right() - box.height(), box.top(), box.height(), box.height()); }

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQComboBoxImpl::TEVQComboBoxImpl(TEVQComboBox* ownerCombo) : TEVQWidgetBaseImpl(ownerCombo, TEVQComboBox::typeName()) {}

TEVQComboBoxImpl::~TEVQComboBoxImpl() = default;

TEVQComboBox* TEVQComboBoxImpl::combo() const { return static_cast<TEVQComboBox*>(owner); }

TextStyleDesc TEVQComboBoxImpl::indented(const TextStyleDesc& style)
{
    TextStyleDesc copy = style;
    if (copy.horAlign == 0 && copy.offsetX < 10)
        copy.offsetX = 10;
    return copy;
}

void TEVQComboBoxImpl::draw(QPainter* painter, const QRect& rect)
{
    TEVQComboBox* c = combo();
    if (!c)
        return;
    QLineEdit* edit = c->lineEdit();
    // Set once, not on every paint: setting them again would schedule another paint of the line edit.
    if (edit && edit->textMargins() != kEditMargins)
        edit->setTextMargins(kEditMargins);

    const int current = c->currentIndex();
    const QIcon icon = current >= 0 ? c->itemIcon(current) : QIcon();
    QRect iconRect;
    QRect textRect = rect;
    if (!icon.isNull()) {
        iconRect = QRect(5, 0, kIconColumn, c->height());
        textRect.setWidth(textRect.width() - kIconColumn);
        textRect.setLeft(kIconColumn);
    }
    const QRect button = dropButton(rect);
    const IconStyleDesc placement; // centred, no offsets

    const int s = state;
    if (s >= 0 && s < 4) {
        drawFillStyle(painter, backgrounds[s], rect);
        drawFillStyle(painter, btnBackgrounds[s], button);
        iconCache.draw(painter, btnIcons[s], placement, button, false);
        if (!edit) {
            const TextStyleDesc& style = textStyles[s];
            if (style.horAlign == 0 && style.offsetX < 10)
                textCache.draw(painter, c->currentText(), indented(style), textRect.x(), textRect.y(),
                               textRect.width(), textRect.height());
            else
                textCache.draw(painter, c->currentText(), style, textRect.x(), textRect.y(), textRect.width(),
                               textRect.height());
        }
    }
    drawIcon(painter, icon, QSize(kIconSize, kIconSize), placement, iconRect);
}

void TEVQComboBoxImpl::createComplete()
{
    TEVQComboBox* c = combo();
    if (!c || !tevIsQtEmulator())
        return;
    c->addItem(QStringLiteral("Item1"));
    c->addItem(QStringLiteral("Item2"));
    c->addItem(QStringLiteral("Item3"));
    c->setCurrentIndex(0);
}

bool TEVQComboBoxImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQComboBox* c = combo();
    if (!json || !c)
        return result;
    TEVStyleEntries styles;
    styles.fillGroup(0, backgrounds);
    styles.fillGroup(4, btnBackgrounds);
    styles.textGroup(8, textStyles);
    styles.fill(12, popupBackground);
    styles.fillGroup(13, itemBackgrounds);
    styles.textGroup(17, itemTextStyles);
    Json::Value& element = *json;

    if (load) {
        if (QLineEdit* edit = c->lineEdit())
            edit->setStyleSheet(kClearBackground);
        iconCache.clear();
        styles.read(element);
        const Json::Value* found = json::find(element, "attr");
        if (!found || !json::isObject(*found))
            return result;
        const Json::Value& a = *found;
        QString text;
        if (json::read(a, "text", text)) {
            // A page element adds its item each time it is read. A theme element is read again on every theme
            // change: it selects its item once that exists instead of adding it again.
            const bool theme = TEVQResourceManager::getInstance()->isLoadFromThemeRes();
            if (!theme || c->findText(text, Qt::MatchExactly) < 0)
                c->addItem(text);
            c->setCurrentText(text);
        }
        QString icon;
        if (json::read(a, "btnIcon", icon)) {
            for (QString& name : btnIcons)
                name = icon;
        }
        json::read(a, "btnHotIcon", btnIcons[CtrlStateHot]);
        return result;
    }

    element.removeMember("style");
    styles.write(element);
    Json::Value& a = ownAttrs(element, {"text", "btnIcon", "btnHotIcon"});
    if (!c->currentText().isEmpty())
        a["text"] = json::fromQString(c->currentText());
    const QString& normal = btnIcons[CtrlStateNormal];
    const QString& hot = btnIcons[CtrlStateHot];
    if (!normal.isEmpty())
        a["btnIcon"] = json::fromQString(normal);
    if (!hot.isEmpty() && hot != normal)
        a["btnHotIcon"] = json::fromQString(hot);
    dropEmptyAttrs(element);
    return result;
}

// ---- popup list and its rows ---------------------------------------------------------------------------------

TEVQComboItemDelegate::TEVQComboItemDelegate(TEVQComboBoxImpl* painter, QObject* parent)
    : QItemDelegate(parent), m_painter(painter)
{
}

TEVQComboItemDelegate::~TEVQComboItemDelegate() = default;

void TEVQComboItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!m_painter || !index.isValid())
        return;
    TEVQComboBox* c = m_painter->combo();
    QString text;
    QMap<int, QVariant> data;
    QIcon icon;
    if (c && c->model()) {
        data = c->model()->itemData(index);
        icon = c->itemIcon(index.row());
    }
    const QRect& r = option.rect;
    int indent = 0;
    if (!icon.isNull()) {
        TEVQWidgetBaseImpl::drawIcon(painter, icon, QSize(kIconSize, kIconSize), IconStyleDesc(),
                                     QRect(r.x(), r.y(), kIconColumn, r.height()));
        indent = kIconColumn;
    }
    if (!data.isEmpty())
        text = data.first().toString();
    painter->save();
    const QRect itemRect(r.x() + indent, r.y(), r.width() - indent, r.height());
    int k = 0;
    if (option.state & QStyle::State_MouseOver)
        k = 1;
    else if (option.state & QStyle::State_Selected)
        k = 2;
    TEVQWidgetBaseImpl::drawFillStyle(painter, m_painter->itemBackgrounds[k], itemRect);
    const TextStyleDesc style = TEVQComboBoxImpl::indented(m_painter->itemTextStyles[k]);
    m_rowTexts.draw(painter, quint64(index.row()) * 3 + quint64(k), text, style, itemRect);
    painter->restore();
}

QSize TEVQComboItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), m_painter ? m_painter->itemHeight : TEVQComboBoxImpl::kDefaultItemHeight);
}

TEVQComboList::TEVQComboList(TEVQComboBoxImpl* painter, QWidget* parent)
    : QListView(parent), m_painter(painter), m_delegate(new TEVQComboItemDelegate(painter, this))
{
    // On the heap: QComboBox::setItemDelegate deletes the delegate it replaces.
    setItemDelegate(m_delegate);
    viewport()->installEventFilter(this);
    setFrameStyle(0);
    viewport()->setStyleSheet(kClearBackground);
}

TEVQComboList::~TEVQComboList() = default;

bool TEVQComboList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport() && event->type() == QEvent::Paint) {
        if (m_painter) {
            QPainter p(viewport());
            TEVQWidgetBaseImpl::drawFillStyle(&p, m_painter->popupBackground,
                                              QRect(0, 0, viewport()->width(), viewport()->height()));
        }
        return false;
    }
    return QAbstractItemView::eventFilter(watched, event);
}

void TEVQComboList::hideEvent(QHideEvent* event)
{
    QListView::hideEvent(event);
    if (m_painter)
        m_painter->pressTakenAway();
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQComboBox::TEVQComboBox(QWidget* parent) : QComboBox(parent)
{
    auto* p = new TEVQComboBoxImpl(this);
    tevSetImpl(p, false);
    m_list = new TEVQComboList(p);
    p->applyTheme();
    setView(m_list);
}

TEVQComboBox::~TEVQComboBox()
{
    // The painter first, then the popup list that points to it.
    tevSetImpl(nullptr, false);
    delete m_list.data();
}

const FillStyle& TEVQComboBox::getBackground(CtrlState state) const { return painter()->backgrounds[tevSafeState(state)]; }
void TEVQComboBox::setBackground(CtrlState state, const FillStyle& style) { painter()->backgrounds[tevSafeState(state)] = style; }

const FillStyle& TEVQComboBox::getBtnBackground(CtrlState state) const
{
    return painter()->btnBackgrounds[tevSafeState(state)];
}

void TEVQComboBox::setBtnBackground(CtrlState state, const FillStyle& style)
{
    painter()->btnBackgrounds[tevSafeState(state)] = style;
}

const FillStyle& TEVQComboBox::getItemBackground(CtrlState state) const
{
    return painter()->itemBackgrounds[tevSafeState(state)];
}

void TEVQComboBox::setItemBackground(CtrlState state, const FillStyle& style)
{
    painter()->itemBackgrounds[tevSafeState(state)] = style;
}

const TextStyleDesc& TEVQComboBox::getTextStyle(CtrlState state) const { return painter()->textStyles[tevSafeState(state)]; }
void TEVQComboBox::setTextStyle(CtrlState state, const TextStyleDesc& style) { painter()->textStyles[tevSafeState(state)] = style; }

const TextStyleDesc& TEVQComboBox::getItemTextStyle(CtrlState state) const
{
    return painter()->itemTextStyles[tevSafeState(state)];
}

void TEVQComboBox::setItemTextStyle(CtrlState state, const TextStyleDesc& style)
{
    painter()->itemTextStyles[tevSafeState(state)] = style;
}

const FillStyle& TEVQComboBox::getPopupBackground(CtrlState) const { return painter()->popupBackground; }
void TEVQComboBox::setPopupBackground(CtrlState, const FillStyle& style) { painter()->popupBackground = style; }

const QString& TEVQComboBox::getBtnIcon(CtrlState state) const { return painter()->btnIcons[tevSafeState(state)]; }
void TEVQComboBox::setBtnIcon(CtrlState state, const QString& name) { painter()->btnIcons[tevSafeState(state)] = name; }
const QString& TEVQComboBox::getNormalBtnIcon() const { return painter()->btnIcons[CtrlStateNormal]; }
void TEVQComboBox::setNormalBtnIcon(const QString& name) { painter()->btnIcons[CtrlStateNormal] = name; }
const QString& TEVQComboBox::getHotBtnIcon() const { return painter()->btnIcons[CtrlStateHot]; }
void TEVQComboBox::setHotBtnIcon(const QString& name) { painter()->btnIcons[CtrlStateHot] = name; }

int TEVQComboBox::getItemHeight() const { return painter()->itemHeight; }
void TEVQComboBox::setItemHeight(int height) { painter()->itemHeight = qBound(0, height, QWIDGETSIZE_MAX); }

void TEVQComboBox::initDemoData() { painter()->createComplete(); }

bool TEVQComboBox::stylePixelMetric(QStyle::PixelMetric, int&) const { return false; }

void TEVQComboBox::styleSubControlRect(QStyle::ComplexControl control, const QStyleOptionComplex* option,
                                       QStyle::SubControl subControl, QRect& rect) const
{
    if (control != QStyle::CC_ComboBox || !option)
        return;
    const QRect button = dropButton(option->rect);
    if (subControl == QStyle::SC_ComboBoxArrow)
        rect = button;
    else if (subControl == QStyle::SC_ComboBoxEditField && rect.right() >= button.left())
        rect.setRight(button.left() - 1);
}

void TEVQComboBox::childEvent(QChildEvent* event)
{
    QComboBox::childEvent(event);
    // Polished, not added: a child is added while it is still being constructed.
    if (event->polished() && event->child() == lineEdit() && lineEdit()->styleSheet().isEmpty())
        lineEdit()->setStyleSheet(kClearBackground);
}

void TEVQComboBox::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQComboBox::mouseMoveEvent(QMouseEvent* event) { QWidget::mouseMoveEvent(event); }

ControlInfo TEVQComboBox::getProps()
{
    using W = TEVQComboBox;
    ControlInfo info = tevControlInfo(typeName(), "ComboBox", "Control ComboBox", "TEVQComboBox", "combo");
    info.props << tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground)
               << tevFillStyleRow<W>(QStringLiteral("BtnBackground"), &W::setBtnBackground, &W::getBtnBackground)
               << tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setTextStyle, &W::getTextStyle)
               // The popup background row carries the drop button's label; its accessors tell them apart.
               << tevFillStyleRow<W>(QStringLiteral("BtnBackground"), &W::setPopupBackground, &W::getPopupBackground,
                                     {QStringLiteral("Normal")})
               << tevFillStyleRow<W>(QStringLiteral("ItemBg"), &W::setItemBackground, &W::getItemBackground)
               << tevTextStyleRow<W>(QStringLiteral("ItemText"), &W::setItemTextStyle, &W::getItemTextStyle)
               << tevTextRow<W>(QStringLiteral("Context"), PropTextArea, &QComboBox::setCurrentText,
                                &QComboBox::currentText)
               << tevTextRow<W>(QStringLiteral("Icon"), PropImage, &W::setNormalBtnIcon, &W::getNormalBtnIcon)
               << tevTextRow<W>(QStringLiteral("HotIcon"), PropImage, &W::setHotBtnIcon, &W::getHotBtnIcon);
    return info;
}
