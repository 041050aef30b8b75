// Which undelivered editor messages carry a payload the link must free: run under the
// sanitizers, a payload not freed leaks and one freed wrongly fails.
#include "plugins/quorvel/EditorMessages.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(EditorMessages, OnlyTheChangeDetailsCarryAPayload)
{
    const struct
    {
        uint32_t id;
        uintptr_t wParam;
        bool payload;
    } cases[] = {{4353, 0, true},  {4353, 1, true},  {4353, 2, true},  {4353, 3, false}, {4354, 0, true},
                 {4354, 2, true},  {4354, 3, false}, {4869, 0, true},  {4869, 2, true},  {4869, 3, false},
                 {4355, 0, false}, {4611, 0, false}, {4612, 0, false}, {5121, 0, false}, {5633, 2, false}};
    for (const auto& c : cases)
    {
        void* block = std::malloc(16);
        const bool freed = FreeUndeliveredMessage(c.id, c.wParam, reinterpret_cast<uintptr_t>(block));
        EXPECT_EQ(freed, c.payload) << c.id << " " << c.wParam;
        if (!freed)
        {
            std::free(block);
        }
    }
    EXPECT_FALSE(FreeUndeliveredMessage(4353, 0, 0)) << "no block";
}
