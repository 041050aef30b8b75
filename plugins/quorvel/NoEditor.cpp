#include "plugins/quorvel/QuorvelEditorFactory.h"

EditorBase* CreateQuorvelEditor(KivQuorvelEffect*)
{
    return nullptr;
}

bool PostToQuorvelEditor(EditorBase*, uint32_t, uintptr_t, uintptr_t)
{
    return false;
}

bool ReleaseQuorvelEditor(EditorBase*)
{
    return true;
}
