#pragma once
// The effect's way to its editor, which only the Windows build has (elsewhere none is made).

#include <cstdint>

class EditorBase;
class KivQuorvelEffect;

// Null when the build has no editor or it cannot be made.
EditorBase* CreateQuorvelEditor(KivQuorvelEffect* effect);
// Any thread: false when the editor (null: none) did not post the message.
bool PostToQuorvelEditor(EditorBase* editor, uint32_t id, uintptr_t wParam, uintptr_t lParam);
// GUI thread, the effect goes: true when the effect deletes the editor, false when the
// editor deletes itself later (its dialog loop still runs).
bool ReleaseQuorvelEditor(EditorBase* editor);
