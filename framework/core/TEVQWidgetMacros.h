#pragma once
// Everything every framework widget class shares, from one place. A control writes only what is its own:
//
//     class TEV_EXPORT TEVQLabel : public QLabel, public TEVQtLib::ITEVQWidgetBase
//     {
//         Q_OBJECT
//         TEV_WIDGET(TEVQLabel, QLabel, "qtlabel")
//     public:
//         explicit TEVQLabel(QWidget* parent = nullptr);      // : QLabel(parent) { tevSetImpl(new TEVQLabelImpl(this)); }
//         static TEVQtLib::ControlInfo getProps();
//         ...
//     };
//
// TEV_WIDGET gives the class: Q_INTERFACES(ITEVQWidgetBase) and the Qt property jsonData; the static
// typeName() and factory create<Class>(); getTypeName/getInnerTypeName; the 27 interface operations as
// one-line forwarders; setGeometry(const QRect&); getThemeName; getInnerVisible/setInnerVisible;
// getDelegateItemVisible/setDelegateItemVisible; the embedded layout record and the owned painter object;
// paintEvent and the mouse and hover events forwarded to the painter (after the Qt base handler).
// A class that handles those events itself uses TEV_WIDGET_CORE and calls tevForward...() where it wants (or
// writes a handler of the usual form with TEV_WIDGET_BASE_THEN_PAINTER); a class derived from another framework
// widget class uses TEV_WIDGET_SUBCLASS(Class, "type") and replaces the painter in its constructor (tevSetImpl
// deletes the base's painter object).
// The macros end in a private section, like Q_OBJECT.
#include "ITEVQWidgetBase.h"
#include "TEVQWidgetBase.h"
#include "TEVQWidgetBaseImpl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

namespace TEVQtLib {

// The members every widget embeds and the bodies of the shared operations.
class TEV_EXPORT TEVWidgetParts
{
public:
    explicit TEVWidgetParts(QWidget* owner) : base(owner) { base.ownerDeclaresProperties = true; }
    ~TEVWidgetParts(); // deletes the painter object
    TEVWidgetParts(const TEVWidgetParts&) = delete;
    TEVWidgetParts& operator=(const TEVWidgetParts&) = delete;

    // Takes ownership of the painter object and, unless told not to, applies its theme.
    void setImpl(TEVQWidgetBaseImpl* painter, bool applyTheme);

    bool readJsonValue(void* json);
    bool serializeJsonValue(Json::Value* json, bool load);
    void setJsonData(const QString& json);
    bool getInnerVisible() const;
    void setInnerVisible(bool visible);
    void createComplete();
    void notifyChangeLanguage();

    TEVQWidgetBase base;
    TEVQWidgetBaseImpl* impl = nullptr;
    QString jsonText;
};

} // namespace TEVQtLib

// The type-name family, the interface in the meta-cast, the jsonData property and the properties the
// framework keeps about every widget ("impl", the painter object as a void pointer, read only; "visibility";
// the container's "_tev_container_base_geometry" and "_tev_container_bound_scrollbar"), declared so that they
// live in the widget's record (TEVQWidgetBase) instead of its dynamic properties; each reads as an invalid
// value until set, as a dynamic property would.
#define TEV_WIDGET_TYPE(ClassName, TypeNameLiteral)                                                             \
    Q_INTERFACES(TEVQtLib::ITEVQWidgetBase)                                                                     \
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)                                                \
    Q_PROPERTY(QVariant impl READ tevImplProperty STORED false DESIGNABLE false)                                \
    Q_PROPERTY(QVariant visibility READ tevVisibilityProperty WRITE tevSetVisibilityProperty STORED false       \
                   DESIGNABLE false)                                                                            \
    Q_PROPERTY(QVariant _tev_container_base_geometry READ tevBaseGeometryProperty                              \
                   WRITE tevSetBaseGeometryProperty STORED false DESIGNABLE false)                              \
    Q_PROPERTY(QVariant _tev_container_bound_scrollbar READ tevBoundBarProperty WRITE tevSetBoundBarProperty   \
                   STORED false DESIGNABLE false)                                                               \
    TEV_WIDGET_NAMES(ClassName, TypeNameLiteral)

// The type-name family alone, for a class that declares no meta-object of its own.
#define TEV_WIDGET_NAMES(ClassName, TypeNameLiteral)                                                            \
public:                                                                                                         \
    static const char* typeName() { return TypeNameLiteral; }                                                   \
    static QWidget* create##ClassName() { return new ClassName(); }                                             \
    QString getTypeName() override { return QString::fromLatin1(TypeNameLiteral); }                            \
    QString getInnerTypeName() const { return QString::fromLatin1(TypeNameLiteral); }                           \
                                                                                                                \
private:

