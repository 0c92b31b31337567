#pragma once
// Process-wide switches of the framework: the emulator flag (designer preview content), the in-designer flag
// (themes are not applied, layouts are saved from live geometry) and the serialise-children flag (painter
// objects write their child widgets into "child"). GUI thread only; a setter tells nobody.
#include "TEVGlobal.h"

namespace TEVQtLib {

TEV_EXPORT bool tevIsQtEmulator();
TEV_EXPORT void tevSetIsInDesigner(bool inDesigner);
TEV_EXPORT bool tevIsInDesigner();
TEV_EXPORT void tevEnableSerializeChild(bool enable);
TEV_EXPORT bool tevIsSerializeChild();

namespace detail {
// Set only by the designer-host test of the control registry's initialisation.
TEV_EXPORT void setQtEmulator(bool emulator);
} // namespace detail

} // namespace TEVQtLib
