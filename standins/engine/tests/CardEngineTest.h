#pragma once
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "standins/engine/StandinServices.h"
#include "standins/engine/tests/EventRecorder.h"
#include "tests/support/ScratchFolder.h"

// An engine started on the card description Card() gives, in a scratch folder of its own, with
// a recorder of what it raises on its thread.
class CardEngineTest : public testing::Test
{
protected:
    explicit CardEngineTest(const char* scratchName) : scratch_(scratchName) {}
    void SetUp() override
    {
        for (const char* folder : {"program", "data", "sessions"})
            std::filesystem::create_directories(root_ / folder);
        std::ofstream(root_ / "program" / "SimulatedCard.txt") << Card();
        ASSERT_EQ(engine_.Init((root_ / "program").u16string().c_str(), (root_ / "data").u16string().c_str(),
                               (root_ / "sessions").u16string().c_str()),
                  1);
        events_.engineThread = engine_.GetEngineThreadId();
        engine_.AddListener(&events_);
    }
    void TearDown() override { engine_.RemoveListener(&events_); }
    virtual std::string Card() const = 0;

    ScratchFolder scratch_;
    const std::filesystem::path& root_ = scratch_.Path();
    EventRecorder events_; // outlives the engine's thread
    StandinServices engine_;
};
