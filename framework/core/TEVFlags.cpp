#include "TEVFlags.h"

namespace TEVQtLib {

namespace {
bool g_emulator = false;
bool g_inDesigner = false;
bool g_serializeChild = true;
} // namespace

bool tevIsQtEmulator() { return g_emulator; }
void tevSetIsInDesigner(bool inDesigner) { g_inDesigner = inDesigner; }
bool tevIsInDesigner() { return g_inDesigner; }
void tevEnableSerializeChild(bool enable) { g_serializeChild = enable; }
bool tevIsSerializeChild() { return g_serializeChild; }

namespace detail {
void setQtEmulator(bool emulator) { g_emulator = emulator; }
} // namespace detail

} // namespace TEVQtLib
