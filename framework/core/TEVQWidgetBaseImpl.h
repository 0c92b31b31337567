#pragma once
#include <QAbstractSlider>
#include <initializer_list>
// The painter object behind every framework widget: type and theme name, visual state, the typed "attr" store,
// the paint entry and mouse state machine, theme application, the base JSON ("attr", "theme", "child"), the
// shared reader and writer of "style" entries, and the drawing helpers (defined in TEVQWidgetBaseImplDraw.cpp).
#include "ITEVQWidgetBase.h"
#include "TEVStyleDesc.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QPainterPath>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

class QColor;
class QEvent;
class QIcon;
class QImage;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QSize;
class QSvgRenderer;
class QWidget;

namespace TEVQtLib {

// Visual state; the index of every four-state style array.
enum CtrlState : int {
    CtrlStateNormal = 0,
    CtrlStateHot = 1,     // mouse inside
    CtrlStatePressed = 2,
    CtrlStateDisable = 3,
};

// Per-state arrays of a control hold the four states above.
constexpr bool tevValidState(int state) { return state >= 0 && state < 4; }
// The state when it is one of the four, else the normal state: the entry to read for any state argument.
constexpr int tevSafeState(int state) { return tevValidState(state) ? state : 0; }
// Sets one entry of a four-state array, or all four for 4; any other state changes nothing.
template <class T> void tevSetStates(T* states, int state, const T& value)
{
    if (state == 4) {
        for (int s = 0; s < 4; ++s)
            states[s] = value;
    } else if (tevValidState(state)) {
        states[state] = value;
    }
}

// State argument of the setters and getters of a control that keeps one style for every state; the designer
// offers 0 ("Normal") and 1 ("Disable").
enum CommonCtrlState : int {
    CommonCtrlStateNormal = 0,
    CommonCtrlStateDisable = 1,
};

// One value of the "attr" store. The kind is the index of the payload's alternative.
class TEV_EXPORT TEVAttrValue
{
public:
    enum Kind : int {
        Bool = 0,
        String = 1,   // UTF-8
        Int8 = 2,
        UInt8 = 3,
        Int16 = 4,
        UInt16 = 5,
        UInt32 = 6,
        Int32 = 7,
        UInt64 = 8,
        Int64 = 9,
        Float = 10,
        Double = 11,
        StringList = 12, // UTF-8 items
    };
    using Payload = std::variant<bool, std::string, std::int8_t, std::uint8_t, std::int16_t, std::uint16_t,
                                 std::uint32_t, std::int32_t, std::uint64_t, std::int64_t, float, double,
                                 std::vector<std::string>>;

    TEVAttrValue() = default;
    TEVAttrValue(Payload payload) : m_payload(std::move(payload)) {}

    Kind kind() const { return Kind(m_payload.index()); }
    const Payload& payload() const { return m_payload; }
    template <class T> const T* get() const { return std::get_if<T>(&m_payload); }

    // The kind a JSON value takes in the store; false for shapes that have none (object, null, an empty array,
    // an array whose first item is not a string).
    static bool fromJson(const Json::Value& value, TEVAttrValue& out);
    Json::Value toJson() const;

    bool operator==(const TEVAttrValue& other) const { return m_payload == other.m_payload; }

private:
    Payload m_payload;
};

// Keys compare bytewise.
using TEVAttrStore = std::map<std::string, TEVAttrValue>;

// Switches the resource manager to theme resources (or off) for its lifetime and restores the previous switch
// on every way out of the scope.
class TEV_EXPORT TEVThemeResGuard
{
public:
    explicit TEVThemeResGuard(bool on);
    // Restores the switch as it is now, without changing it.
    TEVThemeResGuard();
    ~TEVThemeResGuard();
    TEVThemeResGuard(const TEVThemeResGuard&) = delete;
    TEVThemeResGuard& operator=(const TEVThemeResGuard&) = delete;

private:
    bool m_previous;
};

// The slot table of a control's "style" entries ([name, kind, slot]), read and written by one code path.
// A painter lists its style fields once and then calls read or write with the element:
//
//     TEVStyleEntries styles;
//     styles.fillGroup(0, m_background);        // slots 0..3: normal, hot, pressed, disabled
//     styles.textGroup(4, m_textStyle);         // slots 4..7
//     styles.fill(8, m_focusFrame);
//     load ? styles.read(*json) : styles.write(*json);
//
// Reading walks the array in order and gives each entry's style to every field bound to its slot; unknown
// slots, malformed entries and names the resource manager does not hold are skipped. An entry for a group's
// first slot also fills the states it spreads to (all four unless the group says fewer). Writing appends to
// "style", field by field in the order they were bound: per group either each named state or one entry for the
// first slot, as the group's rule decides; a group with a named state that the single entry would not give back
// (the first state is unnamed, the two differ by the group's rule, or the entry does not spread to it) is
// always written per state. The kind written is 2 for a style whose type field is non-zero, else 1.
class TEV_EXPORT TEVStyleEntries
{
public:
    // When a four-state group is written per state instead of as one entry for its first slot.
    enum class GroupRule {
        // Some neighbouring pair (normal-hot, hot-pressed, pressed-disabled) whose two styles both have a name
        // differs field by field.
        NamedNeighboursDiffer,
        // The same, fill styles compared by their look only (tevSameFillLook).
        NamedNeighboursLookDifferent,
        // The four styles are not all equal.
        NotAllEqual,
    };

