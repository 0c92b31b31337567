#pragma once
// The designer's property grid: one 30 px row per catalogue row of the selected control, a 120 px name column
// on the left and, on the right, an editor of the row's kind that reads the value through the row's getter
// and writes each edit back through its setter. Row widgets are pooled by kind and reused after removeAll().
//
// Each displayed row holds its own copy of the PropertyDef it shows, and the pointers the signals carry point
// at that copy, which lives as long as the list. The copy binds the control through a guarded pointer, so a
// control deleted elsewhere turns its rows' getters and setters into no-ops instead of dangling calls, and its
// rows' edits then announce no change.
#include "TEVQControlInfo.h"
#include "TEVQScrollView.h"

#include <QMetaType>
#include <QPointer>

#include <map>
#include <memory>
#include <vector>

class TEVQCheckBox;
class TEVQContainer;
class TEVQLabel;
class TEVQLineEdit;
class TEVQPropertyList;
class TEVQPushButton;
class TEVQSpinBox;

// One row of the grid with the editors of its kind.
struct PropertyRow {
    int inUse = 0;
    int kind = 0;
    TEVQContainer* row = nullptr;
    TEVQLabel* nameLabel = nullptr;   // none for the separator
    TEVQLabel* valueLabel = nullptr;  // read-only text or style name
    TEVQSpinBox* spinBoxes[4] = {nullptr, nullptr, nullptr, nullptr};
    TEVQLineEdit* lineEdit = nullptr;
    TEVQCheckBox* checkBox = nullptr;
    TEVQPushButton* button = nullptr;
    TEVQContainer* line = nullptr;    // the separator's line
    TEVQtLib::PropertyDef def;        // the row shown, while in use
};

class TEV_EXPORT TEVQPropertyListImpl : public TEVQScrollViewImpl
{
    Q_OBJECT
public:
    explicit TEVQPropertyListImpl(TEVQPropertyList* owner);
    ~TEVQPropertyListImpl() override;

    // A free pooled row of the kind, or a new one, placed as the next displayed row.
    PropertyRow* takeRow(int kind);
    // Drops every row: their widgets went with the content widget.
    void forgetRows();
    // Places a row and its editors at y for a list w wide; placeRows places the displayed rows where they are.
    void placeRow(PropertyRow* row, int y, int w);
    void placeRows(int w);

    int nameWidth = 120;
    // Counts the grids shown: removeAll and forgotten rows start a new one.
    unsigned gridSerial = 0;
    std::vector<PropertyRow*> displayed;
    std::map<int, std::vector<std::unique_ptr<PropertyRow>>> pool;

public slots:
    void onTextChanged(const QString& text);
    void onToggled(bool checked);
    void onClicked();
    void onValueChanged(int value);

private:
    TEVQPropertyList* list() const;
    PropertyRow* makeRow(int kind);
    // The row whose def the sender's "Prop_ID" names, or null.
    PropertyRow* senderRow() const;
    static void announce(const QPointer<TEVQPropertyList>& l, unsigned serial, PropertyRow* row);
};

class TEV_EXPORT TEVQPropertyList : public TEVQScrollView
{
    Q_OBJECT
    TEV_WIDGET_SUBCLASS(TEVQPropertyList, "qtproperty")
public:
    static constexpr int RowHeight = 30;

    explicit TEVQPropertyList(QWidget* parent = nullptr);
    ~TEVQPropertyList() override;

    static TEVQtLib::ControlInfo getProps();

    // Appends a row for def (kinds without an editor add nothing).
    void addItem(const TEVQtLib::PropertyDef& def);
    // Hides every displayed row and returns it to the pool.
    void removeAll();
    void updateValue(TEVQtLib::PropertyDef* def);
    // Fixes the content widget to the rows' width and the displayed rows' height.
    void layout();
    // The width of the rows: the list's, less its vertical scroll bar when the rows overflow the list's height
    // (rows as wide as the list would reach under the bar and make the list scroll sideways).
    int rowWidth() const;

    // The widget that holds the rows; null once it is deleted or replaced, until rows are added again.
    QWidget* contentWidget() const { return m_content; }
    // The content widget, made anew and shown by the view when the last one is gone (a widget put in its place
    // through setWidget is replaced).
    QWidget* ensureContent();
    int rowCount() const;
    // The displayed row at index, or null.
    PropertyRow* rowAt(int index) const;

    TEVQPropertyListImpl* painter() const { return tevImpl<TEVQPropertyListImpl>(); }

signals:
    void selectEvent(TEVQtLib::PropertyDef* def);
    void valueChanged(TEVQtLib::PropertyDef* def);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QWidget> m_content;
};

Q_DECLARE_METATYPE(TEVQtLib::PropertyDef*)