// A subclass of another framework widget class keeps its base's record, painter slot and forwarders and states
// only its own type name; its constructor replaces the painter with tevSetImpl.
#define TEV_WIDGET_SUBCLASS(ClassName, TypeNameLiteral) TEV_WIDGET_TYPE(ClassName, TypeNameLiteral)

#define TEV_WIDGET_CORE(ClassName, TypeNameLiteral)                                                             \
    TEV_WIDGET_TYPE(ClassName, TypeNameLiteral)                                                                 \
    TEV_WIDGET_MEMBERS(ClassName)

// TEV_WIDGET_CORE for a class without Q_OBJECT: no jsonData property and no interface in the meta-cast
// (tevWidgetInterface still finds the interface).
#define TEV_WIDGET_CORE_NO_META(ClassName, TypeNameLiteral)                                                     \
    TEV_WIDGET_NAMES(ClassName, TypeNameLiteral)                                                                \
    TEV_WIDGET_MEMBERS(ClassName)

#define TEV_WIDGET_MEMBERS(ClassName)                                                                           \
public:                                                                                                         \
    TEVQtLib::TEVQWidgetBase* getControlBase() override { return &m_tev.base; }                                 \
    bool readJsonValue(void* json) override { return m_tev.readJsonValue(json); }                              \
    void setLayoutRatio(int ratio) override { m_tev.base.setLayoutRatio(ratio); }                               \
    int getLayoutRatio() const override { return m_tev.base.getLayoutRatio(); }                                 \
    void setWidthPolicy(TEVQtLib::LayoutSizePolicy p) override { m_tev.base.setWidthPolicy(p); }                \
    TEVQtLib::LayoutSizePolicy getWidthPolicy() override { return m_tev.base.getWidthPolicy(); }                \
    void setHeightPolicy(TEVQtLib::LayoutSizePolicy p) override { m_tev.base.setHeightPolicy(p); }              \
    TEVQtLib::LayoutSizePolicy getHeightPolicy() override { return m_tev.base.getHeightPolicy(); }              \
    void setAbsoluteLayout(bool on) override { m_tev.base.setAbsoluteLayout(on); }                              \
    bool getAbsoluteLayout() const override { return m_tev.base.getAbsoluteLayout(); }                          \
    void setAbsoluteDock(TEVQtLib::DockLayoutType h, TEVQtLib::DockLayoutType v, int x, int y) override         \
    {                                                                                                           \
        m_tev.base.setAbsoluteDock(h, v, x, y);                                                                 \
    }                                                                                                           \
    void getAbsoluteDock(TEVQtLib::DockLayoutType& h, TEVQtLib::DockLayoutType& v, int& x, int& y)              \
        const override                                                                                          \
    {                                                                                                           \
        m_tev.base.getAbsoluteDock(h, v, x, y);                                                                 \
    }                                                                                                           \
    void getAbsoluteDock(TEVQtLib::DockLayoutType& h, TEVQtLib::DockLayoutType& v) const override               \
    {                                                                                                           \
        m_tev.base.getAbsoluteDock(h, v);                                                                       \
    }                                                                                                           \
    void getLayoutData(void*& data) const override { m_tev.base.getLayoutData(data); }                          \
    void setGeometry(int x, int y, int w, int h) override { m_tev.base.setGeometry(x, y, w, h); }               \
    virtual void setGeometry(const QRect& rect) { m_tev.base.setGeometry(rect); }                               \
    void setOpacity(int opacity) override { m_tev.base.setOpacity(opacity); }                                   \
    int getOpacity() const override { return m_tev.base.getOpacity(); }                                         \
    TEVQtLib::LayoutType getLayoutType() override { return m_tev.base.getLayoutType(); }                        \
    TEVQtLib::TEVQWidgetBaseImpl* getControlImpl() override { return m_tev.impl; }                              \
    void createComplete() override { m_tev.createComplete(); }                                                  \
    void resizeWidget() override { m_tev.base.resizeWidget(); }                                                 \
    void notifyChangeLanguage() override { m_tev.notifyChangeLanguage(); }                                      \
    bool serializeJsonValue(Json::Value* json, bool load) override { return m_tev.serializeJsonValue(json, load); } \
    void setThemeName(const QString& name) override { m_tev.base.setThemeName(name); }                          \
    QString getThemeName() const { return m_tev.base.getThemeName(); }                                          \
    QString jsonData() override { return m_tev.jsonText; }                                                      \
    void setJsonData(const QString& json) override { m_tev.setJsonData(json); }                                 \
    bool getInnerVisible() const { return m_tev.getInnerVisible(); }                                            \
    QVariant tevImplProperty() const                                                                            \
    {                                                                                                           \
        return m_tev.impl ? QVariant::fromValue<void*>(m_tev.impl) : QVariant();                                \
    }                                                                                                           \
    QVariant tevVisibilityProperty() const { return m_tev.base.visibilityValue; }                               \
    void tevSetVisibilityProperty(const QVariant& v) { m_tev.base.visibilityValue = v; }                        \
    QVariant tevBaseGeometryProperty() const { return m_tev.base.containerBaseGeometryProperty(); }             \
    void tevSetBaseGeometryProperty(const QVariant& v) { m_tev.base.setContainerBaseGeometryProperty(v); }      \
    QVariant tevBoundBarProperty() const { return m_tev.base.boundScrollBarProperty(); }                        \
    void tevSetBoundBarProperty(const QVariant& v) { m_tev.base.setBoundScrollBarProperty(v); }                 \
    void setInnerVisible(bool visible) { m_tev.setInnerVisible(visible); }                                      \
    bool getDelegateItemVisible() const { return m_tev.impl ? m_tev.impl->getDelegateItemVisible() : true; }    \
    void setDelegateItemVisible(bool v)                                                                         \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->setDelegateItemVisible(v);                                                              \
    }                                                                                                           \
                                                                                                                \
