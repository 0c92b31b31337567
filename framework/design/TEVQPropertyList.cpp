#include "TEVQPropertyList.h"

#include "TEVQCheckBox.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQLineEdit.h"
#include "TEVQPushButton.h"
#include "TEVQSpinBox.h"

#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <QScrollBar>

using namespace TEVQtLib;

namespace {

const char* const kPropId = "Prop_ID";

// Pool kinds of the rows: the editor a def kind is shown with, or -1 for a kind without an editor.
enum RowKind {
    RowText = 0,       // line edit
    RowTextButton = 1, // narrower line edit and a 20 x 20 button
    RowReadOnly = 2,   // label
    RowCheck = 3,      // check box
    RowSeparator = 4,  // 1 px line, no name
    RowStyle = 5,      // style name and a chooser button
    RowInt = 10,       // one spin box
    RowPair = 11,      // two spin boxes (width, height)
    RowQuad = 12,      // four spin boxes (left, top, right, bottom)
};

int rowKindOf(int defKind)
{
    switch (defKind) {
    case PropText:
    case PropTextArea:
    case PropImage: // an image name is edited as its text
    case PropColor: // a colour is edited as its text AARRGGBB
        return RowText;
    case PropReadOnly:
        return RowReadOnly;
    case PropBool:
        return RowCheck;
    case PropSeparator:
        return RowSeparator;
    case PropFillStyle:
    case PropTextStyle:
        return RowStyle;
    case PropInt:
    case PropChoice: // the index of the option, within the def's limits
        return RowInt;
    case PropSize:
        return RowPair;
    case PropPadding:
        return RowQuad;
    default:
        return -1;
    }
}

int spinCount(int rowKind)
{
    switch (rowKind) {
    case RowInt:
        return 1;
    case RowPair:
        return 2;
    case RowQuad:
        return 4;
    default:
        return 0;
    }
}

void setPropId(QObject* editor, const QVariant& value)
{
    if (editor)
        editor->setProperty(kPropId, value);
}

void setRowPropIds(PropertyRow* row, const QVariant& value)
{
    setPropId(row->lineEdit, value);
    setPropId(row->checkBox, value);
    setPropId(row->button, value);
    for (TEVQSpinBox* spin : row->spinBoxes)
        setPropId(spin, value);
}

// The four numbers of a padding text "left,top,right,bottom"; missing or malformed parts are 0.
void parsePadding(const QString& text, int out[4])
{
    const QStringList parts = text.split(QLatin1Char(','));
    for (int i = 0; i < 4; ++i)
        out[i] = i < parts.size() ? parts[i].trimmed().toInt() : 0;
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQPropertyListImpl::TEVQPropertyListImpl(TEVQPropertyList* ownerList) : TEVQScrollViewImpl(ownerList)
{
    typeName = QString::fromLatin1(TEVQPropertyList::typeName());
}

TEVQPropertyListImpl::~TEVQPropertyListImpl() = default;

TEVQPropertyList* TEVQPropertyListImpl::list() const { return static_cast<TEVQPropertyList*>(owner); }

PropertyRow* TEVQPropertyListImpl::takeRow(int kind)
{
    TEVQPropertyList* l = list();
    const int y = TEVQPropertyList::RowHeight * int(displayed.size());
    l->ensureContent(); // forgets the rows of a content widget that is gone
    for (const std::unique_ptr<PropertyRow>& row : pool[kind]) {
        if (row->inUse)
            continue;
        row->inUse = 1;
        placeRow(row.get(), y, l->rowWidth());
        displayed.push_back(row.get());
        row->row->show();
        row->row->raise();
        return row.get();
    }
    PropertyRow* row = makeRow(kind);
    placeRow(row, y, l->rowWidth());
    displayed.push_back(row);
    return row;
}

void TEVQPropertyListImpl::placeRow(PropertyRow* row, int y, int w)
{
    const int h = TEVQPropertyList::RowHeight;
    row->row->setGeometry(0, y, w, h);
    if (row->nameLabel)
        row->nameLabel->setGeometry(0, 0, nameWidth, h);
    if (row->button)
        row->button->setGeometry(w - 25, 5, 20, 20);
    if (row->lineEdit)
        row->lineEdit->setGeometry(nameWidth, 0, w - nameWidth - (row->button ? 20 : 0), h);
    if (row->checkBox)
        row->checkBox->setGeometry(nameWidth, 0, w - nameWidth, h);
    if (row->line)
        row->line->setGeometry(nameWidth, 15, w, 1);
    if (row->valueLabel)
        row->valueLabel->setGeometry(nameWidth, 0, row->button ? w - 150 : w - nameWidth, h);
    const int count = spinCount(row->kind);
    const int span = count > 0 ? (w - nameWidth) / count : 0;
    for (int i = 0; i < count; ++i) {
        if (row->spinBoxes[i])
            row->spinBoxes[i]->setGeometry(nameWidth + i * span, 0, span, h);
    }
}

void TEVQPropertyListImpl::placeRows(int w)
{
    // A free row is placed again when it is taken.
    for (PropertyRow* row : displayed) {
        if (row->row->width() != w)
            placeRow(row, row->row->y(), w);
    }
}

void TEVQPropertyListImpl::forgetRows()
{
    ++gridSerial;
    displayed.clear();
    pool.clear();
}

PropertyRow* TEVQPropertyListImpl::makeRow(int kind)
{
    TEVQPropertyList* l = list();
    auto owned = std::make_unique<PropertyRow>();
    PropertyRow* row = owned.get();
    row->kind = kind;
    row->inUse = 1;
    row->row = new TEVQContainer(l->ensureContent());
    row->row->setChildLayout(TEVQContainer::NoUse);
    row->row->setDrawBackground(false); // the list's own background shows through
    if (kind != RowSeparator)
        row->nameLabel = new TEVQLabel(row->row);
    // Placed by placeRow, at the list's width.
    auto addButton = [&]() {
        row->button = new TEVQPushButton(row->row);
        row->button->setText(QStringLiteral("..."));
        connect(row->button, &QPushButton::clicked, this, &TEVQPropertyListImpl::onClicked);
    };
    switch (kind) {
    case RowText:
    case RowTextButton:
        row->lineEdit = new TEVQLineEdit(row->row);
        connect(row->lineEdit, &QLineEdit::textChanged, this, &TEVQPropertyListImpl::onTextChanged);
        if (kind == RowTextButton)
            addButton();
        break;
    case RowReadOnly:
        row->valueLabel = new TEVQLabel(row->row);
        break;
    case RowCheck:
        row->checkBox = new TEVQCheckBox(row->row);
        connect(row->checkBox, &QCheckBox::toggled, this, &TEVQPropertyListImpl::onToggled);
        break;
    case RowSeparator:
        row->line = new TEVQContainer(row->row);
        row->line->setColor(QColor(112, 120, 130));
        break;
    case RowStyle:
        row->valueLabel = new TEVQLabel(row->row);
        addButton();
        break;
    default: {
        const int count = spinCount(kind);
        for (int i = 0; i < count; ++i) {
            row->spinBoxes[i] = new TEVQSpinBox(row->row);
            connect(row->spinBoxes[i], QOverload<int>::of(&QSpinBox::valueChanged), this,
                    &TEVQPropertyListImpl::onValueChanged);
        }
        break;
    }
    }
    row->row->show();
    pool[kind].push_back(std::move(owned));
    return row;
}

PropertyRow* TEVQPropertyListImpl::senderRow() const
{
    QObject* s = sender();
    if (!s)
        return nullptr;
    const QVariant id = s->property(kPropId);
    if (!id.isValid() || (id.userType() != QMetaType::VoidStar && !id.canConvert<void*>()))
        return nullptr;
    const void* def = id.value<void*>();
    if (!def)
        return nullptr;
    // Only a def of a displayed row is ever called: an address the list does not hold finds nothing.
    for (PropertyRow* row : displayed) {
        if (&row->def == def)
            return row;
    }
    return nullptr;
}

// A setter may rebuild the grid (the edited row then shows another def, or none) or delete the list: setters run
// from a copy of the def's, and the change is announced only while the grid is the one the edit was made in.
void TEVQPropertyListImpl::announce(const QPointer<TEVQPropertyList>& l, unsigned serial, PropertyRow* row)
{
    if (l && l->painter() && l->painter()->gridSerial == serial)
        l->updateValue(&row->def);
}

void TEVQPropertyListImpl::onTextChanged(const QString& text)
{
    PropertyRow* row = senderRow();
    if (!row || !row->def.target) // no control (deleted elsewhere): nothing is set, so no change is announced
        return;
    const QPointer<TEVQPropertyList> l(list());
    const unsigned serial = gridSerial;
    if (const auto set = row->def.setText)
        set(row->def.target.data(), text);
    announce(l, serial, row);
}

void TEVQPropertyListImpl::onToggled(bool checked)
{
    PropertyRow* row = senderRow();
    if (!row || !row->def.target)
        return;
    const QPointer<TEVQPropertyList> l(list());
    const unsigned serial = gridSerial;
    if (const auto set = row->def.setBool)
        set(row->def.target.data(), checked);
    announce(l, serial, row);
}

void TEVQPropertyListImpl::onClicked()
{
    if (PropertyRow* row = senderRow())
        emit list()->selectEvent(&row->def);
}

void TEVQPropertyListImpl::onValueChanged(int value)
{
    PropertyRow* row = senderRow();
    if (!row || !row->def.target)
        return;
    const PropertyDef& def = row->def;
    QWidget* target = def.target.data();
    const QPointer<TEVQPropertyList> l(list());
    const unsigned serial = gridSerial;
    if (row->kind == RowPair) {
        if (const auto set = def.setSize)
            set(target, QSize(row->spinBoxes[0]->value(), row->spinBoxes[1]->value()));
    } else if (row->kind == RowQuad) {
        if (const auto set = def.setText) {
            QStringList parts;
            for (TEVQSpinBox* spin : row->spinBoxes)
                parts << QString::number(spin->value());
            set(target, parts.join(QLatin1Char(',')));
        }
    } else if (const auto set = def.setInt) {
        set(target, value);
    }
    announce(l, serial, row);
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQPropertyList::TEVQPropertyList(QWidget* parent) : TEVQScrollView(parent)
{
    static const int defType = qRegisterMetaType<PropertyDef*>("TEVQtLib::PropertyDef*");
    Q_UNUSED(defType)
    tevSetImpl(new TEVQPropertyListImpl(this), false);
    painter()->applyTheme();
    setWidgetResizable(false);
    ensureContent();
}

QWidget* TEVQPropertyList::ensureContent()
{
    if (m_content)
        return m_content;
    TEVQPropertyListImpl* d = painter();
    // The rows of a content widget that is gone went with it.
    d->forgetRows();
    auto* content = new QWidget(this);
    content->setAutoFillBackground(false);
    m_content = content;
    connect(content, &QObject::destroyed, d, &TEVQPropertyListImpl::forgetRows);
    setWidget(content);
    d->setContentWidget(content);
    layout();
    return content;
}

TEVQPropertyList::~TEVQPropertyList()
{
    // Edits raised while the rows are torn down find no def.
    if (TEVQPropertyListImpl* d = painter()) {
        for (auto& kindRows : d->pool)
            for (auto& row : kindRows.second)
                setRowPropIds(row.get(), QVariant());
        d->displayed.clear();
    }
}

void TEVQPropertyList::addItem(const PropertyDef& def)
{
    const int kind = rowKindOf(def.kind);
    if (kind < 0)
        return;
    PropertyRow* row = painter()->takeRow(kind);
    row->def = def;
    if (kind != RowSeparator) {
        row->inUse = 1;
        row->row->show();
        row->nameLabel->setText(def.name);
    }

    // The value is put in while the editors name no def, so the edit signals it raises call no setter.
    setRowPropIds(row, QVariant());
    QWidget* target = row->def.target.data();
    switch (def.kind) {
    case PropText:
    case PropTextArea:
    case PropImage:
    case PropColor:
        row->lineEdit->setText(def.getText && target ? def.getText(target) : QString());
        break;
    case PropReadOnly:
        row->valueLabel->setText(def.getText && target ? def.getText(target) : QString());
        break;
    case PropBool:
        row->checkBox->setChecked(def.getBool && target ? def.getBool(target) : false);
        break;
    case PropFillStyle:
        row->valueLabel->setText(def.getFillStyle && target ? def.getFillStyle(target, 0).name : QString());
        break;
    case PropTextStyle:
        row->valueLabel->setText(def.getTextStyle && target ? def.getTextStyle(target, 0).name : QString());
        break;
    case PropInt:
    case PropChoice:
        row->spinBoxes[0]->setRange(def.minimum, def.maximum);
        row->spinBoxes[0]->setValue(def.getInt && target ? def.getInt(target) : 0);
        break;
    case PropSize: {
        const QSize size = def.getSize && target ? def.getSize(target) : QSize(0, 0);
        row->spinBoxes[0]->setRange(def.minimum, def.maximum);
        row->spinBoxes[1]->setRange(def.minimum, def.maximum);
        row->spinBoxes[0]->setValue(size.width());
        row->spinBoxes[1]->setValue(size.height());
        break;
    }
    case PropPadding: {
        int values[4];
        parsePadding(def.getText && target ? def.getText(target) : QString(), values);
        for (int i = 0; i < 4; ++i) {
            row->spinBoxes[i]->setRange(def.minimum, def.maximum);
            row->spinBoxes[i]->setValue(values[i]);
        }
        break;
    }
    default:
        break;
    }
    setRowPropIds(row, QVariant::fromValue<void*>(&row->def));
    layout();
}

void TEVQPropertyList::removeAll()
{
    TEVQPropertyListImpl* d = painter();
    ++d->gridSerial;
    for (PropertyRow* row : d->displayed) {
        row->inUse = 0;
        setRowPropIds(row, QVariant());
        row->def = PropertyDef();
        row->row->hide();
    }
    d->displayed.clear();
    layout();
}

void TEVQPropertyList::updateValue(PropertyDef* def) { emit valueChanged(def); }

void TEVQPropertyList::layout()
{
    const int w = rowWidth();
    if (m_content)
        m_content->setFixedSize(w, RowHeight * rowCount());
    // The rows span the list's width, also those made before the list took its size.
    if (TEVQPropertyListImpl* d = painter())
        d->placeRows(w);
}

int TEVQPropertyList::rowWidth() const
{
    const QSize room = maximumViewportSize();
    const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
    const bool bar = policy == Qt::ScrollBarAlwaysOn ||
                     (policy == Qt::ScrollBarAsNeeded && RowHeight * rowCount() > room.height());
    return std::max(0, room.width() - (bar ? verticalScrollBar()->sizeHint().width() : 0));
}

int TEVQPropertyList::rowCount() const { return int(painter()->displayed.size()); }

PropertyRow* TEVQPropertyList::rowAt(int index) const
{
    const auto& rows = painter()->displayed;
    return index >= 0 && index < int(rows.size()) ? rows[size_t(index)] : nullptr;
}

void TEVQPropertyList::resizeEvent(QResizeEvent* event)
{
    layout();
    TEVQScrollView::resizeEvent(event);
}

ControlInfo TEVQPropertyList::getProps()
{
    return tevControlInfo(typeName(), "Property", "Control Property", "TEVQProperty", "property");
}
