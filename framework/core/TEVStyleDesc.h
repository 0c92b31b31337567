#pragma once
// Value records with which the framework's widgets describe how they paint a surface, a text and an icon,
// plus the process-wide settings record. All are plain values: default construction, member-wise copy.
#include "TEVGlobal.h"

#include <QColor>
#include <QString>

#include <string>

namespace TEVQtLib {

// Colour part of a fill: solid colour or left-to-right gradient, border and rounded corners.
struct TEV_EXPORT FillRes {
    QColor fillColor{255, 255, 255, 255};        // solid fill, and the start of a gradient
    QColor gradientEndColor{255, 255, 255, 255}; // end of a gradient
    QColor borderColor{128, 128, 128, 255};
    bool gradient = false;
    int radius = 0;     // 0 paints a plain rectangle
    int borderSize = 0; // 0 paints no border
    bool drawBorder = false;
    bool leftBorder = true;
    bool topBorder = true;
    bool rightBorder = true;
    bool bottomBorder = true;
    bool roundTopLeft = true;
    bool roundTopRight = true;
    bool roundBottomRight = true;
    bool roundBottomLeft = true;

    bool operator==(const FillRes& o) const;
    bool operator!=(const FillRes& o) const { return !(*this == o); }
};

// Nine-slice stretching of an image: margins in image pixels (in-memory order left, right, top, bottom) and
// which strips are tiled instead of stretched.
struct TEV_EXPORT ImageDesc {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    bool repeatLeft = false;
    bool repeatRight = false;
    bool repeatTop = false;
    bool repeatBottom = false;
    bool repeatCenter = false;

    bool operator==(const ImageDesc& o) const;
    bool operator!=(const ImageDesc& o) const { return !(*this == o); }
};

// A named background: either the colour part or the image part is painted.
struct TEV_EXPORT FillStyle {
    int type = 0;             // record kind: 0 for a fill style (a "style" entry of an element writes kind 1)
    QString name;             // name in its store
    bool valid = true;        // false: nothing is painted
    bool useFillStyle = true; // true: paint fillRes; false: paint imageName with imageDesc
    FillRes fillRes;
    QString imageName;
    ImageDesc imageDesc;

    bool operator==(const FillStyle& o) const;
    bool operator!=(const FillStyle& o) const { return !(*this == o); }
};

// Whether two fill styles paint alike: equal `valid` and `useFillStyle` flags, then the whole colour part when
// it is painted, else the image name. Names and image margins do not count. Writers use it to decide whether a
// state needs an entry of its own.
TEV_EXPORT bool tevSameFillLook(const FillStyle& a, const FillStyle& b);

// Default family of a text style record.
TEV_EXPORT QString defaultTextStyleFamily();
// Family a text entry of a style JSON document takes when it has no "family" key.
TEV_EXPORT QString styleJsonDefaultFamily();

// A named text look.
struct TEV_EXPORT TextStyleDesc {
    int type = 1; // record kind: non-zero for a text style (a "style" entry of an element writes kind 2)
    QString name;
    bool bold = false; // weight 75 instead of 50
    bool italic = false;
    int pixelSize = 12;
    bool underline = false;
    QString family = defaultTextStyleFamily(); // replaced by a non-empty global font family when drawn
    QColor color{0, 0, 0, 255};
    int offsetX = 0;
    int offsetY = 0;
    bool isHor = true;      // false: turned by 90 degrees
    bool singleLine = true; // carried with the record only
    int horAlign = 0;       // 0 left, 1 centre, 2 right
    int verAlign = 1;       // 0 top, 1 centre, 2 bottom
    int textMode = 1;       // 3 wraps inside the rectangle; others: one line, elided

    bool operator==(const TextStyleDesc& o) const;
    bool operator!=(const TextStyleDesc& o) const { return !(*this == o); }
};

// Where an icon sits in a rectangle and how it is tinted. Alignments: 0 start, 1 centre, 2 end.
struct TEV_EXPORT IconStyleDesc {
    int offsetX = 0;
    int offsetY = 0;
    bool useColor = false; // an SVG image is painted in color
    QColor color{0, 0, 0, 255};
    int horAlign = 1;
    int verAlign = 1;

    bool operator==(const IconStyleDesc& o) const;
    bool operator!=(const IconStyleDesc& o) const { return !(*this == o); }
};

// Process-wide settings kept by the resource manager.
struct TEV_EXPORT TEVGlobalConfig {
    QString fontFamily;             // empty: each text style's own family
    bool buttonFadeEnabled = false; // push buttons fade between states
    int buttonFadeDuration = 150;   // milliseconds; 0 or below means 150

    bool operator==(const TEVGlobalConfig& o) const;
    bool operator!=(const TEVGlobalConfig& o) const { return !(*this == o); }
};

// ---- colour strings (AARRGGBB) ----------------------------------------------------------------------------

// The leading hexadecimal digits of text (either case) as one number, saturating at 0xFFFFFFFF when there are
// more digits than fit. 0 when text does not start with a hexadecimal digit. Reading stops at the first
// character that is not a hexadecimal digit.
TEV_EXPORT quint32 tevParseHex32(const char* text);
TEV_EXPORT quint32 tevParseHex32(const std::string& text);

// A colour string as the style JSON reads it: 0xAARRGGBB including alpha.
TEV_EXPORT QColor tevColorFromArgbString(const std::string& text);
TEV_EXPORT QColor tevColorFromArgbString(const QString& text);

// Eight upper-case hexadecimal digits: alpha, red, green, blue.
TEV_EXPORT QString tevColorToArgbString(const QColor& color);

} // namespace TEVQtLib
