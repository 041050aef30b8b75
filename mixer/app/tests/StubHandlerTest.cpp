#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mixer/app/StubHandler.h"
#include "standins/engine/StandinServices.h"

namespace
{
TEST(StubHandlerTest, TheEngineTakesItsViewInterfaceAndCallsItHarmlessly)
{
    StubHandler handler;
    EXPECT_EQ(handler.Init(), 1);
    IVarnView* view = handler.GetViewInterface();
    ASSERT_NE(view, nullptr);
    // The view is the handler's second face, not its first.
    EXPECT_EQ(static_cast<IVarnView*>(&handler), view);
    EXPECT_NE(static_cast<void*>(view), static_cast<void*>(static_cast<Object*>(&handler)));

    StandinServices engine;
    EXPECT_EQ(engine.SetViewInterface(view), 1);
    const std::vector<std::string> log = engine.GetCallLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "SetViewInterface"), log.end());
    // Through the table, as the engine calls it.
    view->Reserved0();
    EXPECT_EQ(handler.Init(), 1);
}
} // namespace