    void fill(int slot, FillStyle& style);
    void text(int slot, TextStyleDesc& style);
    // Four states on four slots: firstSlot .. firstSlot + 3, or the given slots. On reading, an entry of the
    // first slot also gives its style to states 1 .. spread - 1.
    void fillGroup(int firstSlot, FillStyle* states, GroupRule rule = GroupRule::NamedNeighboursDiffer,
                   int spread = 4);
    void fillGroup(const std::array<int, 4>& slotIds, FillStyle* states);
    void textGroup(int firstSlot, TextStyleDesc* states, GroupRule rule = GroupRule::NamedNeighboursDiffer,
                   int spread = 4);
    void textGroup(const std::array<int, 4>& slotIds, TextStyleDesc* states);
    // Read-only bindings: an entry of slot also gives its style to states[0 .. count - 1]; nothing is written
    // for them. Bound to another field's slot, they follow that field in the order of the entries, so a later
    // entry of their field's own slot wins.
    void alsoFill(int slot, FillStyle* states, int count);
    void alsoText(int slot, TextStyleDesc* states, int count);
    // The single field bound last is read only from the first entry of its slot that takes effect; later
    // entries of the slot go to the other fields bound to it. A group whose first slot it shares leaves out its
    // state-0 entry when that would repeat the field's: the one entry gives both their style on reading.
    void firstEntryOnly();

    // appliedSlots, when given, receives the slots (0..63) whose entries were applied, one bit each.
    void read(const Json::Value& element, quint64* appliedSlots = nullptr) const;
    void write(Json::Value& element) const;

    // The lookup key of a style name taken from JSON (its bytes, one per character), and the JSON text of a
    // style record's name.
    static QString styleNameFromJson(const std::string& bytes);
    static std::string styleNameToJson(const QString& name);
    // The style a name taken from JSON names in the resource manager: by its bytes (styles from style JSON),
    // then by its decoded text (styles filed from code); false when neither is held.
    static bool findFillStyle(const std::string& name, FillStyle& out);
    static bool findTextStyle(const std::string& name, TextStyleDesc& out);

private:
    struct Entry
    {
        std::array<int, 4> slotIds{{-1, -1, -1, -1}};
        int count = 1;          // 1 single field, 4 a group
        int spread = 1;         // states an entry of the first slot fills on reading
        FillStyle* fill = nullptr; // count items
        TextStyleDesc* text = nullptr;
        GroupRule rule = GroupRule::NamedNeighboursDiffer;
        bool firstOnly = false;
        bool readOnly = false;
    };
    std::vector<Entry> m_entries;
    void add(const std::array<int, 4>& slotIds, int count, FillStyle* fill, TextStyleDesc* text,
             GroupRule rule = GroupRule::NamedNeighboursDiffer, int spread = 4);
};

class TEVTextCache; // TEVTextCache.h

// The image of a nine-slice image fill, found by its name once, and the copy of its tiled centre. Found again
// once the resource manager's resource serial changes (a theme, skin or project loaded, a folder set, the
// scale factor changed: the stores may then hold another picture under the name) or another name is asked for.
class TEV_EXPORT TEVImageFillCache
{
public:
    // The image named name; null when there is none (asked for again on the next call).
    const QImage* image(const QString& name);
    // rect of the image last handed out, copied once.
    const QImage& tile(const QRect& rect);
    const QString& name() const { return m_name; }
    void clear();

private:
    bool m_found = false;
    quint64 m_serial = 0;
    QString m_name;
    QImage m_image;
    QRect m_tileRect;
    QImage m_tile;
};

// A fill kept between paints: a rounded or gradient fill, whose anti-aliased outline costs far more to draw
// than to copy, is drawn once into an image for its size and style and copied on each paint after, until the
// size, the style or the device's pixel ratio changes. Controls that draw the same fill at the same size share
// the image (a process-wide cache of a few megabytes). Other fills (and painters on other than raster devices,
// or that scale, rotate, move by fractions of a pixel or compose in another mode) are drawn directly, as
// drawFillStyleAt does; an image fill keeps its image and the tile of a tiled centre (TEVImageFillCache).
class TEV_EXPORT TEVFillCache
{
public:
    void draw(QPainter* painter, const FillStyle& style, int x, int y, int w, int h);
    void draw(QPainter* painter, const FillStyle& style, const QRect& rect)
    {
        draw(painter, style, rect.x(), rect.y(), rect.width(), rect.height());
    }
    void clear();

private:
    bool m_valid = false;
    FillRes m_res;
    QSize m_size;
    qreal m_ratio = 1.0;
    QImage m_image;
    TEVImageFillCache m_imageFill; // image fills
};

class TEV_EXPORT TEVQWidgetBaseImpl : public QObject
{
    Q_OBJECT
public:
    TEVQWidgetBaseImpl(QWidget* owner, const QString& typeName);
    ~TEVQWidgetBaseImpl() override;

