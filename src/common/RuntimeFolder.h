#pragma once
// Without a desktop session (cron, ssh, CI) Qt warns on every start that
// XDG_RUNTIME_DIR is not set. EnsureRuntimeFolder() gives it a private
// folder instead; call it before the application object is made.
void EnsureRuntimeFolder();
