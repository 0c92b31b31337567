#pragma once
// The small building blocks every part of the dashboard is made of. Each creates one framework widget with
// the given parent, gives it its theme name and sizes, and adds it to the parent container's layout.
//
// Sizes: a "fixed" width or height is minimum = maximum with the policy fixed on that axis; ratio is the
// child's share of the free length along the parent's direction (0 with a fixed size: exactly that size).
#include <QColor>
#include <QString>

class QWidget;
class TEVQContainer;
class TEVQLabel;
class TEVQPushButton;
class TEVQImage;

namespace quenlark {

// ":/quenlark/icons/" + name + ".svg"
QString iconPath(const QString& name);

void fixWidth(QWidget* w, int width);
void fixHeight(QWidget* w, int height);

// A container with the theme, child layout (0 horizontal, 1 vertical, 4 none), spacing and padding, sized to
// the parent at first and added to the parent with ratio. A filler is
// addContainer(parent, "SolarClear", 4, 1, 0, 0, 0, 0, 0).
TEVQContainer* addContainer(TEVQContainer* parent, const QString& theme, int childLayout, int ratio, int spacing,
                            int padLeft, int padTop, int padRight, int padBottom);
// A label with the theme; a height above 0 is fixed.
TEVQLabel* addLabel(TEVQContainer* parent, const QString& theme, int ratio, int height);
// Keeps a one-line label's text whole in its width: while the text is wider than the label, the label's text
// style takes a smaller size (down to two thirds of the size the theme gives it), and the theme's size again
// once the text fits. Fitted again when the label is resized or a theme gives it another font; a new text is
// fitted when it is set through setFittedText. A live value that grows (an energy total after hours of
// running) or a font wider than the one the layout was made for thus never loses digits.
void fitTextToWidth(TEVQLabel* label);
// The label's setText, then the fitting above when fitTextToWidth was called for the label. A null label is
// skipped.
void setFittedText(TEVQLabel* label, const QString& text);
// Gives a framework widget the theme name unless it has that one already. A theme given again is looked up by
// name and read again, and drops what the widget kept for painting (its texts laid out, its pictures): a
// refresh that gives every tick the look it already has would make each of them again for nothing.
template <class Widget> void setThemeOnce(Widget* widget, const QString& name)
{
    if (widget && widget->getThemeName() != name)
        widget->setThemeName(name);
}
// A push button without hover fade. With an icon path the icon is drawn and the text shown only when there is
// one. Widths and heights above 0 are fixed; a button without a fixed width takes ratio 1, else 0.
TEVQPushButton* addButton(TEVQContainer* parent, const QString& theme, const QString& text, int width, int height,
                          const QString& iconPath);
// Gives a button a new text; an icon that addButton placed beside the text is placed beside the new one (the
// placement measures the text, so a longer or shorter text would leave the icon where the old one began).
void setButtonText(TEVQPushButton* button, const QString& text);
// addButton inside a clear box of the given fixed width, docked in the box's centre on both axes.
TEVQPushButton* addBoxedButton(TEVQContainer* parent, const QString& theme, const QString& text, int width,
                               int height, const QString& iconPath);
// An SVG image of the given size centred in a clear box of the image's width. A valid colour tints the SVG;
// an invalid one keeps the SVG's own colours.
TEVQImage* addIcon(TEVQContainer* parent, const QString& svgPath, int width, int height, const QColor& colour);

} // namespace quenlark
