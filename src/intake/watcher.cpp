#include "intake/watcher.h"

namespace {
ScriptWatcher* gWatcher = nullptr;
}

void setScriptWatcher(ScriptWatcher* watcher) { gWatcher = watcher; }

ScriptWatcher* scriptWatcher() { return gWatcher; }
