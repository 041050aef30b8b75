// A data item as a panel holds it: an owner and two bound controls, all writing one log
// ("notify <argument>", "redraw a", "detach b"...). Portable, for the tests of the items and
// of what sets them.
#pragma once

#include "framework/controls/DataItem.h"

#include <memory>
#include <string>
#include <vector>

namespace itemtest
{
using Log = std::vector<std::string>;

// A bound control as the item sees it: writes "redraw <name>" and "detach <name>".
class Listener : public DataItemListener
{
public:
    Listener(Log& log, const char* name) : log_(log), name_(name) {}
    void OnDataItemChanged() override { log_.push_back("redraw " + name_); }
    void OnDataItemDetached() override { log_.push_back("detach " + name_); }

private:
    Log& log_;
    std::string name_;
};

class Owner : public DataItemOwner
{
public:
    explicit Owner(Log& log) : log_(log) {}
    int OnOwnedItemNotify(DataItem*, int argument) override
    {
        log_.push_back("notify " + std::to_string(argument));
        return 0;
    }

private:
    Log& log_;
};

// An item with an owner and two bound listeners, all writing one log.
template <typename Item>
struct Bound
{
    Log log;
    Owner owner{log};
    Listener a{log, "a"};
    Listener b{log, "b"};
    std::unique_ptr<Item> item = std::make_unique<Item>();

    Bound()
    {
        item->SetOwner(&owner);
        item->Bind(&a);
        item->Bind(&b);
    }
};
} // namespace itemtest
