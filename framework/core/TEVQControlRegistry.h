#pragma once
// The control registry: type names as page JSON carries them in "type" -> factories, plus the designer
// catalogue entry of every catalogued type. Process-wide, GUI thread only, never emptied.
//
// The built-in types are registered by tevInitQtControl(), which asks detail::registerBuiltinControls() for
// them. That function is defined above every subsystem (framework/TEVQBuiltinControls.cpp), so this header
// and its source know no control class.
#include "TEVGlobal.h"
#include "TEVQControlInfo.h"

#include <QString>
#include <QVector>

class QWidget;

namespace TEVQtLib {

using TEVControlCreator = QWidget* (*)();
using TEVBoundControlCreator = QWidget* (*)(const QString& name, const QString& type);

// Registers type with its factory and catalogue entry, replacing what was registered under that name. When
// flag is true the type is also remembered as flagged. Nothing when type or creator is null.
TEV_EXPORT void tevRegisterQtControl(const char* type, TEVControlCreator creator, ControlInfo info, bool flag);

// Registers a factory only (aliases); a catalogue entry under that name is kept. Nothing when either is null.
TEV_EXPORT void tevRegisterDefaultControl(const char* type, TEVControlCreator creator);

// The creator function the page loader asks before the registry; null unbinds.
TEV_EXPORT void tevBindControlCreateFunction(TEVBoundControlCreator fn);
TEV_EXPORT TEVBoundControlCreator tevGetBoundControlCreateFunction();

// The catalogue entry of type, or null. The pointer stays valid while the entry exists (entries are never
// removed; re-registering a name assigns over the same entry).
TEV_EXPORT ControlInfo* tevGetControlInfo(const QString& type);

// Every catalogue entry, in type-name order (bytewise).
TEV_EXPORT QVector<ControlInfo*> tevGetAllControlInfo();

// A new control of the registered type, given parent; null for an unknown type or a factory that gives none.
TEV_EXPORT QWidget* createControlByType(const char* type, QWidget* parent);

// Fills the registry with the built-in types, then runs the designer-host test on the program's own path.
// Calling it again re-assigns the same entries.
TEV_EXPORT void tevInitQtControl();

// The designer-host test: true when path contains "TevloraQtEmulator" or "Orvessa" (letter case counts).
TEV_EXPORT bool tevIsDesignerHostPath(const QString& path);

namespace detail {
// Defined by the file that knows every subsystem's control classes.
void registerBuiltinControls();
// Whether type was registered with the flag set.
TEV_EXPORT bool isFlaggedControl(const char* type);
} // namespace detail

} // namespace TEVQtLib