protected:                                                                                                      \
    /* Takes the painter object (owned from now on); applies its theme unless applyTheme is false. */           \
    void tevSetImpl(TEVQtLib::TEVQWidgetBaseImpl* painter, bool applyTheme = true)                              \
    {                                                                                                           \
        m_tev.setImpl(painter, applyTheme);                                                                     \
    }                                                                                                           \
    template <class PainterClass> PainterClass* tevImpl() const { return static_cast<PainterClass*>(m_tev.impl); } \
    void tevForwardPaint(QPaintEvent* e)                                                                        \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->paintEvent(this, e);                                                                    \
    }                                                                                                           \
    void tevForwardMousePress(QMouseEvent* e)                                                                   \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->mousePressEvent(e);                                                                     \
    }                                                                                                           \
    void tevForwardMouseRelease(QMouseEvent* e)                                                                 \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->mouseReleaseEvent(e);                                                                   \
    }                                                                                                           \
    void tevForwardMouseMove(QMouseEvent* e)                                                                    \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->mouseMoveEvent(e);                                                                      \
    }                                                                                                           \
    void tevForwardMouseDoubleClick(QMouseEvent* e)                                                             \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->mouseDoubleClickEvent(e);                                                               \
    }                                                                                                           \
    void tevForwardEnter(QEvent* e)                                                                             \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->enterEvent(e);                                                                          \
    }                                                                                                           \
    void tevForwardLeave(QEvent* e)                                                                             \
    {                                                                                                           \
        if (m_tev.impl)                                                                                         \
            m_tev.impl->leaveEvent(e);                                                                          \
    }                                                                                                           \
    TEVQtLib::TEVWidgetParts m_tev{this};                                                                       \
                                                                                                                \
private:

// One handler of a widget class: the Qt base handler first, then the painter's through Forward, unless the
// handler deleted the widget (a receiver of a signal it emits may delete it). For a class that handles the
// other events itself; TEV_WIDGET_EVENTS is this for every mouse and hover event.
#define TEV_WIDGET_BASE_THEN_PAINTER(QtBase, Handler, EventType, Forward)                                       \
    void Handler(EventType* e) override                                                                         \
    {                                                                                                           \
        QPointer<QWidget> alive(this);                                                                          \
        QtBase::Handler(e);                                                                                     \
        if (alive)                                                                                              \
            Forward(e);                                                                                         \
    }

// The Qt base handler first, then the painter (unless the handler deleted the widget).
#define TEV_WIDGET_EVENTS(QtBase)                                                                               \
protected:                                                                                                      \
    void paintEvent(QPaintEvent* e) override { tevForwardPaint(e); }                                            \
    TEV_WIDGET_BASE_THEN_PAINTER(QtBase, mousePressEvent, QMouseEvent, tevForwardMousePress)                    \
    TEV_WIDGET_BASE_THEN_PAINTER(QtBase, mouseReleaseEvent, QMouseEvent, tevForwardMouseRelease)                \
    TEV_WIDGET_BASE_THEN_PAINTER(QtBase, mouseMoveEvent, QMouseEvent, tevForwardMouseMove)                      \
    TEV_WIDGET_BASE_THEN_PAINTER(QtBase, mouseDoubleClickEvent, QMouseEvent, tevForwardMouseDoubleClick)        \
    TEV_WIDGET_BASE_THEN_PAINTER(QtBase, enterEvent, QEvent, tevForwardEnter)                                   \
    TEV_WIDGET_BASE_THEN_PAINTER(QtBase, leaveEvent, QEvent, tevForwardLeave)                                   \
                                                                                                                \
private:

#define TEV_WIDGET(ClassName, QtBase, TypeNameLiteral)                                                          \
    TEV_WIDGET_CORE(ClassName, TypeNameLiteral)                                                                 \
    TEV_WIDGET_EVENTS(QtBase)
