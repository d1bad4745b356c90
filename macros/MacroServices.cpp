#include "macros/MacroServices.h"

namespace qelt {

namespace {
MacroEditorService *g_editor = nullptr;
MacroRunnerService *g_runner = nullptr;
} // namespace

MacroEditorService *MacroEditor() { return g_editor; }
void SetMacroEditor(MacroEditorService *editor) { g_editor = editor; }
MacroRunnerService *MacroRunner() { return g_runner; }
void SetMacroRunner(MacroRunnerService *runner) { g_runner = runner; }

} // namespace qelt
