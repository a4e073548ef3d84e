#include "screens/main/nibs/MainScreenNibs.h"

#include "screens/main/nibs/EditorSurfaceNibs.h"
#include "screens/main/nibs/EffectorNibs.h"
#include "screens/main/nibs/MainFrameNibs.h"

void registerMainScreenNibs()
{
    CorvaneNib::registerMainFrameNibs();
    CorvaneNib::registerEditorSurfaceNibs();
    CorvaneNib::registerEffectorNibs();
}