    // The paint entry: state 3 while the owner is disabled, back to 0 once enabled; then draw over the owner.
    virtual void paintEvent(QWidget* owner, QPaintEvent* event);
    virtual void draw(QPainter* painter, const QRect& rect);
    // The "attr", "theme" and "child" keys. Reading a "theme" key replaces json by the theme element and
    // switches to theme resources; the widget's serializeJsonValue restores the switch when it returns.
    virtual bool serializeJsonValue(Json::Value*& json, bool load);
    virtual void notifyChangeLanguage();
    virtual void createComplete();
    virtual void mousePressEvent(QMouseEvent* event);
    virtual void mouseReleaseEvent(QMouseEvent* event);
    virtual void enterEvent(QEvent* event);
    virtual void leaveEvent(QEvent* event);
    virtual void mouseMoveEvent(QMouseEvent* event);
    virtual void mouseDoubleClickEvent(QMouseEvent* event);

    // Styles the owner from the theme element named themeName (outside the designer).
    void applyTheme();

    bool getDelegateItemVisible() const { return delegateItemVisible; }
    void setDelegateItemVisible(bool visible) { delegateItemVisible = visible; }

    QWidget* getOwner() const { return owner; }
    const QString& getTypeNameRef() const { return typeName; }
    const QString& getThemeName() const { return themeName; }
    void setThemeNameValue(const QString& name) { themeName = name; }
    CtrlState getState() const { return state; }
    // A press whose release goes elsewhere (a popup or menu it opened took the mouse) ends here: hot while the
    // pointer is still over the owner, else normal. Nothing unless the owner shows pressed.
    void pressTakenAway();
    // For painters that draw a widget in a state of their own (an item delegate drawing a template part hot).
    void setState(CtrlState value) { state = value; }
    bool isHovered() const { return hovered; }

    const TEVAttrStore& attrs() const { return attrStore; }
    // A child the widget makes for itself (a part it paints or lays out, not one of the page's widgets): the
    // element's "child" array leaves it out, so that reading the page does not make it a second time.
    void addOwnPart(QObject* part) { ownParts.push_back(part); }
    // The stored value of key, or null.
    const TEVAttrValue* attr(const std::string& key) const;
    void setAttr(const std::string& key, TEVAttrValue value) { attrStore[key] = std::move(value); }

    // A control's own "attr" keys are written by the control's rules alone: the base writes back every "attr"
    // member it once read, so ownAttrs drops those copies of keys and returns the element's "attr" object
    // (made an object when it was not), and dropEmptyAttrs removes an "attr" left empty or null.
    static Json::Value& ownAttrs(Json::Value& element, std::initializer_list<const char*> keys);
    static void dropEmptyAttrs(Json::Value& element);
    // For writers that look "attr" up in every case: the element's "attr" with the copies of keys dropped, null
    // when the element has none (or nothing else), so that an element with nothing to write gets "attr": null.
    static Json::Value& lookedUpAttrs(Json::Value& element, std::initializer_list<const char*> keys);

    // Qt's slider arithmetic divides by twice the range in 32 bits: a range of 2^31 or more (for example
    // minimum INT_MIN + 100, maximum 100) ends the process. Sliders and scroll bars call this on every range
    // change; it keeps the minimum and lowers the maximum so that maximum - minimum stays below 2^31.
    static void keepSliderRangeSafe(QAbstractSlider* slider);

    static bool isSvgPath(const QString& path);
    static QColor stringToColor(const std::string& hex);
    static bool isValidImage(const QImage& image);
    static QString utf8ToQString(const char* text);

    // Drawing helpers.
    static void drawFillStyle(QPainter* painter, const FillStyle& style, const QRect& rect);
    static void drawFillStyleAt(QPainter* painter, const FillStyle& style, int x, int y, int w, int h);
    static void drawFillRes(QPainter* painter, const FillRes& fill, int x, int y, int w, int h);
    static void drawImageFill(QPainter* painter, const QString& imageName, const ImageDesc& desc, int x, int y,
                              int w, int h);
    // The same with the image and the tile of a tiled centre taken from cache.
    static void drawImageFill(QPainter* painter, const QString& imageName, const ImageDesc& desc, int x, int y,
                              int w, int h, TEVImageFillCache* cache);
    static void drawText(QPainter* painter, const QString& text, const TextStyleDesc& style, const QRect& rect);
    static void drawTextAt(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w,
                           int h, bool horizontal);
    // The same drawn through cache (see TEVTextCache): laid out once, drawn from its glyphs while nothing changes.
    static void drawTextAt(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w,
                           int h, bool horizontal, TEVTextCache* cache);
    // Vertical text: text drawn upright in font into a picture as wide as the target (w x h) is high, and that
    // picture turned a quarter clockwise onto the target at (x, y).
    // The picture is made at ratio device pixels per pixel (the painter's, see paintRatio), so that it is as
    // sharp as the text drawn straight.
    static QImage uprightText(const QString& text, const TextStyleDesc& style, const QFont& font, int w, int h,
                              qreal ratio = 1.0);
    // Device pixels per pixel of what painter paints on, at least 1. While a widget is rendered into another
    // device (QWidget::render, grab) the painter's device() is the widget, which reports its screen's ratio;
    // the pixels land on the paint engine's device, whose ratio is the one pictures must be made at.
    static qreal paintRatio(const QPainter* painter);
    static void drawTurned(QPainter* painter, const QImage& upright, int x, int y, int w);
    // renderer's SVG rendered over a transparent picture of pixels device pixels, tinted with tint (keeping the
    // SVG's own alpha) when tint is given; a null image when the picture cannot be made.
    static QImage svgPicture(QSvgRenderer* renderer, const QSize& pixels, const QColor* tint = nullptr);
    static void drawIcon(QPainter* painter, const QIcon& icon, const QSize& size, const IconStyleDesc& style,
                         const QRect& rect);
    static void drawImage(QPainter* painter, const QString& name, const IconStyleDesc& style, const QRect& rect,
                          bool gray);
    static void drawImageAt(QPainter* painter, const QString& name, const IconStyleDesc& style, int x, int y, int w,
                            int h, bool gray);
    static QSize getTextSize(const TextStyleDesc& style, const QString& text);
    // The font a text style draws and measures with: the global font family wins over the style's own.
    static QFont styleFont(const TextStyleDesc& style);
    static QFont styleFont(const TextStyleDesc& style, const QString& globalFamily);
    // Qt's alignment for a style's horizontal (0 left, 1 centre, 2 right) and vertical (0 top, 1 centre,
    // 2 bottom) alignment; other values add nothing.
    static Qt::Alignment styleAlignment(int hor, int ver);
    // An offset or margin from a style file or a setter, kept within what a widget can measure
    // (QWIDGETSIZE_MAX either way), so that a widget's coordinates plus a few of them stay within int.
    static int boundedOffset(int v) { return v < -16777215 ? -16777215 : v > 16777215 ? 16777215 : v; }
    // Where an item of the given size goes in area by an icon style's alignment and (bounded) offsets.
    static QPoint iconPosition(const IconStyleDesc& style, const QRect& area, const QSize& size);
    // The box a text of style is drawn into in the rectangle (x, y, w, h): moved by the style's offsets (kept
    // within what a style file can sensibly mean, so that the box stays within int), bottom-aligned text keeping
    // the rectangle's height.
    static QRect textBox(const TextStyleDesc& style, int x, int y, int w, int h);
    static QSize getImageSize(const QString& name, bool gray);
    static QSize scaleSize(const QSize& size);
    static QPainterPath roundedRectPath(const QRectF& rect, double radius, bool topLeft, bool topRight,
                                       bool bottomRight, bool bottomLeft);

protected:
    QString typeName;
    QString themeName;
    bool hovered = false;
    bool delegateItemVisible = true;
    CtrlState state = CtrlStateNormal;
    TEVAttrStore attrStore;
    QWidget* owner = nullptr;
    std::vector<QPointer<QObject>> ownParts;

    friend class TEVQWidgetBase;
};

} // namespace TEVQtLib
